#include "json.h"

#include <gtest/gtest.h>

namespace {

std::string Json(std::string_view text) {
  std::string out;
  cli::AppendJsonString(out, text);
  return out;
}

TEST(Json, EscapesAndKeepsUtf8) {
  EXPECT_EQ(Json("a\"b\\c"), R"("a\"b\\c")");
  EXPECT_EQ(Json("\r\n\t\x01\x7f"), R"("\r\n\t\u0001\u007f")");
  EXPECT_EQ(Json("ファイル"), "\"ファイル\"");
}

TEST(Json, InvalidBytesNeverMakeInvalidJson) {
  EXPECT_EQ(Json("\x82\xa0"), R"("\ufffd\ufffd")") << "Shift-JIS bytes are not UTF-8";
  EXPECT_EQ(Json("\xe3\x83"), R"("\ufffd\ufffd")") << "a cut sequence";
  EXPECT_EQ(Json("\xc0\xaf"), R"("\ufffd\ufffd")") << "an overlong form";
  EXPECT_EQ(Json("\xed\xa0\x80"), R"("\ufffd\ufffd\ufffd")") << "a surrogate";
}

}  // namespace
