#include "strataview/value_format.h"

#include <cinttypes>
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

std::string Print(const char* format, auto... args) {
  char text[512];  // a double shown with %f may run to 300 digits
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

// Hex digits by width: 1 → 2, 2 → 4, 3 → 6, 4 → 8, 8 → 16.
int Digits(std::size_t width) { return static_cast<int>(width * 2); }

}  // namespace

std::optional<std::string> FormatValue(RecordClass cls, std::size_t width, const std::uint8_t* bytes) {
  if (!hpi::IsValidNumeric(cls, width)) return std::nullopt;
  std::uint64_t bits = LittleEndian(bytes, width);
  int digits = Digits(width);
  switch (cls) {
    case RecordClass::Offset:
    case RecordClass::Hex:
    case RecordClass::LongHex: return Print("0x%0*" PRIx64, digits, bits);
    case RecordClass::Unsigned: return Print("0x%0*" PRIx64 "(%" PRIu64 ")", digits, bits, bits);
    case RecordClass::Size:
      if (width == 8) return Print("0x%016" PRIx64 "(%" PRId64 ")", bits, static_cast<std::int64_t>(bits));
      return Print("0x%0*" PRIx64 "(%" PRIu64 ")", digits, bits, bits);
    case RecordClass::Signed: {
      // Widths 1, 2 and 4 are sign-extended; a 3-byte value is shown unsigned.
      std::int64_t number = static_cast<std::int64_t>(bits);
      if (width == 1) number = static_cast<std::int8_t>(bits);
      if (width == 2) number = static_cast<std::int16_t>(bits);
      if (width == 4) number = static_cast<std::int32_t>(bits);
      return Print("0x%0*" PRIx64 "(%" PRId64 ")", digits, bits, number);
    }
    case RecordClass::Real: {
      if (width == 4) {
        float f;
        std::uint32_t b32 = static_cast<std::uint32_t>(bits);
        std::memcpy(&f, &b32, 4);
        return Print("0x%08" PRIx32 "(%f)", b32, static_cast<double>(f));
      }
      double d;
      std::memcpy(&d, &bits, 8);
      return Print("0x%016" PRIx64 "(%f)", bits, d);
    }
    case RecordClass::Long: return Print("0x%016" PRIx64 "(%" PRId64 ")", bits, static_cast<std::int64_t>(bits));
    default: return std::nullopt;
  }
}

}  // namespace strataview
