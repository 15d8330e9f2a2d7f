#include "record_cursor.h"

namespace cli {
namespace {

using hpi::RecordClass;

std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

std::uint64_t Record::Bits() const {
  std::uint64_t value = 0;
  for (std::size_t i = payload.size(); i > 0; --i) value = value << 8 | static_cast<std::uint8_t>(payload[i - 1]);
  return value;
}

std::optional<std::string_view> RecordCursor::Take(std::size_t n) {
  if (length_ - pos_ < n) return std::nullopt;
  std::string_view bytes(reinterpret_cast<const char*>(data_ + pos_), n);
  pos_ += static_cast<std::uint32_t>(n);
  return bytes;
}

std::optional<Record> RecordCursor::Next() {
  while (length_ - pos_ >= 2) {
    std::uint16_t tag = static_cast<std::uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    RecordClass cls = hpi::TagClass(tag);
    if (cls == RecordClass::GroupEnd) continue;
    if (!hpi::IsTextClass(cls) && !hpi::IsNumericClass(cls)) return std::nullopt;
    std::optional<std::string_view> payload = Take(hpi::TagLength(tag));
    if (!payload) return std::nullopt;
    Record record{cls, hpi::TagLevel(tag), hpi::IsTextClass(cls) ? UpToNul(*payload) : *payload, {}};
    if (length_ - pos_ >= 2) {
      std::uint16_t next = static_cast<std::uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
      if (hpi::TagClass(next) == RecordClass::Comment) {
        pos_ += 2;
        if (std::optional<std::string_view> comment = Take(hpi::TagLength(next))) record.comment = UpToNul(*comment);
      }
    }
    return record;
  }
  return std::nullopt;
}

}  // namespace cli
