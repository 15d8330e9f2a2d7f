// Exif data in APP1: the TIFF walk at absolute offsets, GPS and Exif 2.3 tag
// names, the thumbnail walk and nesting limits.
#include <gtest/gtest.h>

#include "builders.h"
#include "plugin_harness.h"
#include "tree_helpers.h"

namespace {

using namespace testing_support;
using namespace tiffjpeg_test;

constexpr std::uint64_t kTiffStart = 12;  // SOI, APP1 marker and length, "Exif\0\0"

// IFD 0 with Orientation and the Exif and GPS pointers; an Exif IFD with a
// lens model; a GPS IFD that starts with GPSVersionID (tag 0) as cameras write it.
Blob CameraTiff(TiffBuilder& tiff) {
  Directory ifd0{{{274, 3, 1, {6}}, {34665, 4, 1, {}, 1}, {34853, 4, 1, {}, 2}}};
  Directory exif{{{33434, 5, 1, {1, 60}}, {0xA434, 2, 12, {}, -1, -1, "Lens 50mm"}}, false};
  Directory gps{{{0, 1, 4, {2, 3, 0, 0}}, {1, 2, 2, {}, -1, -1, "N"}, {2, 5, 3, {35, 1, 40, 1, 1234, 100}}}, false};
  return tiff.Build({ifd0, exif, gps});
}

TEST(Exif, CameraFileWithGpsVersionIdIsAnalysed) {
  for (bool big : {false, true}) {
    TiffBuilder tiff(big);
    Blob exif = CameraTiff(tiff);
    auto a = AnalyseBytes(Jpeg(ExifApp1(exif)), "camera.jpg");
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.readerFault, 0);
    EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "IFH(Image File Header)")), (Range{kTiffStart, 8}));
    EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "IFD 0")).offset, kTiffStart + tiff.Offsets()[0]);
    EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "GpsIFD")).offset, kTiffStart + tiff.Offsets()[2]);
    EXPECT_EQ(EntryValue(a.tree, "Orientation"), "0x0006(6) RightTop");
    std::vector<std::string> gpsChildren;
    for (auto h : Find(a.tree, "GpsIFD")->children) gpsChildren.emplace_back(a.tree.At(h).text);
    EXPECT_EQ(std::vector<std::string>(gpsChildren.begin() + 2, gpsChildren.end()),
              (std::vector<std::string>{"IFD Entry Count", "GPSVersionID", "GPSLatitudeRef", "GPSLatitude",
                                        " Ofset of Next IFD"}))
        << "big endian " << big;
    auto version = ChildTexts(a.tree, *ChildNamed(a.tree, Find(a.tree, "GPSVersionID"), "Value"));
    EXPECT_EQ(std::vector<std::string>(version.begin() + 2, version.end()),
              (std::vector<std::string>{"0x02(2)", "0x03(3)", "0x00(0)", "0x00(0)"}));
    EXPECT_EQ(EntryValue(a.tree, "GPSVersionID"), "0x02(2)");
    EXPECT_NE(Find(a.tree, "0x00000023/0x00000001=0x00000023(35)"), nullptr);
    EXPECT_NE(Find(a.tree, "LensModel"), nullptr);
    EXPECT_NE(Find(a.tree, "Lens 50mm"), nullptr);
  }
}

TEST(Exif, OffsetsStoredInTheEntriesGetTheirAbsoluteAddress) {
  TiffBuilder tiff;
  Blob exif = CameraTiff(tiff);
  auto a = AnalyseBytes(Jpeg(ExifApp1(exif)));
  ASSERT_TRUE(a.ok) << a.error;
  char expected[96];
  std::snprintf(expected, sizeof expected, "※ExifIFD address(+0xc)=0x%08x", tiff.Offsets()[1] + 12);
  std::string pointer = EntryValue(a.tree, "ExifIFDPointer");
  EXPECT_NE(pointer.find(expected), std::string::npos) << pointer;
  std::string offset = EntryValue(a.tree, "GPSLatitude", "Offset");
  EXPECT_NE(offset.find("※real offset(+0xc)=0x"), std::string::npos) << offset;
}

