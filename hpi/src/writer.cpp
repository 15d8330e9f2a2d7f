#include "hpi/writer.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace hpi {
namespace {

RecordClass ClassOf(ValueKind kind) {
  switch (kind) {
    case ValueKind::Text: return RecordClass::Text;
    case ValueKind::Hex: return RecordClass::Hex;
    case ValueKind::Signed: return RecordClass::Signed;
    case ValueKind::Real: return RecordClass::Real;
    case ValueKind::Long: return RecordClass::Long;
    default: return RecordClass::Unsigned;
  }
}

std::string_view Cut(std::string_view text) { return text.substr(0, std::min(text.size(), kMaxPayload)); }

// Records gathered in memory, so that an item reaches the stream in one write.
class Records {
 public:
  void Add(std::uint16_t tag, const void* payload, std::size_t length) {
    bytes_[size_] = static_cast<std::uint8_t>(tag);
    bytes_[size_ + 1] = static_cast<std::uint8_t>(tag >> 8);
    if (length > 0) std::memcpy(bytes_ + size_ + 2, payload, length);
    size_ += 2 + length;
  }
  void AddText(RecordClass cls, int level, std::string_view text) {
    text = Cut(text);
    Add(Tag(cls, level, text.size()), text.data(), text.size());
  }
  // An offset or size: 4 bytes, or 8 past 4 GiB.
  void AddNumber(RecordClass cls, std::uint64_t value) {
    std::size_t width = value > 0xFFFFFFFFu ? 8 : 4;
    std::uint8_t bytes[8];
    for (std::size_t i = 0; i < width; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    Add(Tag(cls, kAttributeLevel, width), bytes, width);
  }
  void AddValue(std::uint64_t length, const void* value, ValueKind kind) {
    std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(length, kMaxPayload));
    Add(Tag(ClassOf(kind), kAttributeLevel, n), value, n);
  }
  const std::uint8_t* Bytes() const { return bytes_; }
  std::size_t Size() const { return size_; }

 private:
  // The largest item: a name and a value of the longest payload, an offset and a size.
  std::uint8_t bytes_[2 * (2 + kMaxPayload) + 2 * (2 + 8)];
  std::size_t size_ = 0;
};

}  // namespace

int Writer::Put(const std::uint8_t* bytes, std::size_t length) {
  if (!ok_) return -1;
  if (stream_.Write(static_cast<std::int32_t>(length), bytes) < 0) {
    ok_ = false;
    return -1;
  }
  complete_ = stream_.BytesWritten();
  return static_cast<int>(length);
}

void Writer::Opened(int level) {
  lastGroup_ = level > kRootLevel && level < kFieldLevel ? level : -1;
  if (level >= kFieldLevel) return;
  for (int l = std::max(level, 1); l < kFieldLevel; ++l) groups_[l].open = false;
  if (lastGroup_ > 0) groups_[lastGroup_] = OpenGroup{true, 0, ~std::uint64_t{0}};
}

void Writer::Ranged(RecordClass cls, std::uint64_t value) {
  if (lastGroup_ <= 0) return;
  OpenGroup& group = groups_[lastGroup_];
  if (cls == RecordClass::Offset) group.begin = value;
  if (cls == RecordClass::Size) {
    group.end = group.begin + value;
    lastGroup_ = -1;
  }
}

int Writer::TextRecord(RecordClass cls, int level, std::string_view text) {
  Records records;
  records.AddText(cls, level, text);
  return Put(records.Bytes(), records.Size());
}

int Writer::WriteRootName(std::string_view text) {
  Opened(kRootLevel);
  return TextRecord(RecordClass::Name, kRootLevel, text);
}
int Writer::WriteName(std::string_view text, int level) {
  Opened(level & 0xF);
  return TextRecord(RecordClass::Name, level & 0xF, text);
}
int Writer::WriteComment(std::string_view text) { return TextRecord(RecordClass::Comment, kAttributeLevel, text); }
int Writer::WriteNote(std::string_view text) { return TextRecord(RecordClass::Note, kAttributeLevel, text); }
int Writer::WriteGroupEnd(int level) {
  for (int l = std::max(level & 0xF, 1); l < kFieldLevel; ++l) groups_[l].open = false;
  Records records;
  records.Add(Tag(RecordClass::GroupEnd, level & 0xF, 0), nullptr, 0);
  return Put(records.Bytes(), records.Size());
}

