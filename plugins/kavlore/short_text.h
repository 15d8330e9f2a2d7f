// Short texts built on the stack without printf: indexed names and the comments
// of time stamps and versions.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kavlore {

class ShortText {
 public:
  static constexpr std::size_t kCapacity = 96;

  ShortText() = default;
  explicit ShortText(std::string_view text) { Append(text); }

  // Appends what fits; the rest of a longer text is dropped.
  ShortText& Append(std::string_view text) {
    std::size_t n = std::min(text.size(), kCapacity - size_);
    if (n > 0) std::memcpy(text_ + size_, text.data(), n);
    size_ += n;
    return *this;
  }
  ShortText& Append(char c) {
    if (size_ < kCapacity) text_[size_++] = c;
    return *this;
  }
  // A decimal number, filled on the left to at least width characters.
  ShortText& Number(std::uint64_t value, std::size_t width = 0, char fill = '0') {
    char digits[20];  // lowest first
    std::size_t count = 0;
    do {
      digits[count++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    for (std::size_t i = count; i < width; ++i) Append(fill);
    while (count > 0) Append(digits[--count]);
    return *this;
  }

  operator std::string_view() const { return {text_, size_}; }

 private:
  char text_[kCapacity];
  std::size_t size_ = 0;
};

}  // namespace kavlore
