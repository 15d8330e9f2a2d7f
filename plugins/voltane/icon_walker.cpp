// ICO and CUR: the icon directory, its entries, each image (a BITMAPINFOHEADER
// with palette, XOR and AND masks, or a PNG stream) and the file report.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bitmap_info.h"
#include "hpi/bytes.h"
#include "voltane.h"

namespace voltane {
namespace {

constexpr int F = hpi::kFieldLevel;
constexpr std::uint32_t kDirectorySize = 6;
constexpr std::uint32_t kEntrySize = 16;
constexpr std::uint32_t kCountOffset = 4;        // idCount
constexpr std::uint32_t kImageOffsetField = 12;  // dwImageOffset in an entry
constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kCursorType = 2;
constexpr std::int64_t kLargestBitmap = std::int64_t{1} << 48;  // larger than any file
constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G'};

// The names that differ between icons and cursors.
struct Vocabulary {
  const char* directory;
  const char* entry;
  const char* word1;  // wPlanes or wXHotspot
  const char* word2;  // wBitCount or wYHotspot
  const char* typeComment;
  const char* fileType;
  const char* imageWord;  // in the report
  bool hotspots;
};
constexpr Vocabulary kIcon{"ICONDIR", "ICONDIRENTRY", "wPlanes", "wBitCount", "icon", "ICON", "Icon", false};
constexpr Vocabulary kCursor{"CURSORDIR", "CURSORDIRENTRY", "wXHotspot", "wYHotspot",
                             "cursols",   "CURSOR",         "Cursor",    true};

struct Entry {
  std::uint8_t bWidth;
  std::uint8_t bHeight;
  std::uint8_t bColorCount;
  std::uint8_t bReserved;
  std::uint16_t word1;
  std::uint16_t word2;
  std::uint32_t dwBytesInRes;
  std::uint32_t dwImageOffset;
};

// What the report needs of each image.
struct ImageRecord {
  unsigned bitCount = 0;
  unsigned palette = 0;
  std::uint32_t compression = 0;
  bool grayscale = false;
  bool png = false;
};

// A width or height byte of 0 stands for 256 pixels.
unsigned Pixels(std::uint8_t size) { return size == 0 ? 256 : size; }

bool ValidColorCount(std::uint8_t count) { return count == 0 || count == 2 || count == 8 || count == 16; }

using hpi::Fail;

class IconWalker {
 public:
  IconWalker(hpi::Analysis& analysis, int level, std::uint16_t type, std::uint16_t count)
      : a_(analysis),
        out_(analysis.out),
        level_(level),
        type_(type),
        v_(type == kIconType ? kIcon : kCursor),
        count_(count) {}

  bool Run();

 private:
  bool Directory();
  bool Entries();
  bool Images();
  bool Image(int j);
  bool Mask(const char* name, std::uint64_t at, std::int64_t size);
  bool PngImage(int j);
  void Hole(const char* name, std::uint64_t to);
  std::uint32_t Clipped(std::uint64_t at, std::uint64_t size) const;
  void Report() const;

