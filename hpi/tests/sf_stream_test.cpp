#include "hpi/sf_stream.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "hpi/messages.h"

namespace {

using hpi::SFStream;

std::vector<std::uint8_t> Pattern(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  std::iota(bytes.begin(), bytes.end(), 0);
  return bytes;
}

TEST(SFStream, WritesAcrossBlocksAndReadsBackEveryByte) {
  for (std::size_t n : {0u, 1u, 1999u, 2000u, 2001u, 4000u, 10'001u}) {
    SFStream s;
    auto bytes = Pattern(n);
    ASSERT_EQ(s.Write(static_cast<int>(n), bytes.data()), static_cast<int>(n));
    EXPECT_EQ(s.BytesWritten(), n);
    ASSERT_EQ(s.SetDirection(0), 1);
    std::vector<std::uint8_t> back(n + 10, 0xEE);
    EXPECT_EQ(s.Read(static_cast<int>(n + 10), back.data()), static_cast<int>(n)) << n;
    back.resize(n);
    EXPECT_EQ(back, bytes);
    EXPECT_EQ(s.Read(1, back.data()), 0);
  }
}

TEST(SFStream, ReadsInSmallPiecesAndShortAtTheEnd) {
  SFStream s;
  auto bytes = Pattern(4500);
  s.Write(4500, bytes.data());
  s.SetDirection(0);
  std::vector<std::uint8_t> back;
  std::uint8_t piece[7];
  int got;
  while ((got = s.Read(7, piece)) > 0) back.insert(back.end(), piece, piece + got);
  EXPECT_EQ(back, bytes);
}

TEST(SFStream, DirectionMismatchIsReportedWithItsText) {
  SFStream s;
  std::uint8_t b[4];
  EXPECT_EQ(s.Read(4, b), -1);
  EXPECT_EQ(hpi::LastErrorCode(), SFStream::kDirection);
  hpi::SetCurrentLanguage(hpi::kEnglish);
  char text[hpi::kMessageBufferSize] = {};
  hpi::CopyLastErrorText(text);
  EXPECT_STREQ(text, "[SFStream] Stream io direction is mismatched!");
  s.SetDirection(0);
  EXPECT_EQ(s.Write(4, b), -1);
  EXPECT_EQ(hpi::LastErrorCode(), SFStream::kDirection);
}

TEST(SFStream, ResetForWritingKeepsOneBlockAndReusesNodes) {
  SFStream s;
  auto bytes = Pattern(5000);
  s.Write(5000, bytes.data());
  ASSERT_EQ(s.SetDirection(1), 1);
  EXPECT_EQ(s.BytesWritten(), 0u);
  auto second = Pattern(5000);
  std::reverse(second.begin(), second.end());
  ASSERT_EQ(s.Write(5000, second.data()), 5000);
  s.SetDirection(0);
  std::vector<std::uint8_t> back(5000);
  ASSERT_EQ(s.Read(5000, back.data()), 5000);
  EXPECT_EQ(back, second);
}

TEST(SFStream, WordsAndDwordsAreLittleEndian) {
  SFStream s;
  s.WriteWord(0x1234);
  s.WriteDword(0xA1B2C3D4);
  s.SetDirection(0);
  std::uint8_t b[6];
  ASSERT_EQ(s.Read(6, b), 6);
  EXPECT_EQ(std::vector<std::uint8_t>(b, b + 6), (std::vector<std::uint8_t>{0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1}));
}

TEST(SFStream, UnknownCodesCopyNothing) {
  hpi::SetStreamError(7);
  char text[hpi::kMessageBufferSize] = "untouched";
  hpi::CopyLastErrorText(text);
  EXPECT_STREQ(text, "untouched");
}

}  // namespace
