#include "strataview/stream_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory_runs_out.h"
#include "record_stream.h"
#include "strataview/host_messages.h"
#include "strataview/item_tree.h"

namespace {

using strataview::BuildItemTree;
using strataview::ItemTree;
using strataview::kNoItem;

using Stream = support::RecordStream;

// The tree as indented lines "text [image]".
std::string Dump(const ItemTree& tree) {
  std::string out;
  auto walk = [&](auto& self, strataview::ItemHandle h, int depth) -> void {
    const auto& item = tree.At(h);
    out += std::string(2 * depth, ' ') + std::string(item.text) + " [" + std::to_string(item.image) + "]\n";
    for (auto c : item.children) self(self, c, depth + 1);
  };
  for (auto h : tree.TopLevel()) walk(walk, h, 0);
  return out;
}

TEST(StreamReader, BuildsTheFieldShapeWithRangeAndNotes) {
  ItemTree tree;
  Stream s;
  s.Name(0, "a.bmp").Name(1, "BITMAPFILEHEADER").Offset(0).Size(14);
  s.Name(14, "bfType").Offset(0).Size(2).Value16(0x4D42).Comment("'BM'").Note("first").Note("second");
  s.Name(2, "inner").GroupEnd(2).Name(14, "after");
  ASSERT_EQ(s.Read(tree), 0);
  EXPECT_EQ(Dump(tree),
            "a.bmp [0]\n"
            "  BITMAPFILEHEADER [1]\n"
            "    0x00000000 [3]\n"
            "    0x0000000e(14) [4]\n"
            "    bfType [2]\n"
            "      0x00000000 [3]\n"
            "      0x00000002(2) [4]\n"
            "      0x4d42(19778) 'BM' [5]\n"
            "        first [6]\n"
            "        second [6]\n"
            "    inner [1]\n"
            "    after [2]\n");
  EXPECT_EQ(tree.RangeOf(1)->offset, 0u);
  EXPECT_EQ(tree.RangeOf(1)->size, 14u);
  EXPECT_FALSE(tree.RangeOf(0).has_value()) << "the root has no range";
}

TEST(StreamReader, FaultItemsStandAsFieldsOfTheInnermostGroup) {
  ItemTree tree;
  Stream s;
  s.Name(0, "a.png").Name(1, "IHDR Chunk").Offset(8).Size(25).Name(14, "Width").Offset(16).Size(4).Value16(1);
  s.Name(15, "warning").Offset(20).Size(7).Note("why");
  s.Name(2, "nested").Offset(20).Size(4).Name(15, "stopped here").Offset(22).Size(0);
  strataview::StreamFaults faults;
  ASSERT_EQ(BuildItemTree(s.Length(), s.Bytes(), tree, &faults), 0);
  EXPECT_EQ(Dump(tree),
            "a.png [0]\n"
            "  IHDR Chunk [1]\n"
            "    0x00000008 [3]\n"
            "    0x00000019(25) [4]\n"
            "    Width [2]\n"
            "      0x00000010 [3]\n"
            "      0x00000004(4) [4]\n"
            "      0x0001(1) [5]\n"
            "    warning [7]\n"
            "      0x00000014 [3]\n"
            "      0x00000007(7) [4]\n"
            "        why [6]\n"
            "    nested [1]\n"
            "      0x00000014 [3]\n"
            "      0x00000004(4) [4]\n"
            "      stopped here [7]\n"
            "        0x00000016 [3]\n"
            "        0x00000000(0) [4]\n");
  EXPECT_EQ(faults.count, 2u);
  EXPECT_EQ(faults.last.message, "stopped here");
  EXPECT_EQ(faults.last.offset, 22u);
  EXPECT_EQ(faults.last.size, 0u);
  EXPECT_EQ(tree.At(faults.last.item).text, "stopped here");
  EXPECT_EQ(tree.RangeOf(faults.last.item)->offset, 22u);
}

TEST(StreamReader, LevelsMayBeSkippedAndStopEndsReading) {
  ItemTree tree;
  Stream s;
  s.Name(0, "root").Name(9, "deep").Rec(0xF, 0, {}).Name(1, "never");
  ASSERT_EQ(s.Read(tree), 0);
  EXPECT_EQ(Dump(tree), "root [0]\n  deep [1]\n");
}

TEST(StreamReader, SyntaxErrorsKeepTheItemsBefore) {
  struct Case {
    const char* what;
    Stream stream;
    std::size_t itemsKept;
  };
  std::vector<Case> cases;
  cases.push_back({"lone tag byte", Stream().Name(0, "r").Name(1, "a").Raw({0x05}), 1});
  cases.push_back({"payload cut", Stream().Name(0, "r").Raw({0x05, 0x51, 'a'}), 1});
  cases.push_back({"comment after group end", Stream().Name(0, "r").GroupEnd(1).Comment("x"), 1});
  cases.push_back({"two comments", Stream().Name(0, "r").Comment("x").Comment("y"), 1});
  cases.push_back({"comment first", Stream().Comment("x"), 0});
  cases.push_back({"unsigned of 8 bytes", Stream().Name(0, "r").Rec(2, 15, std::vector<std::uint8_t>(8)), 1});
  cases.push_back({"real of 2 bytes", Stream().Name(0, "r").Rec(9, 15, {0, 0}), 1});
  cases.push_back({"numeric of 0 bytes", Stream().Name(0, "r").Rec(0, 15, {}), 1});
  cases.push_back({"numeric of 5 bytes", Stream().Name(0, "r").Rec(4, 15, std::vector<std::uint8_t>(5)), 1});
  cases.push_back({"class C", Stream().Name(0, "r").Rec(0xC, 1, {}), 1});
  cases.push_back({"comment cut", Stream().Name(0, "r").Name(1, "a").Raw({0x04, 0x6F, 'x'}), 1});
  for (const Case& c : cases) {
    ItemTree tree;
    EXPECT_EQ(c.stream.Read(tree), strataview::kMsgSyntaxError) << c.what;
    EXPECT_EQ(tree.Items().size(), c.itemsKept) << c.what;
  }
  ItemTree tree;
  EXPECT_EQ(BuildItemTree(0, nullptr, tree), strataview::kMsgInvalidArgument);
}

TEST(StreamReader, CommentsAreCutToTheItemTextLimit) {
  ItemTree tree;
  Stream().Name(0, std::string(250, 'n')).Comment(std::string(20, 'c')).Read(tree);
  EXPECT_EQ(tree.At(0).text, std::string(250, 'n') + " ccc");
  ItemTree full;
  Stream().Name(0, std::string(255, 'n')).Comment("c").Read(full);
  EXPECT_EQ(full.At(0).text, std::string(255, 'n')) << "no room left: the name stays whole";
}

TEST(StreamReader, TextsEndAtANul) {
  ItemTree tree;
  Stream().Rec(5, 0, {'a', 0, 'b'}).Read(tree);
  EXPECT_EQ(tree.At(0).text, "a");
}

TEST(StreamReader, NotesAfterAGroupEndHangUnderTheNearestItem) {
  ItemTree tree;
  Stream().Name(0, "r").Name(1, "g").GroupEnd(1).Note("n").Read(tree);
  EXPECT_EQ(Dump(tree), "r [0]\n  g [1]\n  n [6]\n");
}

TEST(ItemTree, KeepsEveryTextWhateverItsLength) {
  ItemTree tree;
  std::string large(3 << 20, 'x');  // larger than a text block
  auto empty = tree.Insert(kNoItem, "", 1);
  auto big = tree.Insert(*empty, large, 2);
  auto small = tree.Insert(*empty, "after", 2);
  tree.Insert(*small, std::string(300, 'y'), 3);
  EXPECT_EQ(tree.At(*empty).text, "");
  EXPECT_EQ(tree.At(*big).text, large);
  EXPECT_EQ(tree.At(*small).text, "after");
  EXPECT_EQ(tree.At(tree.At(*small).children[0]).text, std::string(300, 'y'));
  tree.Clear();
  EXPECT_EQ(tree.At(*tree.Insert(kNoItem, "again", 0)).text, "again");
}

TEST(ItemRange, ReadsTheNumberAfterTheFirstHexPrefix) {
  EXPECT_EQ(strataview::HexNumberIn("0x00000010"), 16u);
  EXPECT_EQ(strataview::HexNumberIn("0x00000004(4)"), 4u);
  EXPECT_EQ(strataview::HexNumberIn("size 0XfF"), 15u) << "digits are lower case only";
  EXPECT_FALSE(strataview::HexNumberIn("0xZZ").has_value());
  EXPECT_FALSE(strataview::HexNumberIn("none").has_value());
  auto rangeOf = [](int image, std::vector<strataview::ChildText> children) {
    strataview::RangeReadBack range;
    for (const auto& child : children) range.Add(child);
    return range.Result(image);
  };
  EXPECT_FALSE(rangeOf(1, {{"0x1", 3}, {"0x2", 3}, {"0x4", 4}}).has_value()) << "two offsets";
  std::vector<strataview::ChildText> ok = {{"0x1", 3}, {"0x4(4)", 4}, {"0x9", 5}};
  EXPECT_EQ(rangeOf(2, ok)->size, 4u);
  EXPECT_FALSE(rangeOf(5, ok).has_value()) << "value items have no range";
}

// When memory runs out the tree refuses the item (message 11) instead of
// throwing, and every item it kept is linked under its parent.
TEST(ItemTree, RefusesItemsWhenMemoryRunsOut) {
  Stream s;
  s.Name(0, "root");
  for (std::uint32_t i = 0; i < 200; ++i) s.Name(1, "n" + std::to_string(i)).Offset(i).Size(1);
  for (long allowed : {0L, 1L, 2L, 3L, 50L, 200L, 1000000L}) {
    ItemTree tree;
    int fault = 0;
    {
      support::MemoryRunsOut limit(allowed);
      fault = s.Read(tree);
    }
    EXPECT_EQ(fault, allowed < 1000000 ? strataview::kMsgTreeViewError : 0) << allowed;
    std::size_t linked = 0;
    auto walk = [&](auto& self, strataview::ItemHandle h) -> void {
      ++linked;
      for (auto c : tree.At(h).children) self(self, c);
    };
    for (auto h : tree.TopLevel()) walk(walk, h);
    EXPECT_EQ(linked, tree.Items().size()) << allowed;
  }
}

// The reader's own memory running out is message 2.
TEST(StreamReader, ReportsMemoryRunningOutInTheReader) {
  ItemTree tree;
  Stream s;
  s.Name(0, std::string(200, 'r'));
  support::MemoryRunsOut limit(0);
  EXPECT_EQ(s.Read(tree), strataview::kMsgMalloc);
}

}  // namespace
