#include "item_writers.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "json.h"
#include "memory_runs_out.h"
#include "record_stream.h"
#include "strataview/host_messages.h"
#include "strataview/item_tree.h"

namespace {

using strataview::ItemTree;

using Stream = support::RecordStream;

struct Written {
  std::string text;
  int fault;
};

// The items array as the CLI writes it: a range pass, then the JSON pass.
Written StreamedJson(const Stream& s) {
  cli::RangePass ranges;
  int fault = cli::ReadInto(ranges, s.Length(), s.Bytes());
  std::string out;
  cli::JsonItems items(ranges.Ranges(), out, nullptr);
  EXPECT_EQ(cli::ReadInto(items, s.Length(), s.Bytes()), fault);
  return {out, fault};
}

// The same array written from a whole tree, as the GUI holds it.
void AppendNode(const ItemTree& tree, strataview::ItemHandle h, std::string& out) {
  const strataview::Item& item = tree.At(h);
  out += "{\"text\":";
  cli::AppendJsonString(out, item.text);
  out += ",\"image\":" + std::to_string(item.image);
  if (auto range = tree.RangeOf(h)) {
    out += ",\"offset\":" + std::to_string(range->offset) + ",\"size\":" + std::to_string(range->size);
  }
  out += ",\"children\":[";
  for (std::size_t i = 0; i < item.children.size(); ++i) {
    if (i > 0) out += ',';
    AppendNode(tree, item.children[i], out);
  }
  out += "]}";
}

Written TreeJson(const Stream& s) {
  ItemTree tree;
  int fault = s.Read(tree);
  std::string out;
  for (std::size_t i = 0; i < tree.TopLevel().size(); ++i) {
    if (i > 0) out += ',';
    AppendNode(tree, tree.TopLevel()[i], out);
  }
  return {out, fault};
}

TEST(JsonItems, NamesEachRangeBeforeTheChildren) {
  Stream s;
  s.Name(0, "f").Name(1, "A").Offset(4).Size(2).Name(14, "w").Offset(4).Size(2).Value16(7);
  s.Name(1, "B").Offset(1).Offset(2).Size(3);  // two offsets: no range
  EXPECT_EQ(StreamedJson(s).text, R"j({"text":"f","image":0,"children":[)j"
                                  R"j({"text":"A","image":1,"offset":4,"size":2,"children":[)j"
                                  R"j({"text":"0x00000004","image":3,"children":[]},)j"
                                  R"j({"text":"0x00000002(2)","image":4,"children":[]},)j"
                                  R"j({"text":"w","image":2,"offset":4,"size":2,"children":[)j"
                                  R"j({"text":"0x00000004","image":3,"children":[]},)j"
                                  R"j({"text":"0x00000002(2)","image":4,"children":[]},)j"
                                  R"j({"text":"0x0007(7)","image":5,"children":[]}]}]},)j"
                                  R"j({"text":"B","image":1,"children":[)j"
                                  R"j({"text":"0x00000001","image":3,"children":[]},)j"
                                  R"j({"text":"0x00000002","image":3,"children":[]},)j"
                                  R"j({"text":"0x00000003(3)","image":4,"children":[]}]}]})j");
}

// Random record sequences, faults and group ends included: streaming the items
// must give what writing the whole tree gives.
TEST(JsonItems, MatchesTheTreeOnRandomStreams) {
  std::mt19937 random(7);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 2000; ++round) {
    Stream s;
    s.Name(0, "root");
    for (int records = pick(60); records > 0; --records) {
      std::uint8_t v = static_cast<std::uint8_t>(pick(256));
      switch (pick(9)) {
        case 0: s.Offset(v); break;
        case 1: s.Size(v); break;
        case 2: s.Value16(v); break;
        case 3: s.Rec(7, 15, {'n'}); break;           // a note
        case 4: s.Rec(6, 15, {'c'}); break;           // a comment, alone when it follows a comment
        case 5: s.Rec(0xE, 1 + pick(15), {}); break;  // a group end
        default: s.Name(1 + pick(15), "n" + std::to_string(v));
      }
    }
    Written streamed = StreamedJson(s), whole = TreeJson(s);
    ASSERT_EQ(streamed.fault, whole.fault) << "round " << round;
    ASSERT_EQ(streamed.text, whole.text) << "round " << round;
  }
}

TEST(TextItems, IndentsTwoSpacesPerDepthInUtf8) {
  Stream s;
  s.Name(0, "f").Name(1, "\x83\x74\x83\x40\x83\x43\x83\x8b").Name(14, "w").Value16(1).Name(1, "B");
  std::string out;
  cli::TextItems items(out, nullptr);
  ASSERT_EQ(cli::ReadInto(items, s.Length(), s.Bytes()), 0);
  EXPECT_EQ(out, "f\n  ファイル\n    w\n      0x0001(1)\n  B\n");
}

TEST(RangePass, RefusesItemsWhenMemoryRunsOut) {
  Stream s;
  s.Name(0, "root");
  for (std::uint32_t i = 0; i < 100; ++i) s.Name(1, "n").Offset(i).Size(1);
  cli::RangePass ranges;
  int fault = 0;
  {
    support::MemoryRunsOut limit(3);
    fault = cli::ReadInto(ranges, s.Length(), s.Bytes());
  }
  EXPECT_EQ(fault, strataview::kMsgTreeViewError);
}

}  // namespace
