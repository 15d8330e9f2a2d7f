#include "strataview/item_range.h"

#include "strataview/item_sink.h"

namespace strataview {

std::optional<std::uint64_t> HexNumberIn(std::string_view text) {
  std::size_t at = text.find("0x");
  std::size_t upper = text.find("0X");
  if (upper < at) at = upper;
  if (at == std::string_view::npos) return std::nullopt;
  std::uint64_t value = 0;
  std::size_t digits = 0;
  for (std::size_t i = at + 2; i < text.size(); ++i, ++digits) {
    char c = text[i];
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) break;
    value = value << 4 | static_cast<std::uint64_t>(d);
  }
  if (digits == 0) return std::nullopt;
  return value;
}

std::optional<ByteRange> ReadBackRange(int itemImage, std::span<const ChildText> children) {
  if (itemImage != kImageFolder && itemImage != kImageTag) return std::nullopt;
  std::optional<std::uint64_t> offset, size;
  int offsets = 0, sizes = 0;
  for (const ChildText& child : children) {
    if (child.image == kImageOffset) {
      ++offsets;
      offset = HexNumberIn(child.text);
    } else if (child.image == kImageSize) {
      ++sizes;
      size = HexNumberIn(child.text);
    }
  }
  if (offsets != 1 || sizes != 1 || !offset || !size) return std::nullopt;
  return ByteRange{*offset, *size};
}

}  // namespace strataview
