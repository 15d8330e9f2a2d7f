#include "hpi/writer.h"

#include <cstdarg>
#include <cstdio>

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

}  // namespace

int Writer::Put(std::uint16_t tag, const void* payload, std::size_t length) {
  if (!ok_) return -1;
  if (stream_.WriteWord(tag) < 0 || (length > 0 && stream_.Write(static_cast<std::int32_t>(length), payload) < 0)) {
    ok_ = false;
    return -1;
  }
  return static_cast<int>(length + 2);
}

int Writer::TextRecord(RecordClass cls, int level, std::string_view text) {
  text = Cut(text);
  return Put(Tag(cls, level, text.size()), text.data(), text.size());
}

int Writer::WriteRootName(std::string_view text) { return TextRecord(RecordClass::Name, kRootLevel, text); }
int Writer::WriteName(std::string_view text, int level) { return TextRecord(RecordClass::Name, level & 0xF, text); }
int Writer::WriteComment(std::string_view text) { return TextRecord(RecordClass::Comment, kAttributeLevel, text); }
int Writer::WriteNote(std::string_view text) { return TextRecord(RecordClass::Note, kAttributeLevel, text); }
int Writer::WriteGroupEnd(int level) { return Put(Tag(RecordClass::GroupEnd, level & 0xF, 0), nullptr, 0); }

int Writer::WriteOffset(std::uint32_t offset) {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(offset >> 8),
                                 static_cast<std::uint8_t>(offset >> 16), static_cast<std::uint8_t>(offset >> 24)};
  return Put(Tag(RecordClass::Offset, kAttributeLevel, 4), bytes, 4);
}

int Writer::WriteSize(std::uint32_t size) {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                                 static_cast<std::uint8_t>(size >> 16), static_cast<std::uint8_t>(size >> 24)};
  return Put(Tag(RecordClass::Size, kAttributeLevel, 4), bytes, 4);
}

int Writer::WriteValue(std::uint32_t length, const void* value, ValueKind kind) {
  if (value == nullptr) return 0;
  std::size_t n = std::min<std::size_t>(length, kMaxPayload);
  return Put(Tag(ClassOf(kind), kAttributeLevel, n), value, n);
}

int Writer::WriteItem(std::string_view name, int level, std::uint32_t offset, std::uint32_t size, const void* value,
                      ValueKind kind) {
  int total = WriteName(name, level);
  total += WriteOffset(offset);
  total += WriteSize(size);
  if (value != nullptr) total += WriteValue(size, value, kind);
  return ok_ ? total : -1;
}

int Writer::IntegerItem(std::string_view name, int level, std::uint32_t offset, std::uint32_t width,
                        std::uint64_t value, ValueKind kind) {
  std::uint8_t bytes[8];
  for (std::uint32_t i = 0; i < width; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  return WriteItem(name, level, offset, width, bytes, kind);
}

int Writer::WriteU8Item(std::string_view name, int level, std::uint32_t offset, std::uint32_t value) {
  return IntegerItem(name, level, offset, 1, value, ValueKind::Unsigned);
}
int Writer::WriteU16Item(std::string_view name, int level, std::uint32_t offset, std::uint32_t value) {
  return IntegerItem(name, level, offset, 2, value, ValueKind::Unsigned);
}
int Writer::WriteU32Item(std::string_view name, int level, std::uint32_t offset, std::uint32_t value) {
  return IntegerItem(name, level, offset, 4, value, ValueKind::Unsigned);
}
int Writer::WriteS8Item(std::string_view name, int level, std::uint32_t offset, std::int32_t value) {
  return IntegerItem(name, level, offset, 1, static_cast<std::uint32_t>(value), ValueKind::Signed);
}
int Writer::WriteS16Item(std::string_view name, int level, std::uint32_t offset, std::int32_t value) {
  return IntegerItem(name, level, offset, 2, static_cast<std::uint32_t>(value), ValueKind::Signed);
}
int Writer::WriteS32Item(std::string_view name, int level, std::uint32_t offset, std::int32_t value) {
  return IntegerItem(name, level, offset, 4, static_cast<std::uint32_t>(value), ValueKind::Signed);
}
int Writer::WriteLongItem(std::string_view name, int level, std::uint32_t offset, std::uint64_t value) {
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
