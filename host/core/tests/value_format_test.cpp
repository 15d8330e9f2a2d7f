#include "strataview/value_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using hpi::RecordClass;
using strataview::FormatValue;

std::string F(RecordClass c, std::vector<std::uint8_t> b) {
  std::string text;
  return FormatValue(c, b.size(), b.data(), text) ? text : "-";
}

TEST(ValueFormat, EachClassAndWidth) {
  EXPECT_EQ(F(RecordClass::Offset, {0x10, 0, 0, 0}), "0x00000010");
  EXPECT_EQ(F(RecordClass::Hex, {0xAB}), "0xab");
  EXPECT_EQ(F(RecordClass::Unsigned, {1, 2, 3}), "0x030201(197121)");
  EXPECT_EQ(F(RecordClass::Unsigned, {0xFF, 0xFF}), "0xffff(65535)");
  EXPECT_EQ(F(RecordClass::Size, {4, 0, 0, 0}), "0x00000004(4)");
  EXPECT_EQ(F(RecordClass::Size, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), "0xffffffffffffffff(-1)");
  EXPECT_EQ(F(RecordClass::Signed, {0xFF}), "0xff(-1)");
  EXPECT_EQ(F(RecordClass::Signed, {0xFE, 0xFF}), "0xfffe(-2)");
  EXPECT_EQ(F(RecordClass::Signed, {0xFF, 0xFF, 0xFF}), "0xffffff(16777215)") << "3 bytes are not sign-extended";
  EXPECT_EQ(F(RecordClass::Signed, {0, 0, 0, 0x80}), "0x80000000(-2147483648)");
  EXPECT_EQ(F(RecordClass::Real, {0, 0, 0x80, 0x3F}), "0x3f800000(1.000000)");
  EXPECT_EQ(F(RecordClass::Real, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}), "0x3ff0000000000000(1.000000)");
  EXPECT_EQ(F(RecordClass::Long, {1, 0, 0, 0, 0, 0, 0, 0x80}), "0x8000000000000001(-9223372036854775807)");
  EXPECT_EQ(F(RecordClass::LongHex, {1, 2, 3, 4, 5, 6, 7, 8}), "0x0807060504030201");
}

TEST(ValueFormat, InvalidClassAndWidthPairs) {
  for (int width : {0, 5, 6, 7}) {
    std::vector<std::uint8_t> b(static_cast<std::size_t>(width), 0);
    EXPECT_EQ(F(RecordClass::Unsigned, b), "-") << width;
  }
  for (RecordClass c : {RecordClass::Unsigned, RecordClass::Hex, RecordClass::Signed}) {
    EXPECT_EQ(F(c, std::vector<std::uint8_t>(8, 0)), "-");
  }
  // Offsets past 4 GiB take 8 bytes.
  EXPECT_EQ(F(RecordClass::Offset, {0, 0, 0, 0, 1, 0, 0, 0}), "0x0000000100000000");
  for (RecordClass c : {RecordClass::Real, RecordClass::Long, RecordClass::LongHex}) {
    EXPECT_EQ(F(c, {0}), "-");
    EXPECT_EQ(F(c, {0, 0}), "-");
  }
}

TEST(ValueFormat, HugeDoublesFitTheirText) {
  EXPECT_EQ(F(RecordClass::Real, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEF, 0x7F}).substr(0, 19),
            "0x7fefffffffffffff(");
}

}  // namespace