int Writer::WriteFault(std::string_view message, std::uint64_t offset, std::uint64_t size) {
  Records records;
  for (int l = 1; l < kFieldLevel; ++l) {
    const OpenGroup& group = groups_[l];
    if (group.open && (offset < group.begin || offset >= group.end)) {
      records.Add(Tag(RecordClass::GroupEnd, l, 0), nullptr, 0);
      for (int deeper = l; deeper < kFieldLevel; ++deeper) groups_[deeper].open = false;
      break;
    }
  }
  records.AddText(RecordClass::Name, kFaultLevel, message);
  records.AddNumber(RecordClass::Offset, offset);
  records.AddNumber(RecordClass::Size, size);
  return Put(records.Bytes(), records.Size());
}

int Writer::NumberRecord(RecordClass cls, std::uint64_t value) {
  Ranged(cls, value);
  Records records;
  records.AddNumber(cls, value);
  return Put(records.Bytes(), records.Size());
}

int Writer::WriteOffset(std::uint64_t offset) { return NumberRecord(RecordClass::Offset, offset); }
int Writer::WriteSize(std::uint64_t size) { return NumberRecord(RecordClass::Size, size); }

int Writer::WriteValue(std::uint32_t length, const void* value, ValueKind kind) {
  if (value == nullptr) return 0;
  Records records;
  records.AddValue(length, value, kind);
  return Put(records.Bytes(), records.Size());
}

int Writer::WriteItem(std::string_view name, int level, std::uint64_t offset, std::uint64_t size, const void* value,
                      ValueKind kind) {
  Opened(level & 0xF);
  Ranged(RecordClass::Offset, offset);
  Ranged(RecordClass::Size, size);
  Records records;
  records.AddText(RecordClass::Name, level & 0xF, name);
  records.AddNumber(RecordClass::Offset, offset);
  records.AddNumber(RecordClass::Size, size);
  if (value != nullptr) records.AddValue(size, value, kind);
  return Put(records.Bytes(), records.Size());
}

int Writer::IntegerItem(std::string_view name, int level, std::uint64_t offset, std::uint32_t width,
                        std::uint64_t value, ValueKind kind) {
  std::uint8_t bytes[8];
  for (std::uint32_t i = 0; i < width; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  return WriteItem(name, level, offset, width, bytes, kind);
}

int Writer::WriteU8Item(std::string_view name, int level, std::uint64_t offset, std::uint32_t value) {
  return IntegerItem(name, level, offset, 1, value, ValueKind::Unsigned);
}
int Writer::WriteU16Item(std::string_view name, int level, std::uint64_t offset, std::uint32_t value) {
  return IntegerItem(name, level, offset, 2, value, ValueKind::Unsigned);
}
int Writer::WriteU32Item(std::string_view name, int level, std::uint64_t offset, std::uint32_t value) {
  return IntegerItem(name, level, offset, 4, value, ValueKind::Unsigned);
}
int Writer::WriteS8Item(std::string_view name, int level, std::uint64_t offset, std::int32_t value) {
  return IntegerItem(name, level, offset, 1, static_cast<std::uint32_t>(value), ValueKind::Signed);
}
int Writer::WriteS16Item(std::string_view name, int level, std::uint64_t offset, std::int32_t value) {
  return IntegerItem(name, level, offset, 2, static_cast<std::uint32_t>(value), ValueKind::Signed);
}
int Writer::WriteS32Item(std::string_view name, int level, std::uint64_t offset, std::int32_t value) {
  return IntegerItem(name, level, offset, 4, static_cast<std::uint32_t>(value), ValueKind::Signed);
}
int Writer::WriteLongItem(std::string_view name, int level, std::uint64_t offset, std::uint64_t value) {
  return IntegerItem(name, level, offset, 8, value, ValueKind::Long);
}

int Writer::Comment(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int result = Formatted(RecordClass::Comment, format, args);
  va_end(args);
  return result;
}

int Writer::Note(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int result = Formatted(RecordClass::Note, format, args);
  va_end(args);
  return result;
}

int Writer::Formatted(RecordClass cls, const char* format, va_list args) {
  char text[kMaxPayload + 1];
  std::vsnprintf(text, sizeof text, format, args);
  return TextRecord(cls, kAttributeLevel, text);
}

}  // namespace hpi
