#include "ifd_walker.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <map>
#include <string_view>
#include <vector>

#include "field_types.h"
#include "jpeg_walker.h"
#include "messages.h"
#include "tag_names.h"

namespace tiffjpeg {
namespace {

constexpr int kField = hpi::kFieldLevel;
constexpr std::uint32_t kEntrySize = 12;
constexpr int kMaxIfds = 65536;
constexpr std::uint32_t kNotedElements = 3;
constexpr std::size_t kNotedText = 255;
constexpr std::uint32_t kListedPictures = 64;

enum Tag : std::uint16_t {
  kJpegInterchangeFormat = 513,
  kJpegInterchangeFormatLength = 514,
  kExifIfdPointer = 34665,
  kGpsInfoIfdPointer = 34853,
  kInteroperabilityIfdPointer = 40965,
  kMpEntry = 0xB002,
};

// The tags whose inline value is an address inside a TIFF structure embedded
// in another file get a comment with the absolute address.
struct AddressComment {
  std::uint16_t tag;
  const char* format;
};
constexpr AddressComment kAddressComments[] = {
    {kJpegInterchangeFormat, "※Thumbnail Jpeg SOI address(+0x%" PRIx64 ")=0x%08" PRIx64},
    {kExifIfdPointer, "※ExifIFD address(+0x%" PRIx64 ")=0x%08" PRIx64},
    {kGpsInfoIfdPointer, "※GPSInfoIFD address(+0x%" PRIx64 ")=0x%08" PRIx64},
    {kInteroperabilityIfdPointer, "※InteroperabilityIFD address(+0x%" PRIx64 ")=0x%08" PRIx64},
};

std::uint32_t Off(std::int64_t position) { return static_cast<std::uint32_t>(position); }

std::array<std::uint8_t, 4> LittleEndian(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}

// A reader's result: a read error is code 3, an early end the given code.
bool ReadOk(int got, int width, int shortCode) {
  if (got == width) return true;
  return TiffFail(got < 0 ? hpi::kStreamError : shortCode);
}

// The tags of one directory met so far.
struct TagOrder {
  std::vector<bool> seen = std::vector<bool>(65536);
  std::uint16_t previous = 0;
  bool any = false;
};

struct Pointer {
  std::int64_t value = 0;
  bool set = false;
  std::int64_t field = 0;  // where the entry's value field lies
};

class IfdWalker {
 public:
  IfdWalker(hpi::BinaryFile& file, hpi::Writer& out, const Flavour& flavour, std::int64_t base, std::int64_t end,
            int level, TiffKind kind)
      : file_(file), out_(out), flavour_(flavour), base_(base), end_(end), level_(level), kind_(kind) {}

  bool Run() {
    std::int64_t length = file_.Length();
    if (length < 0) return TiffFail(hpi::kFileReadError);
    end_ = std::min(end_, length);
    if (!Seek(base_) || !WalkHeader() || !WalkChain()) return false;
    return WalkPointedIfd(exif_, "ExifIFD", IfdKind::Exif) && WalkPointedIfd(gps_, "GpsIFD", IfdKind::Gps) &&
           WalkPointedIfd(interoperability_, "InteroperabilityIFD", IfdKind::Interoperability) && WalkThumbnail() &&
           out_.Ok();
  }

 private:
  enum class IfdResult { Failed, Walked, Overlaps };

  // IFD 0, IFD 1, ... up to a next offset of 0 (for multi-picture data, the
  // index directory and the attribute directory it links to).
  bool WalkChain() {
    IfdKind kind = kind_ == TiffKind::MultiPicture ? IfdKind::MultiPicture : IfdKind::Image;
    for (int n = 0;; ++n) {
      char numbered[24];
      std::snprintf(numbered, sizeof numbered, "IFD %d", n);
      std::string_view name = numbered;
      if (kind == IfdKind::MultiPicture) name = n == 0 ? "MP Index IFD" : "MP Attribute IFD";
      Pointer next;
      IfdResult result = WalkIfd(name, kind, next);
      if (result == IfdResult::Failed) return false;
      if (result == IfdResult::Overlaps || !next.set) return true;
      if (n + 1 == kMaxIfds) return out_.Comment("The chain goes on beyond %d IFDs: not followed", kMaxIfds) > 0;
      if (!SeekDirectory(next)) return false;
    }
  }

