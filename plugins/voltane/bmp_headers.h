// The BMP info headers by size: the fields past the first 40 bytes and the
// names of their coded values.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace voltane {

inline constexpr std::uint32_t kCoreHeaderSize = 12;           // OS/2 1.x BITMAPCOREHEADER
inline constexpr std::uint32_t kV5HeaderSize = 124;            // the largest
inline constexpr std::uint32_t kProfileLinked = 0x4C494E4B;    // 'LINK'
inline constexpr std::uint32_t kProfileEmbedded = 0x4D424544;  // 'MBED'

struct ExtraField {
  const char* name;
  std::uint32_t width;
};

struct HeaderLayout {
  std::uint32_t size;
  std::span<const ExtraField> extra;  // the fields after the first 40 bytes
};

// The layout of an info header of biSize bytes: a Windows header, or an OS/2
// 2.x header of 16 to 64 bytes; a size of no known header is read as the
// 40-byte BITMAPINFOHEADER.
HeaderLayout LayoutOf(std::uint32_t biSize);

// The name of a CSType or Intent field's value; null for other fields and values.
const char* MeaningOf(std::string_view field, std::uint32_t value);

}  // namespace voltane
