#include "hpi/crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(Crc32, KnownValues) {
  EXPECT_EQ(hpi::ComputeCrc32("", 0), 0x00000000u);
  EXPECT_EQ(hpi::ComputeCrc32("123456789", 9), 0xCBF43926u);  // the standard check value
  // The CRC of an IEND chunk's type, as every PNG file stores it.
  EXPECT_EQ(hpi::ComputeCrc32("IEND", 4), 0xAE426082u);
}

// Pieces of every length, fed one after another, give the value of the whole.
TEST(Crc32, RunningValueMatchesOneBlock) {
  std::vector<std::uint8_t> bytes(1000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 131 + 7);
  std::uint32_t whole = hpi::ComputeCrc32(bytes.data(), bytes.size());
  for (std::size_t piece = 1; piece <= 9; ++piece) {
    hpi::Crc32 crc;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      crc.Update(bytes.data() + at, std::min(piece, bytes.size() - at));
    }
    EXPECT_EQ(crc.Value(), whole) << piece;
  }
}

}  // namespace