  bool Seek(std::int64_t position) { return file_.Seek(position) || TiffFail(hpi::kFileReadError); }

  // A directory offset past the end of the data is a fault of the field that holds it.
  bool SeekDirectory(const Pointer& directory) {
    if (directory.value >= end_) return TiffFailAt(hpi::kWrongFormat, directory.field);
    return Seek(directory.value);
  }

  int DirectoryLevel() const { return level_ + 1; }
  int EntryLevel() const { return level_ + 2; }

  bool WalkHeader() {
    out_.WriteItem("IFH(Image File Header)", level_, Off(base_), 8);
    std::uint8_t mark[2];
    int got = hpi::ReadBlock(file_, mark, 2);
    if (got != 2) return TiffFail(got < 0 ? static_cast<int>(hpi::kFileReadError) : kNotTiff);
    if (mark[0] == 'I' && mark[1] == 'I') {
      order_ = &kLittleEndian;
    } else if (mark[0] == 'M' && mark[1] == 'M') {
      order_ = &kBigEndian;
    } else {
      return TiffFail(kWrongHeader);
    }
    out_.WriteItem("Byte Order", kField, Off(base_), 2, mark, hpi::ValueKind::Unsigned);
    std::uint16_t version = 0;
    if (!ReadOk(order_->read16(file_, version), 2, kWrongHeader)) return false;
    if (version != 42) return TiffFail(kWrongHeader);
    out_.WriteU16Item("Version", kField, Off(base_ + 2), version);
    std::uint32_t first = 0;
    if (!ReadOk(order_->read32(file_, first), 4, kWrongHeader)) return false;
    out_.WriteU32Item("IFD Ofset", kField, Off(base_ + 4), first);
    return SeekDirectory({base_ + first, true, base_ + 4});
  }

  // Directories never share bytes; one that does (a chain looping back, a
  // pointer to a directory already walked) is shown but not walked again.
  bool Overlaps(std::int64_t start, std::int64_t end) const {
    auto after = walked_.lower_bound(start);
    if (after != walked_.end() && after->first < end) return true;
    return after != walked_.begin() && std::prev(after)->second > start;
  }

  // next: the next directory (not set at the chain's end) and where its offset is stored.
  IfdResult WalkIfd(std::string_view name, IfdKind kind, Pointer& next) {
    std::int64_t at = file_.Tell();
    std::uint16_t count = 0;
    if (!ReadOk(order_->read16(file_, count), 2, hpi::kWrongFormat)) return IfdResult::Failed;
    std::uint32_t size = kEntrySize * count + 6;
    out_.WriteItem(name, DirectoryLevel(), Off(at), size);
    if (Overlaps(at, at + size)) {
      out_.WriteComment("Overlaps a directory already shown: not walked again");
      return IfdResult::Overlaps;
    }
    if (at + size > end_) {  // entries or next offset cut short by the end of the data
      TiffFail(hpi::kWrongFormat);
      return IfdResult::Failed;
    }
    walked_[at] = at + size;
    out_.WriteU16Item("IFD Entry Count", kField, Off(at), count);
    TagOrder order;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (!WalkIfdEntry(kind, order)) return IfdResult::Failed;
    }
    std::int64_t nextAt = file_.Tell();
    std::uint32_t offset = 0;
    if (!ReadOk(order_->read32(file_, offset), 4, hpi::kWrongFormat)) return IfdResult::Failed;
    out_.WriteU32Item(" Ofset of Next IFD", EntryLevel(), Off(nextAt), offset);
    next = {base_ + offset, offset != 0, nextAt};
    return out_.Ok() ? IfdResult::Walked : IfdResult::Failed;
  }

