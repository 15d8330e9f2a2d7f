#include "bitmap_info.h"

#include <algorithm>
#include <cstdio>

#include "hpi/bytes.h"

namespace voltane {
namespace {

constexpr const char* kCompressionNames[] = {"BI_RGB",  "BI_RLE8", "BI_RLE4",          "BI_BITFIELDS",
                                             "BI_JPEG", "BI_PNG",  "BI_ALPHABITFIELDS"};

constexpr std::uint16_t kBitCounts[] = {0, 1, 2, 4, 8, 16, 24, 32};

}  // namespace

InfoHeader ParseInfoHeader(const std::uint8_t* b) {
  return InfoHeader{hpi::LE32(b),
                    static_cast<std::int32_t>(hpi::LE32(b + 4)),
                    static_cast<std::int32_t>(hpi::LE32(b + 8)),
                    hpi::LE16(b + 12),
                    hpi::LE16(b + 14),
                    hpi::LE32(b + 16),
                    hpi::LE32(b + 20),
                    static_cast<std::int32_t>(hpi::LE32(b + 24)),
                    static_cast<std::int32_t>(hpi::LE32(b + 28)),
                    hpi::LE32(b + 32),
                    hpi::LE32(b + 36)};
}

std::uint16_t PaletteCount(const InfoHeader& h) {
  if (h.biClrUsed != 0) return static_cast<std::uint16_t>(h.biClrUsed);
  switch (h.biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

std::int64_t RowPaddedSize(std::int64_t bitCount, std::int64_t width, std::int64_t height) {
  std::int64_t bits, size;
  if (width < 0 || __builtin_mul_overflow(bitCount, width, &bits) ||
      __builtin_mul_overflow((bits + 31) / 32, height * 4, &size)) {
    return -1;
  }
  return size;
}

void WriteInfoHeaderFields(hpi::Writer& out, const InfoHeader& h, std::uint32_t at, std::uint32_t present) {
  constexpr int F = hpi::kFieldLevel;
  out.WriteU32Item("biSize", F, at, h.biSize);
  out.WriteS32Item("biWidth", F, at + 4, h.biWidth);
  out.WriteS32Item("biHeight", F, at + 8, h.biHeight);
  if (h.biHeight < 0) out.WriteComment("top-down");
  if (h.biHeight < 0 && (h.biCompression == kBiRle8 || h.biCompression == kBiRle4)) {
    out.WriteNote("an RLE bitmap is stored bottom-up only");
  }
  out.WriteU16Item("biPlanes", F, at + 12, h.biPlanes);
  if (h.biPlanes != 1) out.WriteNote("biPlanes must be 1");
  out.WriteU16Item("biBitCount", F, at + 14, h.biBitCount);
  if (std::find(std::begin(kBitCounts), std::end(kBitCounts), h.biBitCount) == std::end(kBitCounts)) {
    out.Note("no bitmap has %u bits per pixel", h.biBitCount);
  }
  if (present < kInfoHeaderSize) return;
  out.WriteU32Item("biCompression", F, at + 16, h.biCompression);
  if (h.biCompression < std::size(kCompressionNames)) out.WriteComment(kCompressionNames[h.biCompression]);
  out.WriteU32Item("biSizeImage", F, at + 20, h.biSizeImage);
  out.WriteS32Item("biXPelsPerMeter", F, at + 24, h.biXPelsPerMeter);
  out.WriteS32Item("biYPelsPerMeter", F, at + 28, h.biYPelsPerMeter);
  out.WriteU32Item("biClrUsed", F, at + 32, h.biClrUsed);
  if (h.biClrUsed > 0xFFFF) {
    out.Note("more than 65535 colours; taken as %u", PaletteCount(h));
  } else if (h.biBitCount <= 8 && h.biClrUsed > 1u << h.biBitCount) {
    out.Note("more colours than %u bits per pixel can index", h.biBitCount);
  }
  out.WriteU32Item("biClrImportant", F, at + 36, h.biClrImportant);
}

PaletteResult WritePalette(hpi::Analysis& analysis, const char* nameFormat, std::uint32_t offset, std::uint32_t count,
                           bool endIsFormatError, std::uint32_t firstIndex) {
  PaletteResult result{true, count > 0};
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint8_t bgra[4];
    int got = hpi::ReadBlock(analysis.file, bgra, sizeof bgra);
    if (got != 4) {
      hpi::SetPluginError(got >= 0 && endIsFormatError ? hpi::kWrongFormat : hpi::kFileReadError);
      return {false, false};
    }
    char name[32];
    std::snprintf(name, sizeof name, nameFormat, static_cast<int>(firstIndex + i));
    analysis.out.WriteItem(name, hpi::kFieldLevel, offset + 4 * i, 4, bgra, hpi::ValueKind::Unsigned);
    analysis.out.Comment("RGBA(%3d,%3d,%3d,%3d)", bgra[2], bgra[1], bgra[0], bgra[3]);
    if (!analysis.out.Ok()) return {false, false};
    if (bgra[0] != bgra[1] || bgra[1] != bgra[2]) result.grayscale = false;
  }
  return result;
}

void ReportTitle(hpi::Report& report, const char* rootName) {
  report.Line("----------------------------------------");
  report.Line("   Voltane.hpi file report");
  report.Line("----------------------------------------");
  report.Line("File name \t: %s", rootName);
}

void ReportImageType(hpi::Report& report, unsigned bitCount, unsigned paletteCount, bool grayscale) {
  if (paletteCount == 0) {
    report.Line("Image type\t: %u bits/pixel RGB color", bitCount);
    return;
  }
  if (bitCount > 8) {
    report.Line("Image type\t: %u bits/pixel RGB color", bitCount);
  } else if (paletteCount == 256 && grayscale) {
    report.Line("Image type\t: %u bits/pixel grayscale", bitCount);
  } else {
    report.Line("Image type\t: %u bits/pixel paletted color", bitCount);
  }
  report.Line("Pallette number\t: %u", paletteCount);
}

void ReportCompression(hpi::Report& report, std::uint32_t compression) {
  if (compression == kBiRle8) {
    report.Line("Compression\t: RLE8 compression");
  } else if (compression == kBiRle4) {
    report.Line("Compression\t: RLE4 compression");
  } else if (compression == kBiJpeg) {
    report.Line("Compression\t: JPEG compression");
  } else if (compression == kBiPng) {
    report.Line("Compression\t: PNG compression");
  } else {
    report.Line("Compression\t: No compression");
  }
}

}  // namespace voltane
