// The byte range of a tree item, read back from its offset and size children.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace strataview {

struct ByteRange {
  std::uint64_t offset;
  std::uint64_t size;
};

struct ChildText {
  std::string_view text;
  int image;
};

// The number after the first "0x" or "0X": lower-case hex digits up to the first
// other character; nothing without a digit.
std::optional<std::uint64_t> HexNumberIn(std::string_view text);

// Only folder and tag items have a range: exactly one offset child and exactly
// one size child that each yield a number.
bool MayHaveRange(int itemImage);

// Reads an item's range from its children, given one at a time in order.
class RangeReadBack {
 public:
  void Add(const ChildText& child);
  std::optional<ByteRange> Result(int itemImage) const;

 private:
  std::optional<std::uint64_t> offset_, size_;
  int offsets_ = 0, sizes_ = 0;
};

}  // namespace strataview
