#include "nodes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "field_lines.h"
#include "json_nodes.h"
#include "record_cursor.h"
#include "record_stream.h"
#include "strataview/value_format.h"
#include "text.h"

namespace {

using Stream = support::RecordStream;

std::string Json(const Stream& s, std::optional<std::size_t> maxDepth = std::nullopt) {
  cli::LateAttributes late;
  cli::ReadInto(late, s.Length(), s.Bytes());
  std::string out;
  cli::JsonNodes json(out, nullptr);
  cli::NodeBuilder builder(s.Length(), s.Bytes(), json, {maxDepth, {}, &late.Flags()});
  cli::ReadInto(builder, s.Length(), s.Bytes());
  return out;
}

std::string Lines(const Stream& s, cli::OffsetBase base = cli::OffsetBase::Hex) {
  std::string out;
  cli::FieldLines lines(out, nullptr, base);
  cli::NodeBuilder builder(s.Length(), s.Bytes(), lines, {});
  cli::ReadInto(builder, s.Length(), s.Bytes());
  return out;
}

// A bitmap-like field list: a group with a range, fields of each value class.
Stream Sample() {
  Stream s;
  s.Name(0, "f.bmp").Name(1, "HEADER").Offset(0).Size(14);
  s.Name(14, "bfType").Offset(0).Size(2).Value16(0x4d42).Comment("'BM'");
  s.Name(14, "delta").Offset(2).Size(2).Rec(8, 15, {0xFF, 0xFF});                                 // signed
  s.Name(14, "ratio").Offset(4).Size(4).Rec(9, 15, {0x00, 0x00, 0xC0, 0x3F});                     // real 1.5
  s.Name(14, "big").Offset(8).Size(8).Rec(0xA, 15, {1, 0, 0, 0, 0, 0, 0, 0x80});                  // long
  s.Name(14, "tag").Offset(8).Size(4).Text(3, 15, "ab\r\ncd").Note("first note").Note("second");  // text
  return s;
}

TEST(JsonNodes, TypedValuesAndKeysOnlyWithContent) {
  EXPECT_EQ(
      Json(Sample()),
      R"j({"name":"f.bmp","kind":"root","children":[)j"
      R"j({"name":"HEADER","kind":"group","offset":0,"size":14,"children":[)j"
      R"j({"name":"bfType","kind":"field","offset":0,"size":2,"values":[)j"
      R"j({"type":"unsigned","width":2,"value":19778,"display":"0x4d42(19778)","comment":"'BM'"}]},)j"
      R"j({"name":"delta","kind":"field","offset":2,"size":2,"values":[)j"
      R"j({"type":"signed","width":2,"value":-1,"display":"0xffff(-1)"}]},)j"
      R"j({"name":"ratio","kind":"field","offset":4,"size":4,"values":[)j"
      R"j({"type":"real","width":4,"value":1.5,"display":"0x3fc00000(1.500000)"}]},)j"
      R"j({"name":"big","kind":"field","offset":8,"size":8,"values":[)j"
      R"j({"type":"long","width":8,"value":-9223372036854775807,"display":"0x8000000000000001(-9223372036854775807)"}]},)j"
      R"j({"name":"tag","kind":"field","offset":8,"size":4,"values":[{"type":"text","width":6,"value":"ab\r\ncd"}],)j"
      R"j("notes":["first note","second"]}]}]})j");
}

// Two offsets make no range: both stand among the values. An attribute that
// follows a group end hangs under the group again, after its children.
TEST(JsonNodes, ExtraOffsetsAndLateAttributes) {
  Stream s;
  s.Name(0, "r").Name(1, "G").Offset(1).Name(14, "x").Offset(1).Offset(2).Size(3).GroupEnd(14).Size(9);
  EXPECT_EQ(Json(s),
            R"j({"name":"r","kind":"root","children":[{"name":"G","kind":"group","children":[)j"
            R"j({"name":"x","kind":"field","values":[{"type":"hex","width":4,"value":1,"display":"0x00000001"},)j"
            R"j({"type":"hex","width":4,"value":2,"display":"0x00000002"},)j"
            R"j({"type":"unsigned","width":4,"value":3,"display":"0x00000003(3)"}]}],"offset":1,"size":9}]})j");
  EXPECT_EQ(Json(s, 1), R"j({"name":"r","kind":"root","children":[{"name":"G","kind":"group","children":[],)j"
                        R"j("offset":1,"size":9}]})j");
}

TEST(JsonNodes, FaultItemsAreNodesOfTheirOwnKind) {
  Stream s;
  s.Name(0, "r").Name(1, "G").Offset(0).Size(4).Name(15, "Broken!").Offset(2).Size(0);
  EXPECT_EQ(Json(s), R"j({"name":"r","kind":"root","children":[{"name":"G","kind":"group","offset":0,"size":4,)j"
                     R"j("children":[{"name":"Broken!","kind":"fault","offset":2,"size":0}]}]})j");
  EXPECT_EQ(Lines(s), "r\n  G                        @0x00000000 +4\n    FAULT: Broken!         @0x00000002 +0\n");
}

TEST(FieldLines, OneLinePerNodeWithNotesBelow) {
  EXPECT_EQ(Lines(Sample()),
            "f.bmp\n"
            "  HEADER                   @0x00000000 +14\n"
            "    bfType                 @0x00000000 +2        0x4d42(19778) 'BM'\n"
            "    delta                  @0x00000002 +2        0xffff(-1)\n"
            "    ratio                  @0x00000004 +4        0x3fc00000(1.500000)\n"
            "    big                    @0x00000008 +8        0x8000000000000001(-9223372036854775807)\n"
            "    tag                    @0x00000008 +4        ab\\r\\ncd\n"
            "        - first note\n"
            "        - second\n");
  EXPECT_NE(Lines(Sample(), cli::OffsetBase::Decimal).find("    delta                  @2 +2"), std::string::npos);
}

TEST(Visible, ControlsAreShownNotSent) {
  EXPECT_EQ(cli::Visible("a\x1b]2;t\x07z"), "a\\x1b]2;t\\x07z");
  EXPECT_EQ(cli::Visible("l1\r\nl2\tx\x7f"), "l1\\r\\nl2\\tx\\x7f");
  EXPECT_EQ(cli::Visible("\xc2\x9b"
                         "31m \xe6\x97\xa5 \xff"),
            "\\u009b31m \xe6\x97\xa5 \\xff");
  EXPECT_EQ(cli::Visible("l1\r\nl2\rl3\n\x1b", true), "l1\nl2\\rl3\n\\x1b");
}

// Random record sequences: the cursor hands each item the record it was made
// from, so the value text it formats is the item's text.
TEST(RecordCursor, KeepsInStepWithTheReader) {
  struct Check : cli::OpenPath {
    Check(const Stream& s) : cursor(s.Length(), s.Bytes()) {}
    void Open(std::string_view text, int) override {
      std::optional<cli::Record> r = cursor.Next();
      ASSERT_TRUE(r);
      std::string shown;
      if (hpi::IsTextClass(r->cls)) {
        shown = std::string(r->payload);
      } else {
        ASSERT_TRUE(strataview::FormatValue(r->cls, r->payload.size(),
                                            reinterpret_cast<const std::uint8_t*>(r->payload.data()), shown));
      }
      if (!r->comment.empty() && shown.size() < strataview::kMaxItemTextWithComment) {
        shown = (shown + " " + std::string(r->comment)).substr(0, strataview::kMaxItemTextWithComment);
      }
      EXPECT_EQ(shown.substr(0, strataview::kMaxItemText), text);
      ++items;
    }
    void Close() override {}
    cli::RecordCursor cursor;
    int items = 0;
  };
  std::mt19937 random(11);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 2000; ++round) {
    Stream s;
    s.Name(0, "root");
    for (int records = pick(40); records > 0; --records) {
      std::uint8_t v = static_cast<std::uint8_t>(pick(256));
      switch (pick(10)) {
        case 0: s.Offset(v); break;
        case 1: s.Rec(8, 15, {v, v}); break;
        case 2: s.Rec(9, 15, {v, 0, 0x80, 0x3F}); break;
        case 3: s.Comment(std::string(1 + pick(3) * 120, 'c')); break;
        case 4: s.Note("n"); break;
        case 5: s.GroupEnd(1 + pick(15)); break;
        case 6: s.Text(3, 15, std::string("t\0u", 3)); break;
        case 7: s.Name(15, "fault"); break;
        default: s.Name(1 + pick(14), std::string(pick(2) * 250, 'x') + std::to_string(v));
      }
    }
    Check check(s);
    cli::ReadInto(check, s.Length(), s.Bytes());
    ASSERT_FALSE(testing::Test::HasFailure()) << "round " << round;
  }
}

}  // namespace
