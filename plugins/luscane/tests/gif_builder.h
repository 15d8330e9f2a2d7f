// Builds GIF files block by block for the tests.
#pragma once

#include <string_view>

#include "plugin_harness.h"

namespace luscane_test {

using testing_support::Bytes;

// Header and logical screen descriptor; a global colour table of 2^(sizeBits+1)
// entries when withTable.
inline Bytes Screen(std::string_view version = "89a", bool withTable = true, std::uint8_t sizeBits = 0) {
  Bytes b;
  b.Text("GIF").Text(version).LE16(16).LE16(8);
  b.U8((withTable ? 0x80 : 0) | 0x70 | 0x08 | sizeBits).U8(1).U8(0);
  if (withTable) {
    for (std::uint32_t i = 0; i < (2u << sizeBits); ++i) b.U8(i).U8(i + 1).U8(i + 2);
  }
  return b;
}

inline Bytes& GraphicControl(Bytes& b, std::uint16_t delay = 10, std::uint8_t blockSize = 4, std::uint8_t end = 0) {
  return b.U8(0x21).U8(0xF9).U8(blockSize).U8(0x09).LE16(delay).U8(3).U8(end);
}

inline Bytes& Application(Bytes& b, std::string_view identifier, std::string_view code) {
  return b.U8(0x21).U8(0xFF).U8(11).Text(identifier).Text(code);
}

// An image descriptor without local table, code size 2, one data sub-block of
// dataSize bytes and the terminator.
inline Bytes& Image(Bytes& b, std::uint8_t dataSize = 4, std::uint8_t packed = 0) {
  b.U8(0x2C).LE16(1).LE16(2).LE16(3).LE16(4).U8(packed);
  if (packed & 0x80) {
    for (std::uint32_t i = 0; i < (2u << (packed & 7)); ++i) b.U8(9).U8(9).U8(9);
  }
  return b.U8(2).U8(dataSize).Zeros(dataSize).U8(0);
}

}  // namespace luscane_test