  hpi::Analysis& a_;
  hpi::Writer& out_;
  int level_;
  std::uint16_t type_;
  const Vocabulary& v_;
  std::uint16_t count_;
  std::vector<Entry> entries_;
  std::vector<ImageRecord> images_;
  std::uint64_t end_ = 0;  // the end of the last structure read
};

// The report is made after a failed image walk too.
bool IconWalker::Run() {
  if (!Directory() || !Entries()) return false;
  bool ok = Images();
  if (!out_.Ok()) return false;
  if (a_.report != nullptr) Report();
  return ok;
}

bool IconWalker::Directory() {
  out_.WriteItem(v_.directory, level_, 0, kDirectorySize + kEntrySize * count_);
  out_.WriteU16Item("idReserved", F, 0, 0);
  out_.WriteU16Item("idType", F, 2, type_);
  out_.WriteComment(v_.typeComment);
  out_.WriteU16Item("idCount", F, 4, count_);
  return out_.Ok();
}

bool IconWalker::Entries() {
  end_ = kDirectorySize + static_cast<std::uint64_t>(kEntrySize) * count_;
  if (end_ > a_.fileSize) return hpi::FailAt(hpi::kFileReadError, kCountOffset);
  entries_.reserve(count_);
  images_.resize(count_);
  for (std::uint32_t i = 0; i < count_; ++i) {
    std::uint8_t b[kEntrySize];
    if (hpi::ReadBlock(a_.file, b, sizeof b) != sizeof b) return Fail(hpi::kFileReadError);
    Entry e{b[0], b[1], b[2], b[3], hpi::LE16(b + 4), hpi::LE16(b + 6), hpi::LE32(b + 8), hpi::LE32(b + 12)};
    entries_.push_back(e);
    std::uint32_t at = kDirectorySize + kEntrySize * i;
    char name[32];
    std::snprintf(name, sizeof name, "%s[%u]", v_.entry, i);
    out_.WriteItem(name, level_ + 1, at, kEntrySize);
    out_.WriteU8Item("bWidth", F, at, e.bWidth);
    if (e.bWidth == 0) out_.WriteComment("256");
    out_.WriteU8Item("bHeight", F, at + 1, e.bHeight);
    if (e.bHeight == 0) out_.WriteComment("256");
    out_.WriteU8Item("bColorCount", F, at + 2, e.bColorCount);
    if (!ValidColorCount(e.bColorCount)) out_.WriteNote("not 0, 2, 8 or 16");
    out_.WriteU8Item("bReserved", F, at + 3, e.bReserved);
    if (e.bReserved != 0) out_.WriteNote("bReserved must be 0");
    out_.WriteU16Item(v_.word1, F, at + 4, e.word1);
    out_.WriteU16Item(v_.word2, F, at + 6, e.word2);
    out_.WriteU32Item("dwBytesInRes", F, at + 8, e.dwBytesInRes);
    out_.WriteU32Item("dwImageOffset", F, at + 12, e.dwImageOffset);
    if (!out_.Ok()) return false;
  }
  return true;
}

// Images come in directory order without overlapping; bytes between them and
// after the last are shown as their own ranges. A failed image fails the
// analysis but the walk goes on with the next one.
bool IconWalker::Images() {
  bool ok = true;
  for (int j = 0; j < count_; ++j) {
    std::uint32_t at = entries_[j].dwImageOffset;
    std::uint32_t field = kDirectorySize + kEntrySize * j + kImageOffsetField;
    if (end_ > at || at >= a_.fileSize) return hpi::FailAt(hpi::kWrongFormat, field);
    if (at > end_) Hole("Gap", at);
    if (!a_.file.Seek(at)) return Fail(hpi::kFileReadError);
    end_ = at;
    if (!Image(j)) ok = false;
    if (!out_.Ok()) return false;
  }
  if (ok && end_ < a_.fileSize) Hole("Padding", a_.fileSize);
  return ok;
}

void IconWalker::Hole(const char* name, std::uint64_t to) { out_.WriteItem(name, level_, end_, to - end_); }

// Bytes of a part that lie within the file; a part cut short is noted.
std::uint32_t IconWalker::Clipped(std::uint64_t at, std::uint64_t size) const {
  return static_cast<std::uint32_t>(at >= a_.fileSize ? 0 : std::min(size, a_.fileSize - at));
}

// The bitmap's own header decides its sizes; where the directory entry says
// otherwise, the image carries a note.
bool IconWalker::Image(int j) {
  const Entry& e = entries_[j];
  std::uint8_t b[kInfoHeaderSize];
  int got = hpi::ReadBlock(a_.file, b, sizeof b);
  if (got >= static_cast<int>(sizeof kPngSignature) && std::memcmp(b, kPngSignature, sizeof kPngSignature) == 0) {
    return PngImage(j);
  }
  if (got != static_cast<int>(sizeof b)) return Fail(hpi::kFileReadError);
  end_ += kInfoHeaderSize;

  InfoHeader h = ParseInfoHeader(b);
  if (h.biSize != kInfoHeaderSize || h.biWidth <= 0 || h.biHeight <= 0) {
    return hpi::FailAt(hpi::kWrongFormat, e.dwImageOffset);
  }
  std::int64_t width = h.biWidth;
  std::int64_t height = h.biHeight / 2;
  std::uint32_t palette = PaletteCount(h);
  std::int64_t xorSize = RowPaddedSize(h.biBitCount, width, height);
  std::int64_t andSize = RowPaddedSize(1, width, height);
  if (xorSize < 0 || xorSize > kLargestBitmap) return hpi::FailAt(hpi::kWrongFormat, e.dwImageOffset);
  std::int64_t size = kInfoHeaderSize + 4 * palette + xorSize + andSize;

  std::uint32_t at = e.dwImageOffset;
  std::uint64_t xorAt = static_cast<std::uint64_t>(at) + kInfoHeaderSize + 4 * palette;
  std::uint64_t andAt = xorAt + static_cast<std::uint64_t>(xorSize);
  char name[32];
  std::snprintf(name, sizeof name, "ICONIMAGE[%d]", j);
  out_.WriteItem(name, level_, at, Clipped(at, static_cast<std::uint64_t>(size)));
  if (width != Pixels(e.bWidth) || h.biHeight != 2 * static_cast<std::int64_t>(Pixels(e.bHeight))) {
    out_.Note("the entry says %u x %u; the header says %lld x %lld (biHeight %d)", Pixels(e.bWidth), Pixels(e.bHeight),
              static_cast<long long>(width), static_cast<long long>(height), h.biHeight);
  }
  if (size != e.dwBytesInRes) {
    out_.Note("dwBytesInRes is %u; header, palette and masks take %lld bytes", e.dwBytesInRes,
              static_cast<long long>(size));
  }
  out_.WriteItem("BITMAPINFOHEADER", level_ + 1, at, kInfoHeaderSize);
  WriteInfoHeaderFields(out_, h, at);
  std::uint32_t paletteAt = at + kInfoHeaderSize;
  if (palette > 0) out_.WriteItem("PALETTE ENTRY", level_ + 1, paletteAt, 4 * palette);
  if (!out_.Ok()) return false;
  PaletteResult colors = WritePalette(a_, "RGBQUAD[%d]", paletteAt, palette, true);
  if (!colors.ok) return false;
  out_.WriteGroupEnd(level_ + 1);
  images_[j] = {h.biBitCount, palette, h.biCompression, colors.grayscale, false};
  end_ = std::min(at + static_cast<std::uint64_t>(size), a_.fileSize);
  return Mask("icXOR(DIB image for XOR mask)", xorAt, xorSize) && Mask("icAND(DIB image for AND mask)", andAt, andSize);
}

// A mask bitmap; one that the file cuts short is shown with a note and fails the image.
bool IconWalker::Mask(const char* name, std::uint64_t at, std::int64_t size) {
  std::uint32_t shown = Clipped(at, static_cast<std::uint64_t>(size));
  out_.WriteItem(name, F, std::min(at, a_.fileSize), shown);
  if (shown == size) return true;
  out_.Note("%lld bytes; the file ends after %u", static_cast<long long>(size), shown);
  return hpi::FailAt(hpi::kWrongFormat, at);
}

// An image stored as a PNG stream (Windows Vista and later); its chunks are the
// PNG analyser's business.
bool IconWalker::PngImage(int j) {
  const Entry& e = entries_[j];
  char name[32];
  std::snprintf(name, sizeof name, "PNG image data[%d]", j);
  std::uint32_t shown = Clipped(e.dwImageOffset, e.dwBytesInRes);
  out_.WriteItem(name, level_, e.dwImageOffset, shown);
  end_ = static_cast<std::uint64_t>(e.dwImageOffset) + shown;
  images_[j].png = true;
  if (shown == e.dwBytesInRes) return true;
  out_.Note("dwBytesInRes is %u; the file ends after %u", e.dwBytesInRes, shown);
  return hpi::FailAt(hpi::kWrongFormat, e.dwImageOffset);
}

void IconWalker::Report() const {
  hpi::Report& r = *a_.report;
  ReportTitle(r, a_.rootName);
  r.Line("File size\t: %d bytes", static_cast<int>(a_.fileSize));
  r.Line("File type\t: Windows %s format file", v_.fileType);
  r.Line("%s number\t: %d", v_.imageWord, count_);
  for (int j = 0; j < count_; ++j) {
    const Entry& e = entries_[j];
    const ImageRecord& image = images_[j];
    r.Line("\t\t%s[%d]", v_.imageWord, j);
    if (image.png) {
      r.Line("Image type\t: PNG image");
    } else {
      ReportImageType(r, image.bitCount, image.palette, image.grayscale);
    }
    r.Line("Image size \t: %u × %u", Pixels(e.bWidth), Pixels(e.bHeight));
    if (image.png) {
      r.Line("Compression\t: PNG compression");
    } else {
      ReportCompression(r, image.compression);
    }
    if (v_.hotspots) {
      r.Line("Hotspot X\t\t: %d", e.word1);
      r.Line("Hotspot Y\t\t: %d", e.word2);
    }
  }
}

}  // namespace

bool AnalyseIcon(hpi::Analysis& a, int level) {
  // Entries and image headers nest one level below the given one, above the fields.
  if (level + 1 >= F) return Fail(kLevelTooDeep);
  std::uint8_t d[kDirectorySize];
  if (hpi::ReadBlock(a.file, d, sizeof d) != sizeof d) return Fail(hpi::kFileReadError);
  std::uint16_t type = hpi::LE16(d + 2);
  if (hpi::LE16(d) != 0 || (type != kIconType && type != kCursorType)) return Fail(hpi::kWrongFormat);
  IconWalker walker(a, level, type, hpi::LE16(d + 4));
  return walker.Run();
}

}  // namespace voltane
