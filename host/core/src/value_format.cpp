#include "strataview/value_format.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace strataview {
namespace {

using hpi::RecordClass;

std::uint64_t LittleEndian(const std::uint8_t* bytes, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = width; i > 0; --i) value = value << 8 | bytes[i - 1];
  return value;
}

// The two lower-case hex digits of every byte value.
constexpr auto kHexPairs = [] {
  constexpr char kDigits[] = "0123456789abcdef";
  std::array<char, 512> pairs{};
  for (int b = 0; b < 256; ++b) {
    pairs[2 * b] = kDigits[b >> 4];
    pairs[2 * b + 1] = kDigits[b & 0xF];
  }
  return pairs;
}();

// "0x" and the value in lower-case hex, two digits per byte of width.
void AppendHex(std::string& out, std::uint64_t value, std::size_t width) {
  char text[2 + 16] = {'0', 'x'};
  for (std::size_t i = 0; i < width; ++i) {
    std::memcpy(text + 2 + 2 * (width - 1 - i), &kHexPairs[2 * ((value >> (8 * i)) & 0xFF)], 2);
  }
  out.append(text, 2 + 2 * width);
}

// "(" decimal ")".
template <typename Number>
void AppendDecimal(std::string& out, Number value) {
  char text[24];
  text[0] = '(';
  char* end = std::to_chars(text + 1, text + sizeof text - 1, value).ptr;
  *end++ = ')';
  out.append(text, end);
}

// A real in printf's %f form, which may run to over 300 digits.
void AppendReal(std::string& out, double value) {
  char text[512];
  int n = std::snprintf(text, sizeof text, "(%f)", value);
  out.append(text, static_cast<std::size_t>(n));
}

}  // namespace

bool FormatValue(RecordClass cls, std::size_t width, const std::uint8_t* bytes, std::string& out) {
  if (!hpi::IsValidNumeric(cls, width)) return false;
  std::uint64_t bits = LittleEndian(bytes, width);
  AppendHex(out, bits, width);
  switch (cls) {
    case RecordClass::Offset:
    case RecordClass::Hex:
    case RecordClass::LongHex: break;
    case RecordClass::Unsigned: AppendDecimal(out, bits); break;
    case RecordClass::Size:
      if (width == 8) {
        AppendDecimal(out, static_cast<std::int64_t>(bits));
      } else {
        AppendDecimal(out, bits);
      }
      break;
    case RecordClass::Signed: {
      // Widths 1, 2 and 4 are sign-extended; a 3-byte value is shown unsigned.
      std::int64_t number = static_cast<std::int64_t>(bits);
      if (width == 1) number = static_cast<std::int8_t>(bits);
      if (width == 2) number = static_cast<std::int16_t>(bits);
      if (width == 4) number = static_cast<std::int32_t>(bits);
      AppendDecimal(out, number);
      break;
    }
    case RecordClass::Real:
      if (width == 4) {
        float f;
        std::uint32_t b32 = static_cast<std::uint32_t>(bits);
        std::memcpy(&f, &b32, 4);
        AppendReal(out, static_cast<double>(f));
      } else {
        double d;
        std::memcpy(&d, &bits, 8);
        AppendReal(out, d);
      }
      break;
    case RecordClass::Long: AppendDecimal(out, static_cast<std::int64_t>(bits)); break;
    default: return false;
  }
  return true;
}

}  // namespace strataview
