// BMP: BITMAPFILEHEADER, the info header (BITMAPINFOHEADER and its V4/V5 and
// OS/2 relatives, or the OS/2 1.x BITMAPCOREHEADER), the colour masks and the
// palette, then the pixel data, an ICC profile and the bytes between them.
// Sizes that disagree are noted at the field that says them; the walk stops
// only where the headers cannot be read or the palette runs past the file.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bitmap_info.h"
#include "bmp_headers.h"
#include "bmp_rle.h"
#include "hpi/bytes.h"
#include "support.h"
#include "voltane.h"

namespace voltane {
namespace {

constexpr int F = hpi::kFieldLevel;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kWidthOffset = 18;  // biWidth or bcWidth

struct FileHeader {
  std::uint16_t bfType;
  std::uint32_t bfSize;
  std::uint16_t bfReserved1;
  std::uint16_t bfReserved2;
  std::uint32_t bfOffBits;
};

constexpr const char* kMaskNames[] = {"red", "green", "blue", "alpha"};

using hpi::Fail;

bool IsCompressed(std::uint32_t compression) {
  return compression == kBiRle8 || compression == kBiRle4 || compression == kBiJpeg || compression == kBiPng;
}

// What the headers say, and where the parts after them lie.
struct Bitmap {
  FileHeader fh;
  bool core = false;             // BITMAPCOREHEADER
  std::uint32_t headerSize = 0;  // bytes of the info header that are read and shown
  HeaderLayout layout{};
  InfoHeader h{};
  std::uint8_t bytes[kV5HeaderSize] = {};  // the info header as read
  std::uint32_t masks = 0;                 // DWORD colour masks after a 40-byte header
  std::uint32_t palette = 0;               // entries the headers call for
  std::uint32_t shownPalette = 0;          // entries that lie before the pixels
  std::uint32_t entrySize = 4;             // RGBQUAD, or RGBTRIPLE for OS/2 1.x
  std::uint64_t paletteAt = 0;
  std::uint64_t infoEnd = 0;  // the end of header, masks and the palette shown
  std::int64_t imageSize = 0;
};

std::uint64_t PaletteEnd(const Bitmap& m, std::uint32_t entries) {
  return m.paletteAt + static_cast<std::uint64_t>(m.entrySize) * entries;
}

// One range after the palette: the pixels or the ICC profile.
struct Part {
  const char* name;
  std::uint64_t offset;
  std::uint64_t size;  // as the headers say
  bool linkedProfile = false;
};

bool IsImage(const Part& part) { return part.name == std::string_view("Image Data"); }

class BmpWalker {
 public:
  BmpWalker(hpi::Analysis& analysis, int level) : a_(analysis), out_(analysis.out), level_(level) {}

  bool Run();

 private:
  bool ReadHeaders();
  void Plan();
  void WriteFileHeader();
  void RowsNote();
  void OffsetNote();
  void WriteInfoHeader();
  bool WriteColors();
  bool WriteParts();
  bool WritePart(const Part& part);
  void WriteHole(std::uint64_t from, std::uint64_t to, bool beforePixels);
  void MaskComment(std::uint32_t mask, const char* channel);
  void Report(bool grayscale) const;

