#include "strataview/item_range.h"

#include "strataview/item_sink.h"

namespace strataview {

std::optional<std::uint64_t> HexNumberIn(std::string_view text) {
  std::size_t at = 0;
  while (at + 1 < text.size() && !(text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X'))) ++at;
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

bool MayHaveRange(int itemImage) {
  return itemImage == kImageFolder || itemImage == kImageTag || itemImage == kImageFault;
}

void RangeReadBack::Add(const ChildText& child) {
  if (child.image == kImageOffset) {
    ++offsets_;
    offset_ = HexNumberIn(child.text);
  } else if (child.image == kImageSize) {
    ++sizes_;
    size_ = HexNumberIn(child.text);
  }
}

std::optional<ByteRange> RangeReadBack::Result(int itemImage) const {
  if (!MayHaveRange(itemImage) || offsets_ != 1 || sizes_ != 1 || !offset_ || !size_) return std::nullopt;
  return ByteRange{*offset_, *size_};
}

}  // namespace strataview
