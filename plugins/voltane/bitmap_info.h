// BITMAPINFOHEADER and RGBQUAD palettes, shared by the BMP and icon analyses.
#pragma once

#include <cstdint>

#include "hpi/plugin.h"

namespace voltane {

inline constexpr std::uint32_t kInfoHeaderSize = 40;

enum Compression : std::uint32_t {
  kBiRgb = 0,
  kBiRle8 = 1,
  kBiRle4 = 2,
  kBiBitfields = 3,
  kBiJpeg = 4,
  kBiPng = 5,
  kBiAlphaBitfields = 6,
};

struct InfoHeader {
  std::uint32_t biSize;
  std::int32_t biWidth;
  std::int32_t biHeight;
  std::uint16_t biPlanes;
  std::uint16_t biBitCount;
  std::uint32_t biCompression;
  std::uint32_t biSizeImage;
  std::int32_t biXPelsPerMeter;
  std::int32_t biYPelsPerMeter;
  std::uint32_t biClrUsed;
  std::uint32_t biClrImportant;
};

InfoHeader ParseInfoHeader(const std::uint8_t* bytes);

// biClrUsed when set, else 2, 16 or 256 for 1, 4 or 8 bits per pixel, else 0;
// taken as a 16-bit number.
std::uint16_t PaletteCount(const InfoHeader& header);

// Bytes of rows padded to 4 bytes, in 64 bits; -1 for a size no file can have
// (a negative width, or a product that overflows).
std::int64_t RowPaddedSize(std::int64_t bitCount, std::int64_t width, std::int64_t height);

// The eleven fields biSize ... biClrImportant at offset, those that lie in the
// first present bytes (an OS/2 2.x header may end after 16 of them).
void WriteInfoHeaderFields(hpi::Writer& out, const InfoHeader& header, std::uint32_t offset,
                           std::uint32_t present = kInfoHeaderSize);

// Reads count RGBQUAD entries from the file's current position and writes each as
// a field named by nameFormat (with firstIndex + its index) at offset + 4 * index. Records code
// 6 when the file ends inside the palette if endIsFormatError, else code 5.
struct PaletteResult {
  bool ok;
  bool grayscale;  // every entry has equal blue, green and red
};
PaletteResult WritePalette(hpi::Analysis& analysis, const char* nameFormat, std::uint32_t offset, std::uint32_t count,
                           bool endIsFormatError, std::uint32_t firstIndex = 0);

// Report lines shared by the BMP and icon reports: image type (with the palette
// count line; a palette of more than 8 bits per pixel only suggests colours),
// image size and compression.
void ReportImageType(hpi::Report& report, unsigned bitCount, unsigned paletteCount, bool grayscale);
void ReportCompression(hpi::Report& report, std::uint32_t compression);
void ReportTitle(hpi::Report& report, const char* rootName);

}  // namespace voltane