  hpi::Analysis& a_;
  hpi::Writer& out_;
  int level_;
  Bitmap m_;
  std::vector<Part> parts_;
  bool grayscale_ = false;
  std::uint32_t maskBits_ = 0;  // the bits of the masks shown so far
};

bool BmpWalker::Run() {
  std::uint8_t f[kFileHeaderSize];
  if (hpi::ReadBlock(a_.file, f, sizeof f) != sizeof f) return Fail(hpi::kFileReadError);
  m_.fh = {hpi::LE16(f), hpi::LE32(f + 2), hpi::LE16(f + 6), hpi::LE16(f + 8), hpi::LE32(f + 10)};
  if (m_.fh.bfType != kBmpMarker) return Fail(kWrongBmpMarker);
  if (!ReadHeaders()) {
    WriteFileHeader();
    return false;
  }
  Plan();
  WriteFileHeader();
  WriteInfoHeader();
  if (!out_.Ok() || !WriteColors()) return false;
  // Rows of a negative width, or too many to count: where the pixels end is unknown.
  if (m_.imageSize < 0) return hpi::FailAt(hpi::kWrongFormat, kWidthOffset);
  if (!WriteParts()) return false;
  if (a_.report != nullptr) Report(grayscale_);
  return true;
}

// The info header by its size: the OS/2 1.x core header, one of the Windows
// headers, or an OS/2 2.x header of 16 to 64 bytes (fields past its end are
// zero); a size of no known header is read as the 40-byte BITMAPINFOHEADER.
bool BmpWalker::ReadHeaders() {
  std::uint8_t* b = m_.bytes;
  int got = hpi::ReadBlock(a_.file, b, 4);
  if (got != 4) return Fail(hpi::kFileReadError);
  std::uint32_t size = hpi::LE32(b);
  m_.core = size == kCoreHeaderSize;
  m_.layout = LayoutOf(size);
  m_.headerSize = m_.core ? kCoreHeaderSize : m_.layout.size;
  if (hpi::ReadBlock(a_.file, b + 4, m_.headerSize - 4) != static_cast<int>(m_.headerSize - 4)) {
    return Fail(hpi::kFileReadError);
  }
  if (m_.core) {
    m_.h = InfoHeader{size, hpi::LE16(b + 4), hpi::LE16(b + 6), hpi::LE16(b + 8), hpi::LE16(b + 10), kBiRgb, 0, 0, 0, 0,
                      0};
    m_.entrySize = 3;
  } else {
    m_.h = ParseInfoHeader(b);
  }
  return true;
}

// Palette, pixels and profile as the headers place them.
void BmpWalker::Plan() {
  const InfoHeader& h = m_.h;
  if (m_.core) {
    m_.palette = h.biBitCount <= 8 ? 1u << h.biBitCount : 0;
  } else {
    m_.palette = PaletteCount(h);
    if (m_.headerSize == kInfoHeaderSize && h.biCompression == kBiBitfields) m_.masks = 3;
    if (m_.headerSize == kInfoHeaderSize && h.biCompression == kBiAlphaBitfields) m_.masks = 4;
  }
  m_.paletteAt = kFileHeaderSize + m_.headerSize + 4 * m_.masks;
  // Palette entries that would lie in the pixels are not shown.
  std::uint64_t pixelsAt = m_.fh.bfOffBits;
  m_.shownPalette = m_.palette;
  if (PaletteEnd(m_, m_.palette) > pixelsAt) {
    m_.shownPalette =
        pixelsAt > m_.paletteAt ? static_cast<std::uint32_t>((pixelsAt - m_.paletteAt) / m_.entrySize) : 0;
  }
  m_.infoEnd = PaletteEnd(m_, m_.shownPalette);

  // A top-down bitmap (negative height) has as many rows as a bottom-up one.
  std::int64_t rows = RowPaddedSize(h.biBitCount, h.biWidth, std::llabs(h.biHeight));
  if (IsCompressed(h.biCompression)) {
    // Compressed pixel data is as long as biSizeImage says, or runs to the end of the file.
    std::int64_t rest = static_cast<std::int64_t>(a_.fileSize) - m_.fh.bfOffBits;
    m_.imageSize = h.biSizeImage != 0 ? h.biSizeImage : std::max<std::int64_t>(rest, 0);
  } else {
    m_.imageSize = rows;
  }
  if (m_.imageSize >= 0) parts_.push_back({"Image Data", m_.fh.bfOffBits, static_cast<std::uint64_t>(m_.imageSize)});

  // A BITMAPV5HEADER may hold an ICC profile or the name of a profile file, at
  // an offset from the header's start.
  if (m_.headerSize == kV5HeaderSize) {
    std::uint32_t type = hpi::LE32(m_.bytes + 56);
    std::uint32_t size = hpi::LE32(m_.bytes + 116);
    if ((type == kProfileEmbedded || type == kProfileLinked) && size > 0) {
      parts_.push_back({"ICC Profile", kFileHeaderSize + static_cast<std::uint64_t>(hpi::LE32(m_.bytes + 112)), size,
                        type == kProfileLinked});
    }
  }
  std::sort(parts_.begin(), parts_.end(), [](const Part& x, const Part& y) { return x.offset < y.offset; });
}

// A note compares a value with what the bytes before its item's end say:
// bfSize with bfOffBits here, bfOffBits with the palette at BITMAPINFO, bfSize
// with the rows at Image Data.
void BmpWalker::WriteFileHeader() {
  const FileHeader& fh = m_.fh;
  out_.WriteItem("BITMAPFILEHEADER", level_, 0, kFileHeaderSize);
  out_.WriteU16Item("bfType", F, 0, fh.bfType);
  out_.WriteComment("'BM'");
  out_.WriteU32Item("bfSize", F, 2, fh.bfSize);
  if (fh.bfSize < fh.bfOffBits) out_.Note("bfSize is %u, less than bfOffBits (%u)", fh.bfSize, fh.bfOffBits);
  out_.WriteU16Item("bfReserved1", F, 6, fh.bfReserved1);
  out_.WriteU16Item("bfReserved2", F, 8, fh.bfReserved2);
  out_.WriteU32Item("bfOffBits", F, 10, fh.bfOffBits);
}

// bfSize - bfOffBits against the rows the info header calls for.
void BmpWalker::RowsNote() {
  const FileHeader& fh = m_.fh;
  if (IsCompressed(m_.h.biCompression) || fh.bfSize < fh.bfOffBits) return;
  std::int64_t pixels = static_cast<std::int64_t>(fh.bfSize) - fh.bfOffBits;
  auto said = static_cast<long long>(pixels);
  auto rows = static_cast<long long>(m_.imageSize);
  if (pixels > m_.imageSize) {
    out_.Note("bfSize - bfOffBits is %lld; the rows need %lld: %lld bytes follow the pixel rows", said, rows,
              said - rows);
  } else if (pixels < m_.imageSize) {
    out_.Note("bfSize - bfOffBits is %lld; the rows need %lld: bfSize ends %lld bytes before them", said, rows,
              rows - said);
  }
}

// bfOffBits against the end of the headers and the palette.
void BmpWalker::OffsetNote() {
  const FileHeader& fh = m_.fh;
  std::uint64_t wanted = PaletteEnd(m_, m_.palette);
  if (fh.bfOffBits > wanted) {
    out_.Note("bfOffBits is %u; the headers and the palette end at %llu: %llu bytes before the pixels", fh.bfOffBits,
              static_cast<unsigned long long>(wanted), static_cast<unsigned long long>(fh.bfOffBits - wanted));
  } else if (fh.bfOffBits < wanted) {
    out_.Note("bfOffBits is %u; the headers and a palette of %u entries need %llu: %u entries shown", fh.bfOffBits,
              m_.palette, static_cast<unsigned long long>(wanted), m_.shownPalette);
  }
}

void BmpWalker::MaskComment(std::uint32_t mask, const char* channel) {
  if (mask == 0) return;
  int shift = __builtin_ctz(mask);
  std::uint32_t bits = mask >> shift;
  if ((bits & (bits + 1)) != 0) {
    out_.Comment("%s mask, not contiguous", channel);
  } else {
    out_.Comment("%s mask: shift %d, width %d", channel, shift, __builtin_popcount(bits));
  }
  if ((mask & maskBits_) != 0) out_.WriteNote("shares bits with an earlier mask");
  maskBits_ |= mask;
}

void BmpWalker::WriteInfoHeader() {
  const std::uint8_t* b = m_.bytes;
  std::uint32_t end = static_cast<std::uint32_t>(m_.infoEnd);
  if (m_.core) {
    out_.WriteItem("BITMAPCOREINFO", level_, kFileHeaderSize, end - kFileHeaderSize);
    OffsetNote();
    out_.WriteItem("bmciHeader", level_ + 1, kFileHeaderSize, kCoreHeaderSize);
    out_.WriteU32Item("bcSize", F, 14, m_.h.biSize);
    out_.WriteU16Item("bcWidth", F, 18, static_cast<std::uint32_t>(m_.h.biWidth));
    out_.WriteU16Item("bcHeight", F, 20, static_cast<std::uint32_t>(m_.h.biHeight));
    out_.WriteU16Item("bcPlanes", F, 22, m_.h.biPlanes);
    out_.WriteU16Item("bcBitCount", F, 24, m_.h.biBitCount);
    out_.WriteGroupEnd(level_ + 1);
    return;
  }
  out_.WriteItem("BITMAPINFO", level_, kFileHeaderSize, end - kFileHeaderSize);
  OffsetNote();
  out_.WriteItem("bmiHeader", level_ + 1, kFileHeaderSize, m_.headerSize);
  WriteInfoHeaderFields(out_, m_.h, kFileHeaderSize, std::min(m_.headerSize, kInfoHeaderSize));
  std::uint32_t at = kInfoHeaderSize;
  for (const ExtraField& field : m_.layout.extra) {
    if (at + field.width > m_.headerSize) break;
    std::uint32_t offset = kFileHeaderSize + at;
    if (field.width == 36) {
      out_.WriteItem(field.name, F, offset, field.width);  // CIEXYZTRIPLE, three fixed-point triples
    } else {
      std::uint32_t value = field.width == 2 ? hpi::LE16(b + at) : hpi::LE32(b + at);
      out_.WriteItem(field.name, F, offset, field.width, b + at, hpi::ValueKind::Unsigned);
      std::string_view name(field.name);
      if (const char* meaning = MeaningOf(name, value); meaning != nullptr) out_.WriteComment(meaning);
      if (name.ends_with("Mask")) MaskComment(value, kMaskNames[(at - kInfoHeaderSize) / 4]);
    }
    at += field.width;
  }
  out_.WriteGroupEnd(level_ + 1);
}

// The masks of a bit-field bitmap with a 40-byte header, then the palette:
// entries of BITMAPINFO's bmiColors, or RGBTRIPLEs of an OS/2 1.x bitmap.
bool BmpWalker::WriteColors() {
  if (!a_.file.Seek(kFileHeaderSize + m_.headerSize)) return Fail(hpi::kFileReadError);
  for (std::uint32_t i = 0; i < m_.masks; ++i) {
    std::uint32_t mask;
    if (hpi::ReadLE32(a_.file, mask) != 4) return Fail(hpi::kFileReadError);
    char name[24];
    std::snprintf(name, sizeof name, "bmiColors[%u]", i);
    out_.WriteU32Item(name, F, kFileHeaderSize + m_.headerSize + 4 * i, mask);
    MaskComment(mask, kMaskNames[i]);
  }
  if (!out_.Ok()) return false;
  std::uint32_t at = static_cast<std::uint32_t>(m_.paletteAt);
  if (!m_.core) {
    PaletteResult colors = WritePalette(a_, "bmiColors[%d]", at, m_.shownPalette, false, m_.masks);
    grayscale_ = colors.grayscale;
    return colors.ok;
  }
  grayscale_ = m_.shownPalette > 0;
  for (std::uint32_t i = 0; i < m_.shownPalette; ++i) {
    std::uint8_t bgr[3];
    if (hpi::ReadBlock(a_.file, bgr, 3) != 3) return Fail(hpi::kFileReadError);
    char name[24];
    std::snprintf(name, sizeof name, "bmciColors[%u]", i);
    out_.WriteItem(name, F, at + 3 * i, 3, bgr, hpi::ValueKind::Unsigned);
    out_.Comment("RGB(%3d,%3d,%3d)", bgr[2], bgr[1], bgr[0]);
    if (bgr[0] != bgr[1] || bgr[1] != bgr[2]) grayscale_ = false;
  }
  return out_.Ok();
}

// The pixels and the profile in file order, with the bytes between and after
// them as their own ranges. A part that the file ends before is an empty item
// at the end of the file, with a note.
bool BmpWalker::WriteParts() {
  std::uint64_t end = m_.infoEnd;
  bool beforePixels = true;
  std::vector<const Part*> beyond;
  for (const Part& part : parts_) {
    if (part.offset >= a_.fileSize) {
      beyond.push_back(&part);
      continue;
    }
    if (part.offset > end) WriteHole(end, part.offset, beforePixels);
    if (!WritePart(part)) return false;
    end = std::max(end, std::min(part.offset + part.size, a_.fileSize));
    if (IsImage(part)) beforePixels = false;
  }
  if (end < a_.fileSize) WriteHole(end, a_.fileSize, beforePixels);
  for (const Part* part : beyond) {
    out_.WriteItem(part->name, kTopLevel, a_.fileSize, 0);
    if (IsImage(*part)) RowsNote();
    out_.Note("%llu bytes stated at %llu; the file ends at %llu", static_cast<unsigned long long>(part->size),
              static_cast<unsigned long long>(part->offset), static_cast<unsigned long long>(a_.fileSize));
  }
  return out_.Ok();
}

void BmpWalker::WriteHole(std::uint64_t from, std::uint64_t to, bool beforePixels) {
  out_.WriteItem(beforePixels ? "Gap" : "Padding", kTopLevel, from, to - from);
}

bool BmpWalker::WritePart(const Part& part) {
  std::uint64_t size = std::min(part.size, a_.fileSize - part.offset);
  auto at = static_cast<std::uint32_t>(part.offset);
  if (part.linkedProfile) {
    // The name of the profile file, NUL-terminated.
    char text[256] = {};
    std::uint32_t length = static_cast<std::uint32_t>(std::min<std::uint64_t>(size, 255));
    if (!a_.file.Seek(at) || hpi::ReadBlock(a_.file, text, length) != static_cast<int>(length)) {
      return Fail(hpi::kFileReadError);
    }
    out_.WriteName(part.name, kTopLevel);
    out_.WriteOffset(at);
    out_.WriteSize(size);
    out_.WriteValue(static_cast<std::uint32_t>(strnlen(text, length)), text, hpi::ValueKind::Text);
    out_.WriteComment("linked profile file");
  } else {
    out_.WriteItem(part.name, kTopLevel, at, size);
  }
  if (IsImage(part)) RowsNote();
  if (size < part.size) {
    out_.Note("%llu bytes stated; the file ends after %llu: %llu bytes missing",
              static_cast<unsigned long long>(part.size), static_cast<unsigned long long>(size),
              static_cast<unsigned long long>(part.size - size));
  }
  bool rle = !m_.core && (m_.h.biCompression == kBiRle8 || m_.h.biCompression == kBiRle4);
  if (rle && IsImage(part)) {
    if (!out_.Ok() || !a_.file.Seek(at)) return Fail(hpi::kFileReadError);
    std::int32_t rows = m_.h.biHeight < 0 ? -m_.h.biHeight : m_.h.biHeight;
    if (!WalkRle(a_, {at, static_cast<std::uint32_t>(size), m_.h.biCompression == kBiRle4, m_.h.biWidth, rows})) {
      return false;
    }
  }
  return out_.Ok();
}

void BmpWalker::Report(bool grayscale) const {
  hpi::Report& r = *a_.report;
  const InfoHeader& h = m_.h;
  bool bitFields = !m_.core && (h.biCompression == kBiBitfields || h.biCompression == kBiAlphaBitfields);
  ReportTitle(r, a_.rootName);
  if (m_.fh.bfSize != a_.fileSize) {
    r.Line("File size\t: %llu bytes (bfSize says %u)", static_cast<unsigned long long>(a_.fileSize), m_.fh.bfSize);
  } else {
    r.Line("File size\t: %u bytes", m_.fh.bfSize);
  }
  r.Line(m_.core ? "File type\t: OS/2 BITMAP format file" : "File type\t: Windows BITMAP format file");
  if (h.biCompression == kBiJpeg && !m_.core) {
    r.Line("Image type\t: JPEG image");
  } else if (h.biCompression == kBiPng && !m_.core) {
    r.Line("Image type\t: PNG image");
  } else if (bitFields) {
    r.Line(h.biCompression == kBiBitfields ? "Image type\t: %u bits/pixel RGB color (bit fields)"
                                           : "Image type\t: %u bits/pixel RGB color (alpha bit fields)",
           h.biBitCount);
    if (m_.palette > 0) r.Line("Pallette number\t: %u", m_.palette);
  } else {
    ReportImageType(r, h.biBitCount, m_.palette, grayscale);
  }
  r.Line("Image size \t: %d × %d", h.biWidth, h.biHeight);
  ReportCompression(r, m_.core ? kBiRgb : h.biCompression);
  if (h.biXPelsPerMeter != 0) r.Line("Resolution X\t: %d pixel/m", h.biXPelsPerMeter);
  if (h.biYPelsPerMeter != 0) r.Line("Resolution Y\t: %d pixel/m", h.biYPelsPerMeter);
}

}  // namespace

bool AnalyseBmp(hpi::Analysis& analysis, int level) { return BmpWalker(analysis, level).Run(); }

}  // namespace voltane