TEST(Exif, ThumbnailIsWalkedAsJpegAtItsFileOffset) {
  Blob thumbnail = Join({Marker(0xD8), Marker(0xD9)});
  TiffBuilder tiff;
  Directory ifd0{{{274, 3, 1, {1}}}};
  Directory ifd1{{{513, 4, 1, {}, -1, 0}, {514, 4, 1, {static_cast<std::uint32_t>(thumbnail.size())}}}};
  Blob exif = tiff.Build({ifd0, ifd1}, {thumbnail});
  std::uint64_t at = kTiffStart + exif.size() - thumbnail.size();
  auto a = AnalyseBytes(Jpeg(ExifApp1(exif)));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Jpeg Thumbnail Image")), (Range{at, 4}));
  auto soi = FindAll(a.tree, "SOI(Start of Image)");
  ASSERT_EQ(soi.size(), 2u);
  EXPECT_EQ(RangeOf(a.tree, *soi[1]).offset, at);
  EXPECT_EQ(FindAll(a.tree, "EOI(End of image)").size(), 2u);
  // A thumbnail that is no JPEG leaves its range and the analysis succeeds.
  Blob notJpeg = tiff.Build({ifd0, ifd1}, {Blob{1, 2, 3, 4}});
  auto b = AnalyseBytes(Jpeg(ExifApp1(notJpeg)));
  ASSERT_TRUE(b.ok) << b.error;
  EXPECT_NE(Find(b.tree, "Jpeg Thumbnail Image"), nullptr);
}

TEST(Exif, NestedThumbnailsStopBeforeTheFieldLevel) {
  Blob jpeg = Jpeg();
  for (int depth = 0; depth < 5; ++depth) {
    TiffBuilder tiff;
    Directory ifd0{{{274, 3, 1, {1}}}};
    Directory ifd1{{{513, 4, 1, {}, -1, 0}, {514, 4, 1, {static_cast<std::uint32_t>(jpeg.size())}}}};
    jpeg = Jpeg(ExifApp1(tiff.Build({ifd0, ifd1}, {jpeg})));
  }
  auto a = AnalyseBytes(jpeg);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  bool stopped = false;
  for (const auto& item : a.tree.Items()) stopped |= item.text.ends_with("Nested too deeply: not analysed");
  EXPECT_TRUE(stopped);
  EXPECT_EQ(FindAll(a.tree, "IFH(Image File Header)").size(), 4u);
}

// Exif data lies within its APP1 segment; a thumbnail or a directory outside
// it is not walked, so segments cannot make each other's bytes be walked again.
TEST(Exif, WalksStayWithinTheSegment) {
  TiffBuilder tiff;
  Directory ifd0{{{513, 4, 1, {0}}, {514, 4, 1, {4}}}};
  Blob exif = tiff.Build({ifd0});
  ifd0.entries[0].values = {static_cast<std::uint32_t>(exif.size() + 4)};  // the SOI inside the next segment
  exif = tiff.Build({ifd0});
  Blob file = Jpeg(Join({ExifApp1(exif), JpegSegment(0xE5, Join({Marker(0xD8), Marker(0xD9)}))}));
  auto a = AnalyseBytes(file);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(FindAll(a.tree, "SOI(Start of Image)").size(), 1u);
  // The thumbnail's walk fails inside its range, as a warning.
  auto range = ChildTexts(a.tree, *Find(a.tree, "Jpeg Thumbnail Image"));
  ASSERT_EQ(range.size(), 3u);
  EXPECT_EQ(range[1], "0x00000004(4) Runs past the end of the data");
  EXPECT_EQ(range[2], "[HPI_PLUGIN] This file is not Jpeg!");
  EXPECT_EQ(a.faults.count, 1u);
  Blob outside = tiff.Build({{{{256, 3, 1, {1}}}}});
  tiff.Patch32(outside, 4, 0x40);
  EXPECT_EQ(AnalyseBytes(Jpeg(Join({ExifApp1(outside), Blob(0x60, 0)}))).error, "[HPI_PLUGIN] Wrong file format!");
}

