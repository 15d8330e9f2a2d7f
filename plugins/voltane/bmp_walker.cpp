// BMP: BITMAPFILEHEADER, the info header (BITMAPINFOHEADER and its V4/V5 and
// OS/2 relatives, or the OS/2 1.x BITMAPCOREHEADER), the palette and the pixel
// data range.
#include <cstdio>
#include <cstdlib>

#include "bitmap_info.h"
#include "hpi/bytes.h"
#include "support.h"
#include "voltane.h"

namespace voltane {
namespace {

constexpr int F = hpi::kFieldLevel;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kLargestHeader = 124;

struct FileHeader {
  std::uint16_t bfType;
  std::uint32_t bfSize;
  std::uint16_t bfReserved1;
  std::uint16_t bfReserved2;
  std::uint32_t bfOffBits;
};

// Fields that follow the first 40 bytes in the longer info headers, by header size.
struct ExtraField {
  const char* name;
  std::uint32_t width;
};
constexpr ExtraField kV4Fields[] = {
    {"bV4RedMask", 4},    {"bV4GreenMask", 4}, {"bV4BlueMask", 4},   {"bV4AlphaMask", 4}, {"bV4CSType", 4},
    {"bV4Endpoints", 36}, {"bV4GammaRed", 4},  {"bV4GammaGreen", 4}, {"bV4GammaBlue", 4},
};
constexpr ExtraField kV5Fields[] = {
    {"bV5RedMask", 4},     {"bV5GreenMask", 4},   {"bV5BlueMask", 4},   {"bV5AlphaMask", 4}, {"bV5CSType", 4},
    {"bV5Endpoints", 36},  {"bV5GammaRed", 4},    {"bV5GammaGreen", 4}, {"bV5GammaBlue", 4}, {"bV5Intent", 4},
    {"bV5ProfileData", 4}, {"bV5ProfileSize", 4}, {"bV5Reserved", 4},
};
constexpr ExtraField kOs2Fields[] = {
    {"usUnits", 2}, {"usReserved", 2}, {"usRecording", 2},     {"usRendering", 2},
    {"cSize1", 4},  {"cSize2", 4},     {"ulColorEncoding", 4}, {"ulIdentifier", 4},
};
struct HeaderLayout {
  std::uint32_t size;
  std::span<const ExtraField> extra;
};
// BITMAPV2INFOHEADER and BITMAPV3INFOHEADER (52 and 56 bytes) carry the first
// masks of BITMAPV4HEADER.
constexpr HeaderLayout kLayouts[] = {
    {40, {}},         {52, std::span(kV4Fields, 3)}, {56, std::span(kV4Fields, 4)}, {64, kOs2Fields}, {108, kV4Fields},
    {124, kV5Fields},
};

struct CodeName {
  std::uint32_t code;
  const char* name;
};
constexpr CodeName kColorSpaces[] = {
    {0, "LCS_CALIBRATED_RGB"},      {0x73524742, "LCS_sRGB"},         {0x57696E20, "LCS_WINDOWS_COLOR_SPACE"},
    {0x4C494E4B, "PROFILE_LINKED"}, {0x4D424544, "PROFILE_EMBEDDED"},
};
constexpr CodeName kIntents[] = {
    {1, "LCS_GM_BUSINESS"},
    {2, "LCS_GM_GRAPHICS"},
    {4, "LCS_GM_IMAGES"},
    {8, "LCS_GM_ABS_COLORIMETRIC"},
};

const char* NameOf(std::span<const CodeName> table, std::uint32_t code) {
  for (const CodeName& row : table) {
    if (row.code == code) return row.name;
  }
  return nullptr;
}

using hpi::Fail;

// Rows are padded to 4 bytes. Computed in 64 bits; a size no file can have
// (the product overflows) is returned as -1, which matches no header.
std::int64_t RowPaddedSize(std::int64_t bitCount, std::int64_t width, std::int64_t height) {
  std::int64_t bits, size;
  if (__builtin_mul_overflow(bitCount, width, &bits) || __builtin_mul_overflow((bits + 31) / 32, height * 4, &size)) {
    return -1;
  }
  return size;
}

bool IsCompressed(std::uint32_t compression) {
  return compression == kBiRle8 || compression == kBiRle4 || compression == kBiJpeg || compression == kBiPng;
}

void WriteFileHeader(hpi::Writer& out, const FileHeader& h, int level) {
  out.WriteItem("BITMAPFILEHEADER", level, 0, kFileHeaderSize);
  out.WriteU16Item("bfType", F, 0, h.bfType);
  out.WriteComment("'BM'");
  out.WriteU32Item("bfSize", F, 2, h.bfSize);
  out.WriteU16Item("bfReserved1", F, 6, h.bfReserved1);
  out.WriteU16Item("bfReserved2", F, 8, h.bfReserved2);
  out.WriteU32Item("bfOffBits", F, 10, h.bfOffBits);
}

void WriteExtraFields(hpi::Writer& out, std::span<const ExtraField> fields, const std::uint8_t* bytes,
                      std::uint32_t offset) {
  std::uint32_t at = 0;
  for (const ExtraField& field : fields) {
    const char* meaning = nullptr;
    if (field.width == 36) {
      out.WriteItem(field.name, F, offset + at, field.width);  // CIEXYZTRIPLE, three fixed-point triples
    } else {
      std::uint32_t value = field.width == 2 ? hpi::LE16(bytes + at) : hpi::LE32(bytes + at);
      out.WriteItem(field.name, F, offset + at, field.width, bytes + at, hpi::ValueKind::Unsigned);
      std::string_view name(field.name);
      if (name.ends_with("CSType")) meaning = NameOf(kColorSpaces, value);
      if (name.ends_with("Intent")) meaning = NameOf(kIntents, value);
    }
    if (meaning != nullptr) out.WriteComment(meaning);
    at += field.width;
  }
}

// The OS/2 1.x bitmap: a 12-byte BITMAPCOREHEADER and a palette of RGBTRIPLEs.
bool AnalyseCore(hpi::Analysis& a, const FileHeader& fh, const std::uint8_t* b, int level) {
  hpi::Writer& out = a.out;
  std::uint16_t width = hpi::LE16(b + 4);
  std::uint16_t height = hpi::LE16(b + 6);
  std::uint16_t bitCount = hpi::LE16(b + 10);
  std::uint32_t palette = bitCount <= 8 ? 1u << bitCount : 0;
  std::int64_t imageSize = RowPaddedSize(bitCount, width, height);
  if (static_cast<std::int64_t>(fh.bfSize) - fh.bfOffBits != imageSize) return Fail(hpi::kWrongFormat);
  if (fh.bfOffBits != kFileHeaderSize + kCoreHeaderSize + 3 * palette) return Fail(hpi::kWrongFormat);
  if (!a.file.Seek(kFileHeaderSize + kCoreHeaderSize)) return Fail(hpi::kFileReadError);

  out.WriteItem("BITMAPCOREINFO", level, kFileHeaderSize, fh.bfOffBits - kFileHeaderSize);
  out.WriteItem("bmciHeader", level + 1, kFileHeaderSize, kCoreHeaderSize);
  out.WriteU32Item("bcSize", F, 14, hpi::LE32(b));
  out.WriteU16Item("bcWidth", F, 18, width);
  out.WriteU16Item("bcHeight", F, 20, height);
  out.WriteU16Item("bcPlanes", F, 22, hpi::LE16(b + 8));
  out.WriteU16Item("bcBitCount", F, 24, bitCount);
  out.WriteGroupEnd(level + 1);
  bool grayscale = palette > 0;
  for (std::uint32_t i = 0; i < palette; ++i) {
    std::uint8_t bgr[3];
    if (hpi::ReadBlock(a.file, bgr, 3) != 3) return Fail(hpi::kFileReadError);
    char name[32];
    std::snprintf(name, sizeof name, "bmciColors[%u]", i);
    out.WriteItem(name, F, kFileHeaderSize + kCoreHeaderSize + 3 * i, 3, bgr, hpi::ValueKind::Unsigned);
    out.Comment("RGB(%3d,%3d,%3d)", bgr[2], bgr[1], bgr[0]);
    if (bgr[0] != bgr[1] || bgr[1] != bgr[2]) grayscale = false;
  }
  out.WriteItem("Image Data", kTopLevel, fh.bfOffBits, static_cast<std::uint32_t>(imageSize));
  if (!out.Ok()) return false;

  if (a.report != nullptr) {
    hpi::Report& r = *a.report;
    ReportTitle(r, a.rootName);
    r.Line("File size\t: %d bytes", static_cast<int>(fh.bfSize));
    r.Line("File type\t: OS/2 BITMAP format file");
    ReportImageType(r, bitCount, palette, grayscale);
    r.Line("Image size \t: %d × %d", width, height);
    r.Line("Compression\t: No compression");
  }
  return true;
}

void MakeReport(hpi::Analysis& a, const FileHeader& fh, const InfoHeader& h, unsigned palette, bool grayscale) {
  hpi::Report& r = *a.report;
  ReportTitle(r, a.rootName);
  r.Line("File size\t: %d bytes", static_cast<int>(fh.bfSize));
  r.Line("File type\t: Windows BITMAP format file");
  ReportImageType(r, h.biBitCount, palette, grayscale);
  r.Line("Image size \t: %d × %d", h.biWidth, h.biHeight);
  ReportCompression(r, h.biCompression);
  if (h.biXPelsPerMeter != 0) r.Line("Resolution X\t: %d pixel/m", h.biXPelsPerMeter);
  if (h.biYPelsPerMeter != 0) r.Line("Resolution Y\t: %d pixel/m", h.biYPelsPerMeter);
}

}  // namespace

bool AnalyseBmp(hpi::Analysis& a, int level) {
  hpi::Writer& out = a.out;
  std::uint8_t f[kFileHeaderSize];
  if (hpi::ReadBlock(a.file, f, sizeof f) != sizeof f) return Fail(hpi::kFileReadError);
  FileHeader fh{hpi::LE16(f), hpi::LE32(f + 2), hpi::LE16(f + 6), hpi::LE16(f + 8), hpi::LE32(f + 10)};
  if (fh.bfType != kBmpMarker) return Fail(kWrongBmpMarker);
  WriteFileHeader(out, fh, level);
  if (!out.Ok()) return false;

  std::uint8_t b[kLargestHeader];
  int got = hpi::ReadBlock(a.file, b, kInfoHeaderSize);
  if (got >= static_cast<int>(kCoreHeaderSize) && hpi::LE32(b) == kCoreHeaderSize) return AnalyseCore(a, fh, b, level);
  if (got != static_cast<int>(kInfoHeaderSize)) return Fail(hpi::kFileReadError);
  InfoHeader h = ParseInfoHeader(b);
  // An info header of a size not listed is read as the 40-byte BITMAPINFOHEADER.
  HeaderLayout layout = kLayouts[0];
  for (const HeaderLayout& known : kLayouts) {
    if (known.size == h.biSize) layout = known;
  }
  std::uint32_t extra = layout.size - kInfoHeaderSize;
  if (extra > 0 && hpi::ReadBlock(a.file, b + kInfoHeaderSize, extra) != static_cast<int>(extra)) {
    return Fail(hpi::kFileReadError);
  }

  // A top-down bitmap (negative height) has as many rows as a bottom-up one.
  std::int64_t imageSize = RowPaddedSize(h.biBitCount, h.biWidth, std::llabs(h.biHeight));
  bool compressed = IsCompressed(h.biCompression);
  if (!compressed && (imageSize < 0 || static_cast<std::int64_t>(fh.bfSize) - fh.bfOffBits != imageSize)) {
    return Fail(hpi::kWrongFormat);
  }
  if (compressed) {
    // Compressed pixel data is as long as biSizeImage says, or runs to the end of the file.
    std::int64_t rest = static_cast<std::int64_t>(a.fileSize) - fh.bfOffBits;
    imageSize = h.biSizeImage != 0 ? h.biSizeImage : std::max<std::int64_t>(rest, 0);
  }

  std::uint32_t headerEnd = kFileHeaderSize + layout.size;
  std::uint32_t palette = PaletteCount(h);
  if (fh.bfOffBits != headerEnd + 4 * palette) {
    // Colour masks after a 40-byte header, shown as palette entries.
    bool bitfields = layout.size == kInfoHeaderSize && (h.biBitCount == 16 || h.biBitCount == 32);
    if (bitfields && fh.bfOffBits == headerEnd + 12) {
      palette = 3;
    } else if (bitfields && h.biCompression == kBiAlphaBitfields && fh.bfOffBits == headerEnd + 16) {
      palette = 4;
    } else {
      return Fail(hpi::kWrongFormat);
    }
  }

  out.WriteItem("BITMAPINFO", level, kFileHeaderSize, fh.bfOffBits - kFileHeaderSize);
  out.WriteItem("bmiHeader", level + 1, kFileHeaderSize, layout.size);
  WriteInfoHeaderFields(out, h, kFileHeaderSize);
  WriteExtraFields(out, layout.extra, b + kInfoHeaderSize, kFileHeaderSize + kInfoHeaderSize);
  out.WriteGroupEnd(level + 1);
  if (!out.Ok()) return false;
  PaletteResult colors = WritePalette(a, "bmiColors[%d]", headerEnd, palette, false);
  if (!colors.ok) return false;
  out.WriteItem("Image Data", kTopLevel, fh.bfOffBits, static_cast<std::uint32_t>(imageSize));

  // A BITMAPV5HEADER may point at an ICC profile, relative to the header's start.
  if (layout.size == 124) {
    std::uint64_t profileAt = kFileHeaderSize + static_cast<std::uint64_t>(hpi::LE32(b + 112));
    std::uint32_t profileSize = hpi::LE32(b + 116);
    if (profileSize > 0 && profileAt + profileSize <= a.fileSize) {
      out.WriteItem("ICC Profile", kTopLevel, static_cast<std::uint32_t>(profileAt), profileSize);
    }
  }
  if (!out.Ok()) return false;
  if (a.report != nullptr) MakeReport(a, fh, h, palette, colors.grayscale);
  return true;
}

}  // namespace voltane
