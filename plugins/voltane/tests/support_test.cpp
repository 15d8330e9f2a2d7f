#include <gtest/gtest.h>

#include "plugin_harness.h"

namespace {

using testing_support::Bytes;
using testing_support::Supports;

Bytes IconDirectory(std::uint16_t type, std::uint8_t width, std::uint8_t colors, std::uint8_t reserved) {
  Bytes b;
  b.LE16(0).LE16(type).LE16(1);
  b.U8(width).U8(width).U8(colors).U8(reserved).LE16(1).LE16(4).LE32(744).LE32(22);
  return b;
}

TEST(VoltaneSupport, AcceptsBitmapsAndPlausibleIconDirectories) {
  EXPECT_EQ(Supports(Bytes().Text("BM")), 1);
  Bytes icon = IconDirectory(1, 32, 16, 0);
  icon.LE32(40).LE32(32).LE32(64);
  EXPECT_EQ(Supports(icon), 1);
  Bytes cursor = IconDirectory(2, 32, 0, 0);
  cursor.LE32(40).LE32(32).LE32(64);
  EXPECT_EQ(Supports(cursor), 1);
  EXPECT_EQ(Supports(Bytes().LE16(0).LE16(1).LE16(0)), 1) << "an empty directory";
}

TEST(VoltaneSupport, RefusesImplausibleDirectories) {
  EXPECT_EQ(Supports(IconDirectory(3, 32, 16, 0)), 0);
  EXPECT_EQ(Supports(IconDirectory(1, 32, 5, 0)), 0);
  EXPECT_EQ(Supports(IconDirectory(1, 32, 16, 1)), 0);
  Bytes noHeader = IconDirectory(1, 32, 16, 0);
  noHeader.LE32(0).LE32(32).LE32(64);
  EXPECT_EQ(Supports(noHeader), 0);
  // Sizes that disagree with the entry are the walk's business.
  Bytes mismatch = IconDirectory(1, 32, 16, 0);
  mismatch.LE32(40).LE32(16).LE32(64);
  EXPECT_EQ(Supports(mismatch), 1);
  EXPECT_EQ(Supports(Bytes().Text("GIF89a")), 0);
}

TEST(VoltaneSupport, ModernIconsWith256PixelAndPngImages) {
  Bytes big = IconDirectory(1, 0, 0, 0);
  big.LE32(40).LE32(256).LE32(512);
  EXPECT_EQ(Supports(big), 1);
  Bytes png = IconDirectory(1, 0, 0, 0);
  png.U8(0x89).Text("PNG\r\n\x1a\n").Zeros(32);
  EXPECT_EQ(Supports(png), 1);
}

}  // namespace
