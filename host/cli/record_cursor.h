// Walks an analysed-data stream's records in the order the stream reader turns
// them into items, so that a sink can see each item's record class and raw value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "hpi/hpi.h"

namespace cli {

struct Record {
  hpi::RecordClass cls;
  int level;
  std::string_view payload;    // a text up to its first NUL, or a value's bytes
  std::string_view comment;    // the comment record that follows, up to its first NUL
  std::uint64_t Bits() const;  // a value's bytes, little-endian
};

class RecordCursor {
 public:
  RecordCursor(std::uint32_t length, const std::uint8_t* stream) : data_(stream), length_(length) {}
  // The next record that makes an item; nothing at a stop, a fault or the end.
  std::optional<Record> Next();

 private:
  std::optional<std::string_view> Take(std::size_t n);

  const std::uint8_t* data_;
  std::uint32_t length_;
  std::uint32_t pos_ = 0;
};

}  // namespace cli