  bool WalkIfdEntry(IfdKind kind, TagOrder& order) {
    std::int64_t entry = file_.Tell();
    std::uint16_t tag = 0;
    if (!ReadOk(order_->read16(file_, tag), 2, hpi::kWrongFormat)) return false;
    out_.WriteItem(TagName(tag, kind, flavour_), EntryLevel(), Off(entry), kEntrySize);
    NoteTagOrder(order, tag);
    out_.WriteU16Item("Tag", kField, Off(entry), tag);
    std::uint16_t typeCode = 0;
    if (!ReadOk(order_->read16(file_, typeCode), 2, hpi::kWrongFormat)) return false;
    out_.WriteU16Item("Type", kField, Off(entry + 2), typeCode);
    const FieldType* type = FieldTypeOf(typeCode);
    if (type != nullptr) {
      out_.WriteComment(type->name);
    } else {
      out_.WriteNote("Unknown field type: the value field is shown as its bytes");
    }
    std::uint32_t count = 0;
    if (!ReadOk(order_->read32(file_, count), 4, hpi::kWrongFormat)) return false;
    out_.WriteU32Item("Count", kField, Off(entry + 4), count);
    if (type == nullptr) return WriteUnknownTypeValue(entry);
    if (static_cast<std::uint64_t>(type->unit) * count <= 4) {
      return WriteInlineValues(tag, *type, count, entry) && Seek(entry + kEntrySize);
    }
    std::uint32_t offset = 0;
    if (!ReadOk(order_->read32(file_, offset), 4, hpi::kWrongFormat)) return false;
    auto stored = LittleEndian(offset);
    out_.WriteItem("Offset", kField, Off(entry + 8), 4, stored.data(), hpi::ValueKind::Hex);
    if (base_ != 0) {
      out_.Comment("※real offset(+0x%" PRIx64 ")=0x%08" PRIx64, static_cast<std::uint64_t>(base_),
                   static_cast<std::uint64_t>(base_ + offset));
    }
    if (!ShowValuesAtOffset(*type, typeCode, count, base_ + offset)) return false;
    if (kind == IfdKind::MultiPicture && tag == kMpEntry && !ListPictures(count, base_ + offset)) return false;
    RegisterPointerTag(tag, offset, entry);
    return true;
  }

  // Tags should come in ascending order, each once; readers take the entries
  // as they stand, so a tag out of place is a note on its entry.
  void NoteTagOrder(TagOrder& order, std::uint16_t tag) {
    if (order.seen[tag]) {
      out_.Note("Tag %u appears a second time in this directory", tag);
    } else if (order.any && tag < order.previous) {
      out_.Note("Tag %u comes after tag %u: the tags are not in ascending order", tag, order.previous);
    }
    order.seen[tag] = true;
    order.previous = tag;
    order.any = true;
  }

  // A type readers do not know leaves the size of the value unknown: the
  // entry's value field is shown as its bytes.
  bool WriteUnknownTypeValue(std::int64_t entry) {
    std::uint8_t field[4];
    int got = hpi::ReadBlock(file_, field, 4);
    if (!ReadOk(got, 4, hpi::kWrongFormat)) return false;
    return out_.WriteItem("Value", kField, Off(entry + 8), 4, field, hpi::ValueKind::Hex) > 0;
  }

  // Values that fit in the entry's 4-byte field, element by element.
  bool WriteInlineValues(std::uint16_t tag, const FieldType& type, std::uint32_t count, std::int64_t entry) {
    out_.WriteName("Value", kField);
    out_.WriteOffset(Off(entry + 8));
    out_.WriteSize(4);
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
      if (!ReadElement(type.unit, value)) return false;
      auto bytes = LittleEndian(value);
      out_.WriteValue(type.unit, bytes.data(), type.inlineKind);
      if (!CommentValueName(tag, value)) return false;
    }
    if (type.unit == 4 && count == 1) RegisterPointerTag(tag, value, entry);
    return true;
  }