// A value stored outside its APP1 segment is not read from the bytes of other
// segments: a note says so, and the walk goes on.
TEST(Exif, ValuesOutsideTheSegmentAreNoted) {
  TiffBuilder tiff;
  Blob exif = tiff.Build({{{{270, 2, 12, {}, -1, -1, "description"}, {271, 2, 8, {}, -1, -1, "maker"}}}});
  std::uint32_t entries = tiff.Offsets()[0] + 2;
  tiff.Patch32(exif, entries + 8, 0x1000);                                            // past the segment
  tiff.Patch32(exif, entries + 12 + 8, static_cast<std::uint32_t>(exif.size() - 4));  // its last 4 bytes
  auto a = AnalyseBytes(Jpeg(ExifApp1(exif)));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(NotesOf(a.tree, "ImageDescription"),
            (std::vector<std::string>{"The value lies outside the data: not shown"}));
  std::vector<std::string> make = NotesOf(a.tree, "Make");
  ASSERT_EQ(make.size(), 2u);
  EXPECT_EQ(make[1], "The value runs past the end of the data: 4 of its 8 bytes are there");
  EXPECT_NE(Find(a.tree, "EOI(End of image)"), nullptr);
}

TEST(Exif, FaultsInsideTheExifDataFailTheAnalysisWithTheTiffMessage) {
  TiffBuilder tiff;
  Blob badOffset = tiff.Build({{{{256, 3, 1, {1}}}}});
  tiff.Patch32(badOffset, 4, 0x400);
  EXPECT_EQ(AnalyseBytes(Jpeg(ExifApp1(badOffset))).error, "[HPI_PLUGIN] Wrong file format!");
  Blob badVersion = tiff.Build({{{{256, 3, 1, {1}}}}});
  badVersion[2] = 43;
  EXPECT_EQ(AnalyseBytes(Jpeg(ExifApp1(badVersion))).error, "[HPI_PLUGIN] Wrong TIFF IFH(Image File Header)");
  EXPECT_EQ(AnalyseBytes(Jpeg(ExifApp1(badVersion)), "u.jpg", 0).error,
            "[HPI_PLUGIN] 不正なTIFF IFH(Image File Header)です");
}

TEST(Exif, OtherApp1DataIsApplicationData) {
  auto oneZero = AnalyseBytes(Jpeg(JpegSegment(0xE1, {'E', 'x', 'i', 'f', 0, 'I', 'I', 42, 0})));
  ASSERT_TRUE(oneZero.ok) << oneZero.error;
  EXPECT_EQ(RangeOf(oneZero.tree, *Find(oneZero.tree, "AP(Application data)")), (Range{6, 9}));
  auto shortExif = AnalyseBytes(Jpeg(JpegSegment(0xE1, {'E', 'x', 'i', 'f', 0, 0})));
  ASSERT_TRUE(shortExif.ok) << shortExif.error;
  EXPECT_NE(Find(shortExif.tree, "AP(Application data)"), nullptr);
  EXPECT_EQ(Find(shortExif.tree, "IFH(Image File Header)"), nullptr);
}

TEST(Exif, LaterExifTagsAreNamedByTheJpegPlugin) {
  TiffBuilder tiff;
  Blob exif = tiff.Build({{{{0xA420, 2, 4, {}, -1, -1, "abc"}, {0xA431, 2, 4, {}, -1, -1, "123"}}}});
  auto a = AnalyseBytes(Jpeg(ExifApp1(exif)));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_NE(Find(a.tree, "UniqueImageID"), nullptr);
  EXPECT_NE(Find(a.tree, "BodySerialNumber"), nullptr);
}

}  // namespace
