// Builds BMP files byte by byte for the tests.
#pragma once

#include <cstdint>

#include "plugin_harness.h"

namespace voltane_test {

struct BmpShape {
  std::int32_t width = 32;
  std::int32_t height = 32;
  std::uint16_t bitCount = 1;
  std::uint32_t compression = 0;
  std::uint32_t clrUsed = 0;
  std::uint32_t headerSize = 40;
  std::uint32_t paletteEntries = 2;  // written after the header
  std::int64_t sizeAdjust = 0;       // added to bfSize
  std::uint32_t sizeImage = 0;
  std::uint32_t pixelBytes = 0;  // 0: the row-padded size
};

inline std::vector<std::uint8_t> MakeBmp(const BmpShape& s, std::uint8_t gray = 0) {
  std::int64_t rows = s.height < 0 ? -static_cast<std::int64_t>(s.height) : s.height;
  std::uint32_t image = static_cast<std::uint32_t>((s.bitCount * s.width + 31) / 32 * rows * 4);
  std::uint32_t pixels = s.pixelBytes ? s.pixelBytes : image;
  std::uint32_t offBits = 14 + s.headerSize + 4 * s.paletteEntries;
  testing_support::Bytes b;
  b.Text("BM").LE32(static_cast<std::uint32_t>(offBits + image + s.sizeAdjust)).LE16(0).LE16(0).LE32(offBits);
  b.LE32(s.headerSize).LE32(static_cast<std::uint32_t>(s.width)).LE32(static_cast<std::uint32_t>(s.height));
  b.LE16(1).LE16(s.bitCount).LE32(s.compression).LE32(s.sizeImage).LE32(2835).LE32(2835).LE32(s.clrUsed).LE32(0);
  b.Zeros(s.headerSize - 40);
  for (std::uint32_t i = 0; i < s.paletteEntries; ++i) {
    std::uint8_t v = gray ? static_cast<std::uint8_t>(i) : static_cast<std::uint8_t>(i * 3);
    b.U8(v).U8(v).U8(gray ? v : static_cast<std::uint8_t>(v + 1)).U8(0);
  }
  b.Zeros(pixels);
  return b.Vector();
}

}  // namespace voltane_test