  bool ReadElement(std::uint32_t unit, std::uint32_t& value) {
    if (unit == 1) {
      std::uint8_t b = 0;
      int got = hpi::ReadByte(file_, b);
      value = b;
      return ReadOk(got, 1, hpi::kWrongFormat);
    }
    if (unit == 2) {
      std::uint16_t v = 0;
      int got = order_->read16(file_, v);
      value = v;
      return ReadOk(got, 2, hpi::kWrongFormat);
    }
    return ReadOk(order_->read32(file_, value), 4, hpi::kWrongFormat);
  }

  bool CommentValueName(std::uint16_t tag, std::uint32_t value) {
    if (base_ != 0) {
      for (const AddressComment& row : kAddressComments) {
        if (row.tag == tag) {
          return out_.Comment(row.format, static_cast<std::uint64_t>(base_),
                              static_cast<std::uint64_t>(base_ + value)) > 0;
        }
      }
    }
    const char* name = ValueName(tag, value);
    return name == nullptr || out_.WriteComment(name) > 0;
  }

  // Bytes of [position, position + size) that lie within the data.
  std::uint64_t BytesInside(std::int64_t position, std::uint64_t size) const {
    return position >= end_ ? 0 : std::min<std::uint64_t>(size, static_cast<std::uint64_t>(end_ - position));
  }

