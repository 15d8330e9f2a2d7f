// Builds ICO and CUR files for the tests: a directory and its images laid out
// one after the other.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin_harness.h"

namespace voltane_test {

struct IconImage {
  std::uint32_t size = 32;  // 256 is written as 0 in the entry
  std::uint16_t bitCount = 4;
  bool png = false;
  std::int64_t bytesAdjust = 0;  // added to dwBytesInRes
  std::uint16_t hotspotX = 3;
  std::uint16_t hotspotY = 5;
};

inline std::uint32_t PaletteOf(std::uint16_t bitCount) { return bitCount <= 8 ? 1u << bitCount : 0; }

inline std::uint32_t BitmapSize(const IconImage& i) {
  std::uint32_t xorSize = (i.bitCount * i.size + 31) / 32 * i.size * 4;
  std::uint32_t andSize = (i.size + 31) / 32 * i.size * 4;
  return 40 + 4 * PaletteOf(i.bitCount) + xorSize + andSize;
}

inline std::uint32_t ImageSize(const IconImage& i) { return i.png ? 60 : BitmapSize(i); }

inline testing_support::Bytes MakeIcon(const std::vector<IconImage>& images, std::uint16_t type = 1) {
  testing_support::Bytes b;
  b.LE16(0).LE16(type).LE16(static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (const IconImage& i : images) {
    std::uint8_t side = i.size == 256 ? 0 : static_cast<std::uint8_t>(i.size);
    std::uint8_t colors = i.bitCount == 4 ? 16 : 0;
    b.U8(side).U8(side).U8(colors).U8(0);
    if (type == 1) {
      b.LE16(1).LE16(i.bitCount);
    } else {
      b.LE16(i.hotspotX).LE16(i.hotspotY);
    }
    b.LE32(static_cast<std::uint32_t>(ImageSize(i) + i.bytesAdjust)).LE32(offset);
    offset += ImageSize(i);
  }
  for (const IconImage& i : images) {
    if (i.png) {
      b.U8(0x89).Text("PNG\r\n\x1a\n").Zeros(ImageSize(i) - 8);
      continue;
    }
    b.LE32(40).LE32(i.size).LE32(2 * i.size).LE16(1).LE16(i.bitCount).LE32(0).LE32(0).LE32(0).LE32(0).LE32(0).LE32(0);
    for (std::uint32_t k = 0; k < PaletteOf(i.bitCount); ++k) b.U8(k).U8(k).U8(k).U8(0);
    b.Zeros(BitmapSize(i) - 40 - 4 * PaletteOf(i.bitCount));
  }
  return b;
}

}  // namespace voltane_test
