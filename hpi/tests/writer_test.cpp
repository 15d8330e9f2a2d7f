#include "hpi/writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(hpi::SFStream& s) {
  std::vector<std::uint8_t> out(s.BytesWritten());
  s.SetDirection(0);
  s.Read(static_cast<int>(out.size()), out.data());
  return out;
}

using V = std::vector<std::uint8_t>;

TEST(Writer, WritesTheBmpExampleRecords) {
  hpi::SFStream s;
  hpi::Writer w(s);
  EXPECT_EQ(w.WriteRootName("a.bmp"), 7);
  w.WriteItem("BITMAPFILEHEADER", 1, 0, 14);
  EXPECT_GT(w.WriteU16Item("bfType", 14, 0, 0x4D42), 0);
  EXPECT_EQ(w.WriteComment("'BM'"), 6);
  V expected = {0x05, 0x50, 'a', '.', 'b', 'm', 'p', 0x10, 0x51};
  for (char c : std::string("BITMAPFILEHEADER")) expected.push_back(static_cast<std::uint8_t>(c));
  V rest = {0x04, 0x0F, 0,   0,   0,    0,    0x04, 0x1F, 0x0E, 0,    0,    0,   0x06, 0x5E,
            'b',  'f',  'T', 'y', 'p',  'e',  0x04, 0x0F, 0,    0,    0,    0,   0x04, 0x1F,
            0x02, 0,    0,   0,   0x02, 0x2F, 0x42, 0x4D, 0x04, 0x6F, '\'', 'B', 'M',  '\''};
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(Bytes(s), expected);
}

// The fault lies before the open group's range, so the group is ended first.
TEST(Writer, OffsetsAndSizesPast4GiBTakeEightBytes) {
  hpi::SFStream s;
  hpi::Writer w(s);
  w.WriteItem("x", 1, 0x123456789ull, 0xFFFFFFFFu);
  w.WriteFault("f", 0x100000000ull, 0);
  V expected = {0x01, 0x51, 'x', 0x08, 0x0F, 0x89, 0x67, 0x45, 0x23, 0x01, 0, 0, 0};  // name, 8-byte offset
  V size = {0x04, 0x1F, 0xFF, 0xFF, 0xFF, 0xFF};                                      // 4-byte size
  V end = {0x00, 0xE1};                                                               // group end, level 1
  V fault = {0x01, 0x5F, 'f', 0x08, 0x0F, 0, 0, 0, 0, 1, 0, 0, 0, 0x04, 0x1F, 0, 0, 0, 0};
  for (const V* part : {&size, &end, &fault}) expected.insert(expected.end(), part->begin(), part->end());
  EXPECT_EQ(Bytes(s), expected);
}

TEST(Writer, CutsLongValuesAndTextsButKeepsTheSize) {
  hpi::SFStream s;
  hpi::Writer w(s);
  std::vector<std::uint8_t> value(300, 0xAB);
  w.WriteItem("x", 14, 0, 300, value.data(), hpi::ValueKind::Text);
  w.WriteComment(std::string(300, 'c'));
  w.WriteName(std::string(400, 'n'), 3);
  V b = Bytes(s);
  // name(3) offset(6) size(6): size record says 300
  EXPECT_EQ(b[3 + 6 + 2] | b[3 + 6 + 3] << 8, 300);
  std::size_t valueAt = 3 + 6 + 6;
  EXPECT_EQ(b[valueAt], 255);
  EXPECT_EQ(b[valueAt + 1], 0x3F);
  std::size_t commentAt = valueAt + 2 + 255;
  EXPECT_EQ(b[commentAt], 255);
  EXPECT_EQ(b[commentAt + 1], 0x6F);
  std::size_t nameAt = commentAt + 2 + 255;
  EXPECT_EQ(b[nameAt], 255);
  EXPECT_EQ(b[nameAt + 1], 0x53);
  EXPECT_EQ(b.size(), nameAt + 2 + 255);
}

TEST(Writer, TypedItemsTakeTheirWidthFromTheOperation) {
  hpi::SFStream s;
  hpi::Writer w(s);
  w.WriteU8Item("a", 14, 0, 0x1234);
  w.WriteS16Item("b", 14, 0, -2);
  w.WriteLongItem("c", 14, 0, 0x0102030405060708ull);
  w.WriteGroupEnd(18);
  EXPECT_EQ(w.WriteValue(4, nullptr, hpi::ValueKind::Unsigned), 0);
  V b = Bytes(s);
  EXPECT_EQ(V(b.begin() + 15, b.begin() + 18), (V{0x01, 0x2F, 0x34}));
  EXPECT_EQ(V(b.begin() + 33, b.begin() + 37), (V{0x02, 0x8F, 0xFE, 0xFF}));
  EXPECT_EQ(V(b.begin() + 52, b.begin() + 62), (V{0x08, 0xAF, 8, 7, 6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(V(b.end() - 2, b.end()), (V{0x00, 0xE2}));
}

TEST(Writer, StopsWritingAfterTheStreamRefuses) {
  hpi::SFStream s;
  hpi::Writer w(s);
  s.SetDirection(0);
  EXPECT_EQ(w.WriteName("x", 1), -1);
  s.SetDirection(1);
  EXPECT_EQ(w.WriteName("y", 1), -1);
  EXPECT_FALSE(w.Ok());
  EXPECT_EQ(s.BytesWritten(), 0u);
}

}  // namespace