  // Notes with the first elements of a value stored elsewhere (the first 255
  // characters of a text), as far as they lie within the data; a value that
  // does not is noted and the walk goes on. The file is put back where it was.
  bool ShowValuesAtOffset(const FieldType& type, std::uint16_t typeCode, std::uint32_t count, std::int64_t position) {
    std::uint64_t size = static_cast<std::uint64_t>(type.unit) * count;
    std::uint64_t inside = BytesInside(position, size);
    if (inside == 0) return out_.WriteNote("The value lies outside the data: not shown") > 0;
    std::int64_t back = file_.Tell();
    if (!Seek(position)) return false;
    std::uint64_t shown = 0;
    if (typeCode == kAscii) {
      std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(inside, kNotedText));
      char text[kNotedText + 1];
      int got = hpi::ReadBlock(file_, text, n);
      if (got != static_cast<int>(n)) return Seek(back) && ReadOk(got, static_cast<int>(n), hpi::kWrongFormat);
      out_.WriteNote(std::string_view(text, strnlen(text, n)));
    } else {
      shown = std::min<std::uint64_t>(kNotedElements, inside / type.unit);
      for (std::uint64_t i = 0; i < shown; ++i) {
        char text[320];
        int state = type.note(file_, *order_, text, sizeof text);
        if (state != 1) return Seek(back) && TiffFail(state < 0 ? hpi::kStreamError : hpi::kWrongFormat);
        out_.WriteNote(text);
      }
    }
    if (!Seek(back)) return false;
    if (typeCode != kAscii && count > shown) out_.WriteNote("     ・・・");
    if (inside < size) {
      out_.Note("The value runs past the end of the data: %" PRIu64 " of its %" PRIu64 " bytes are there", inside,
                size);
    }
    return true;
  }

  // The multi-picture index: 16 bytes per image (attribute, size, offset from
  // the MP header or 0 for the first image, two dependent image entries).
  bool ListPictures(std::uint32_t count, std::int64_t position) {
    std::uint64_t n = std::min<std::uint64_t>({count / 16, kListedPictures, BytesInside(position, count) / 16});
    if (n == 0) return true;
    std::int64_t back = file_.Tell();
    if (!Seek(position)) return false;
    for (std::uint32_t i = 0; i < n; ++i) {
      std::uint32_t attribute = 0;
      std::uint32_t size = 0;
      std::uint32_t offset = 0;
      std::uint32_t dependents = 0;
      if (!ReadElement(4, attribute) || !ReadElement(4, size) || !ReadElement(4, offset) ||
          !ReadElement(4, dependents)) {
        return false;
      }
      if (offset == 0) {
        out_.Note("MP Entry %u: attribute 0x%08x, size %u, the file's first image", i + 1, attribute, size);
      } else {
        out_.Note("MP Entry %u: attribute 0x%08x, size %u, offset 0x%08x (file offset 0x%08" PRIx64 ")", i + 1,
                  attribute, size, offset, static_cast<std::uint64_t>(base_ + offset));
      }
    }
    return Seek(back);
  }

  // A later entry with the same tag replaces an earlier one.
  void RegisterPointerTag(std::uint16_t tag, std::uint32_t value, std::int64_t entry) {
    std::int64_t field = entry + 8;
    switch (tag) {
      case kJpegInterchangeFormat: thumbnailOffset_ = {base_ + value, true, field}; break;
      case kJpegInterchangeFormatLength: thumbnailLength_ = {value, true, field}; break;
      case kExifIfdPointer: exif_ = {base_ + value, true, field}; break;
      case kGpsInfoIfdPointer: gps_ = {base_ + value, true, field}; break;
      case kInteroperabilityIfdPointer: interoperability_ = {base_ + value, true, field}; break;
      default: break;
    }
  }

  // A directory a pointer tag names: walked once, its next-IFD offset not followed.
  bool WalkPointedIfd(const Pointer& pointer, std::string_view name, IfdKind kind) {
    if (!pointer.set) return true;
    Pointer next;
    return SeekDirectory(pointer) && WalkIfd(name, kind, next) != IfdResult::Failed;
  }

  // The JPEG stream of tags 513/514: its range, then a JPEG walk whose fault
  // stays inside the range as a warning.
  bool WalkThumbnail() {
    if (!thumbnailOffset_.set) return true;
    if (!thumbnailLength_.set) return TiffFailAt(hpi::kWrongFormat, thumbnailOffset_.field);
    std::int64_t start = thumbnailOffset_.value;
    std::int64_t end = start + thumbnailLength_.value;
    out_.WriteItem(flavour_.thumbnailName, DirectoryLevel(), Off(start), Off(thumbnailLength_.value));
    if (EntryLevel() > kMaxJpegLevel) return out_.WriteComment("Nested too deeply: not analysed") > 0;
    if (end > end_) out_.WriteComment("Runs past the end of the data");
    if (!JpegWalker(file_, out_, flavour_).WalkJpeg(start, std::min(end, end_), EntryLevel())) {
      return WriteWarning(file_, out_);
    }
    return out_.Ok();
  }

  hpi::BinaryFile& file_;
  hpi::Writer& out_;
  const Flavour& flavour_;
  const std::int64_t base_;
  std::int64_t end_;
  const int level_;
  const TiffKind kind_;
  const ByteOrder* order_ = &kLittleEndian;
  std::map<std::int64_t, std::int64_t> walked_;  // directory start -> end
  Pointer thumbnailOffset_;
  Pointer thumbnailLength_;
  Pointer exif_;
  Pointer gps_;
  Pointer interoperability_;
};

}  // namespace

bool IsTiffHeader(const std::uint8_t* head) {
  return (head[0] == 'I' && head[1] == 'I' && head[2] == 42 && head[3] == 0) ||
         (head[0] == 'M' && head[1] == 'M' && head[2] == 0 && head[3] == 42);
}

bool AnalyzeTiff(hpi::BinaryFile& file, hpi::Writer& out, const Flavour& flavour, std::int64_t base, std::int64_t end,
                 int level, TiffKind kind) {
  if (!file.IsOpen() || level < 1 || level > kMaxTiffLevel) return TiffFail(hpi::kWrongArgument);
  return IfdWalker(file, out, flavour, base, end, level, kind).Run();
}

}  // namespace tiffjpeg
