// The tag-name tables (TIFF 6.0, TIFF/EP, Exif and the private tags that image
// writers use), the GPS and multi-picture directory tables, and the value
// names of the tags whose values are codes.
#include "tag_names.h"

#include <algorithm>
#include <span>

namespace tiffjpeg {
namespace {

struct TagRow {
  std::uint16_t tag;
  const char* name;
  bool exifOnly;  // the Exif 2.2 and later rows: named by the JPEG plug-in only
};

// Names are kept letter for letter as the tools of this family have always
// shown them, misspellings and the blank before ICCProfile included.
constexpr TagRow kTags[] = {
    {1, "InteroperabilityIndex", false},
    {2, "InteroperabilityVersion", false},
    {254, "NewSubFileType", false},
    {255, "SubFileType", false},
    {256, "ImageWidth", false},
    {257, "ImageLength", false},
    {258, "BitsPerSample", false},
    {259, "Compression", false},
    {262, "PhotometricInterpretation", false},
    {263, "Threshholding", false},
    {264, "CellWidth", false},
    {265, "CellLength", false},
    {266, "FillOrder", false},
    {269, "DocumentName", false},
    {270, "ImageDescription", false},
    {271, "Make", false},
    {272, "Model", false},
    {273, "StripOffsets", false},
    {274, "Orientation", false},
    {277, "SamplesPerPixel", false},
    {278, "RowsPerStrip", false},
    {279, "StripByteCounts", false},
    {280, "MinSampleValue", false},
    {281, "MaxSampleValue", false},
    {282, "XResolution", false},
    {283, "YResolution", false},
    {284, "PlanarConfiguration", false},
    {285, "PageName", false},
    {286, "XPosition", false},
    {287, "YPosition", false},
    {288, "FreeOffsets", false},
    {289, "FreeByteCounts", false},
    {290, "GrayResponseUnit", false},
    {291, "GrayResponseCurve", false},
    {292, "T4Options", false},
    {293, "T6Options", false},
    {296, "ResolutionUnit", false},
    {297, "PageNumber", false},
    {300, "ColorResponseUnit", false},
    {301, "TransferFunction", false},
    {305, "Software", false},
    {306, "DateTime", false},
    {315, "Artist", false},
    {316, "HostComputer", false},
    {317, "Predictor", false},
    {318, "WhitePoint", false},
    {319, "PrimaryChromaticities", false},
    {320, "ColorMap", false},
    {321, "HalftoneHints", false},
    {322, "TileWidth", false},
    {323, "TileLength", false},
    {324, "TileOffsets", false},
    {325, "TileByteCounts", false},
    {326, "BarFaxLines", false},
    {327, "CleanFaxData", false},
    {328, "ConsecutiveBadFaxLines", false},
    {330, "SubIFD", false},
    {332, "InkSet", false},
    {333, "InkNames", false},
    {334, "NumberOfInks", false},
    {336, "DotRange", false},
    {337, "TargetPrinter", false},
    {338, "ExtraSamples", false},
    {339, "SampleFormat", false},
    {340, "SMinSampleValue", false},
    {341, "SMaxSampleValue", false},
    {342, "TransferRange", false},
    {343, "ClipPath", false},
    {344, "ClipPathUnits", false},
    {345, "Indexed", false},
    {347, "JPEGTables", false},
    {351, "OPIProxy", false},
    {512, "JPEGProc", false},
    {513, "JPEGInterchangeFormat", false},
    {514, "JPEGInterchangeFormatLngth", false},
    {515, "JPEGRestartInterval", false},
    {517, "JPEGLosslessPredictors", false},
    {518, "JPEGPointTransforms", false},
    {519, "JPEGQTables", false},
    {520, "JPEGDCTables", false},
    {521, "JPEGACTables", false},
    {529, "YCbCrCoefficients", false},
    {530, "YCbCrSubSampling", false},
    {531, "YCbCrPositioning", false},
    {532, "ReferenceBlackWhite", false},
    {700, "XMLPacket", false},
    {4096, "RelatedImageFileFormat", false},
    {4097, "RelatedImageWidth", false},
    {4098, "RelatedImageLength", false},
    {32781, "OPIImageId", false},
    {32953, "RefPts", false},
    {32954, "RegionTackPoint", false},
    {32955, "RegionWarpCorners", false},
    {32956, "RegionAffine", false},
    {32995, "Matteing", false},
    {32996, "DataType", false},
    {32997, "ImageDepth", false},
    {32998, "TileDepth", false},
    {33300, "PixarImageFullWidth", false},
    {33301, "PixarImageFullLength", false},
    {33302, "PixarTextureFormat", false},
    {33303, "PixarWrapModes", false},
    {33304, "PixarFovCot", false},
    {33305, "PixarMatrixWorldToScreen", false},
    {33306, "PixarMatrixWorldToCamera", false},
    {33405, "WriterSerialNumber", false},
    {33421, "CFARepeatPatternDim", false},
    {33422, "CFAPattern", false},
    {33423, "BatteryLeve", false},
    {33432, "Copyright", false},
    {33434, "ExposureTime", false},
    {33437, "FNumber", false},
    {33723, "RichTiffIPTC", false},
    {34016, "IT8Site", false},
    {34017, "IT8ColorSquence", false},
    {34018, "IT8Header", false},
    {34019, "IT8RasterPadding", false},
    {34020, "IT8BitsPerRunlength", false},
    {34021, "IT8BitsPerExtendedRunlength", false},
    {34022, "IT8ColorTable", false},
    {34023, "IT8ImageColorIndicator", false},
    {34024, "IT8BKGColorIndicator", false},
    {34025, "IT8ImageColorValue", false},
    {34026, "IT8BKGColorValue", false},
    {34027, "IT8PixelIntensityRange", false},
    {34028, "IT8TransparencyIndicator", false},
    {34029, "IT8ColorCharacterization", false},
    {34030, "IT8HCUsage", false},
    {34031, "IT8TrapIndicator", false},
    {34032, "IT8CMYKEquivalent", false},
    {34232, "FrameCount", false},
    {34377, "PhotoShop", false},
    {34665, "ExifIFDPointer", false},
    {34675, " ICCProfile", false},
    {34750, "JBIGOptions", false},
    {34850, "ExposureProgram", false},
    {34852, "SpectralSensitivity", false},
    {34853, "GPSInfoIFDPointer", false},
    {34855, "ISOSpeedRatings", false},
    {34856, "OECF", false},
    {34857, "Interlace", false},
    {34858, "TimeZoneOffset", false},
    {34859, "SelfTimerMode", false},
    {34864, "SensitivityType", true},
    {34865, "StandardOutputSensitivity", true},
    {34866, "RecommendedExposureIndex", true},
    {34867, "ISOSpeed", true},
    {34868, "ISOSpeedLatitudeyyy", true},
    {34869, "ISOSpeedLatitudezzz", true},
    {34908, "FaxRecvParams", false},
    {34909, "FaxSubAddress", false},
    {34910, "FaxRecvTime", false},
    {34929, "FedExEDR", false},
    {36864, "ExifVersion", false},
    {36867, "DateTimeOriginal", false},
    {36868, "DateTimeDigitized", false},
    {36880, "OffsetTime", true},
    {36881, "OffsetTimeOriginal", true},
    {36882, "OffsetTimeDigitized", true},
    {37121, "ComponentsConfiguration", false},
    {37122, "CompressedBitsPerPixel", false},
    {37377, "ShutterSpeedValue", false},
    {37378, "ApertureValue", false},
    {37379, "BrightnessValue", false},
    {37380, "ExposureBiasValue", false},
    {37381, "MaxApertureValue", false},
    {37382, "SubjectDistance", false},
    {37383, "MeteringMode", false},
    {37384, "LightSource", false},
    {37385, "Flash", false},
    {37386, "FocalLength", false},
    {37387, "FlashEnergy", false},
    {37388, "SpatialFrequencyResponse", false},
    {37389, "Noise", false},
    {37393, "ImageNumber", false},
    {37394, "SecurityClassification", false},
    {37395, "ImageHistory", false},
    {37396, "SubjectLocation", false},
    {37397, "ExposureIndex", false},
    {37398, "TIFF/EPStandardID", false},
    {37439, "SToNits", false},
    {37500, "Makernote", false},
    {37510, "UserComment", false},
    {37520, "SubsecTime", false},
    {37521, "SubsecTimeOriginal", false},
    {37522, "SubsecTimeDigitized", false},
    {37888, "Temperature", true},
    {37889, "Humidity", true},
    {37890, "Pressure", true},
    {37891, "WaterDepth", true},
    {37892, "Acceleration", true},
    {37893, "CameraElevationAngle", true},
    {40960, "FlashPixVersion", false},
    {40961, "ColorSpace", false},
    {40962, "ExifImageWidth", false},
    {40963, "ExifImageHeight", false},
    {40964, "RelatedSoundFile", false},
    {40965, "InteroperabilityIFDPointer", false},
    {41483, "FlashEnergy", false},
    {41484, "SpatialFrequencyResponse", false},
    {41486, "FocalPlaneXResolution", false},
    {41487, "FocalPlaneYResolution", false},
    {41488, "FocalPlaneResolutionUnit", false},
    {41492, "SubjectLocation", false},
    {41493, "ExposureIndex", false},
    {41495, "SensingMethod", false},
    {41728, "FileSource", false},
    {41729, "SceneType", false},
    {41730, "CFAPattern", false},
    {41985, "CustomImageProcessing", true},
    {41986, "ExposureMode", true},
    {41987, "WhiteBalance", true},
    {41988, "DigitalZoomRatio", true},
    {41989, "TAG_FocalLengthIn35mmFilm", true},
    {41990, "SceneCaptureType", true},
    {41991, "GainControl", true},
    {41992, "Contrast", true},
    {41993, "Saturation", true},
    {41994, "Sharpness", true},
    {41995, "DeviceSettingDescription", true},
    {41996, "SubjectDistanceRange", true},
    {42016, "UniqueImageID", true},
    {42032, "CameraOwnerName", true},
    {42033, "BodySerialNumber", true},
    {42034, "LensSpecification", true},
    {42035, "LensMake", true},
    {42036, "LensModel", true},
    {42037, "LensSerialNumber", true},
    {42080, "CompositeImage", true},
    {42081, "SourceImageNumberOfCompositeImage", true},
    {42082, "SourceExposureTimesOfCompositeImage", true},
    {42240, "Gamma", true},
    {50341, "PimIFDPointer", true},
};

// The GPS directory's tags of the Exif standard.
constexpr const char* kGpsTags[] = {
    "GPSVersionID",       "GPSLatitudeRef",
    "GPSLatitude",        "GPSLongitudeRef",
    "GPSLongitude",       "GPSAltitudeRef",
    "GPSAltitude",        "GPSTimeStamp",
    "GPSSatellites",      "GPSStatus",
    "GPSMeasureMode",     "GPSDOP",
    "GPSSpeedRef",        "GPSSpeed",
    "GPSTrackRef",        "GPSTrack",
    "GPSImgDirectionRef", "GPSImgDirection",
    "GPSMapDatum",        "GPSDestLatitudeRef",
    "GPSDestLatitude",    "GPSDestLongitudeRef",
    "GPSDestLongitude",   "GPSDestBearingRef",
    "GPSDestBearing",     "GPSDestDistanceRef",
    "GPSDestDistance",    "GPSProcessingMethod",
    "GPSAreaInformation", "GPSDateStamp",
    "GPSDifferential",    "GPSHPositioningError",
};

// The multi-picture format's index and attribute directories (CIPA DC-007).
constexpr TagRow kMultiPictureTags[] = {
    {0xB000, "MPFVersion", false},         {0xB001, "NumberOfImages", false},   {0xB002, "MPEntry", false},
    {0xB003, "ImageUIDList", false},       {0xB004, "TotalFrames", false},      {0xB101, "MPIndividualNum", false},
    {0xB201, "PanOrientation", false},     {0xB202, "PanOverlap_H", false},     {0xB203, "PanOverlap_V", false},
    {0xB204, "BaseViewpointNum", false},   {0xB205, "ConvergenceAngle", false}, {0xB206, "BaselineLength", false},
    {0xB207, "VerticalDivergence", false}, {0xB208, "AxisDistance_X", false},   {0xB209, "AxisDistance_Y", false},
    {0xB20A, "AxisDistance_Z", false},     {0xB20B, "YawAngle", false},         {0xB20C, "PitchAngle", false},
    {0xB20D, "RollAngle", false},
};

constexpr bool Sorted(std::span<const TagRow> rows) {
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (rows[i - 1].tag >= rows[i].tag) return false;
  }
  return true;
}
static_assert(Sorted(kTags) && Sorted(kMultiPictureTags));

const TagRow* FindTag(std::span<const TagRow> rows, std::uint16_t tag) {
  auto it = std::lower_bound(rows.begin(), rows.end(), tag, [](const TagRow& r, std::uint16_t t) { return r.tag < t; });
  return it != rows.end() && it->tag == tag ? &*it : nullptr;
}

struct ValueRow {
  std::uint32_t value;
  const char* name;
};
constexpr ValueRow kNewSubFileType[] = {{1, "Reduce Image"}, {2, "One Page of many"}, {4, "Transparency Mask"}};
constexpr ValueRow kSubFileType[] = {{1, "Full Resolution Image"}, {2, "Reduce Image"}, {3, "One Page of many"}};
constexpr ValueRow kPhotometric[] = {
    {0, "Bilevel(White:0)"},
    {1, "Bilevel(Black:0)"},
    {2, "RGB"},
    {3, "RGB Palette"},
    {4, "Transparency Mask"},
    {5, "CMYK"},
    {6, "YCbCr"},
    {8, "CIELab"},
    {9, "ICCLab"},
    {10, "ITULab"},
    {32844, "LOGL"},
    {32845, "LOGLUV"},
};
constexpr ValueRow kThreshholding[] = {{1, "Bilevel"}, {2, "Halftone"}, {3, "Error diffuse"}};
constexpr ValueRow kFillOrder[] = {{1, "MSB to LSB"}, {2, "LSB to MSB"}};
constexpr ValueRow kOrientation[] = {{1, "TopLeft"}, {2, "TopRight"}, {3, "BottomRight"}, {4, "BottomLeft"},
                                     {5, "LeftTop"}, {6, "RightTop"}, {7, "RightBottom"}, {8, "LeftBottom"}};
constexpr ValueRow kPlanar[] = {{1, "Chunky format"}, {2, "Planar format"}};
constexpr ValueRow kResponseUnit[] = {{1, "10S"}, {2, "100S"}, {3, "1000S"}, {4, "10000S"}, {5, "100000S"}};
constexpr ValueRow kT4Options[] = {{1, "2D encode"}, {2, "Uncompressed"}, {4, "FILLBITS"}};
constexpr ValueRow kResolutionUnit[] = {{1, "None"}, {2, "Inch"}, {3, "Centimeter"}};
constexpr ValueRow kCleanFaxData[] = {{0, "Clean"}, {1, "Regenerated"}, {2, "Unclean"}};
constexpr ValueRow kInkSet[] = {{1, "CMYK"}, {2, "Multi-ink or hi-fi color"}};
constexpr ValueRow kExtraSamples[] = {{0, "Unspecified"}, {1, "Associated alpha"}, {2, "Unassociated alpha"}};
constexpr ValueRow kSampleFormat[] = {{1, "UINT"}, {2, "INT"},         {3, "IEEE FP"},
                                      {4, "VOID"}, {5, "COMPLEX INT"}, {6, "COMPLEX IEEE FP"}};
constexpr ValueRow kJpegProc[] = {{1, "Baseline"}, {14, "Lossless"}};
constexpr ValueRow kYCbCrPositioning[] = {{1, "Centerd"}, {2, "Cosited"}};
constexpr ValueRow kCompression[] = {
    {1, "No Compression"},
    {2, "CCITT Group3 MH"},
    {3, "CCITT G3FAX"},
    {4, "CCITT G4FAX"},
    {5, "LZW"},
    {6, "OJPEG"},
    {7, "JPEG"},
    {8, "ADOBE_DEFLATE"},
    {32766, "NEXT"},
    {32771, "CCITT RLEW"},
    {32773, "PackBits"},
    {32809, "ThunderScan"},
    {32895, "IT8 CT w/padding"},
    {32896, "IT8 Linework RLE"},
    {32897, "IT8 Monochrome picture"},
    {32898, "IT8 Binary line art"},
    {32908, "PIXARFILM"},
    {32909, "PIXARLOG"},
    {32946, "DEFLATE"},
    {32947, "DCS"},
    {34661, "JBIG"},
    {34676, "SGILOG"},
    {34677, "SGILOG24"},
    {34712, "JP2000"},
};

struct ValueTable {
  std::uint16_t tag;
  std::span<const ValueRow> rows;
  const char* otherwise;  // the comment for a value not listed, or null
};
constexpr ValueTable kValueTables[] = {
    {254, kNewSubFileType, nullptr}, {255, kSubFileType, nullptr},    {259, kCompression, "Unkown Compression"},
    {262, kPhotometric, nullptr},    {263, kThreshholding, nullptr},  {266, kFillOrder, nullptr},
    {274, kOrientation, nullptr},    {284, kPlanar, nullptr},         {290, kResponseUnit, nullptr},
    {292, kT4Options, nullptr},      {296, kResolutionUnit, nullptr}, {300, kResponseUnit, nullptr},
    {327, kCleanFaxData, nullptr},   {332, kInkSet, nullptr},         {338, kExtraSamples, nullptr},
    {339, kSampleFormat, nullptr},   {512, kJpegProc, nullptr},       {531, kYCbCrPositioning, nullptr},
};

}  // namespace

std::string_view TagName(std::uint16_t tag, IfdKind kind, const Flavour& flavour) {
  if (kind == IfdKind::Gps && tag < std::size(kGpsTags)) return kGpsTags[tag];
  const TagRow* row = kind == IfdKind::MultiPicture ? FindTag(kMultiPictureTags, tag) : nullptr;
  if (row == nullptr) row = FindTag(kTags, tag);
  if (row == nullptr || (row->exifOnly && !flavour.exifTagNames)) return "Unkown Tag";
  return row->name;
}

const char* ValueName(std::uint16_t tag, std::uint32_t value) {
  for (const ValueTable& table : kValueTables) {
    if (table.tag != tag) continue;
    for (const ValueRow& row : table.rows) {
      if (row.value == value) return row.name;
    }
    return table.otherwise;
  }
  return nullptr;
}

}  // namespace tiffjpeg
