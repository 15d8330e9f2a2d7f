#include "strataview/coverage.h"

#include <gtest/gtest.h>

#include "record_stream.h"
#include "strataview/item_tree.h"

namespace {

using strataview::ByteRange;
using strataview::Coverage;
using strataview::FindCoverage;
using strataview::ItemTree;
using Stream = support::RecordStream;

Coverage Of(const Stream& s, ItemTree& tree, std::uint64_t fileSize) {
  EXPECT_EQ(s.Read(tree), 0);
  return FindCoverage(strataview::RangedItemsOf(tree), fileSize);
}

bool Same(const ByteRange& a, const ByteRange& b) { return a.offset == b.offset && a.size == b.size; }

TEST(Coverage, GapsBetweenAndAfterTheItemsNestingCountsOnce) {
  ItemTree tree;
  Stream s;
  s.Name(0, "f").Name(1, "header").Offset(0).Size(8).Name(14, "a").Offset(0).Size(4).Value16(1);
  s.Name(1, "body").Offset(10).Size(5).Name(1, "empty").Offset(30).Size(0);
  Coverage c = Of(s, tree, 20);
  EXPECT_EQ(c.explained, 13u);
  ASSERT_EQ(c.unexplained.size(), 2u);
  EXPECT_TRUE(Same(c.unexplained[0], {8, 2}));
  EXPECT_TRUE(Same(c.unexplained[1], {15, 5}));
  EXPECT_TRUE(c.overruns.empty());
  EXPECT_TRUE(c.overlaps.empty()) << "a group holding its fields is no overlap";
}

TEST(Coverage, OverrunsAndOverlapsBecomeNotesAndItems) {
  ItemTree tree;
  Stream s;
  s.Name(0, "f").Name(1, "local header").Offset(0).Size(6).Name(1, "local header").Offset(0).Size(6);
  s.Name(1, "data").Offset(4).Size(20).Name(14, "tail").Offset(12).Size(12).Value16(2);
  s.Name(1, "inside").Offset(5).Size(1);
  Coverage c = Of(s, tree, 16);
  EXPECT_TRUE(c.unexplained.empty());
  EXPECT_EQ(c.explained, 16u);
  ASSERT_EQ(c.overruns.size(), 2u);  // data and its field tail
  int outermost = 0;
  for (const auto& o : c.overruns) {
    EXPECT_TRUE(Same(o.pastEnd, {16, 8}));
    outermost += o.outermost ? 1 : 0;
  }
  EXPECT_EQ(outermost, 1);
  // The two headers claim the same bytes; data runs into them; "inside" lies within one.
  ASSERT_EQ(c.overlaps.size(), 2u);
  EXPECT_TRUE(Same(c.overlaps[0].shared, {0, 6}));
  EXPECT_TRUE(Same(c.overlaps[1].shared, {4, 2}));

  strataview::AddCoverageItems(c, strataview::HostLanguage::English, tree);
  ASSERT_EQ(tree.TopLevel().size(), 2u);
  const auto& heading = tree.At(tree.TopLevel()[1]);
  EXPECT_EQ(heading.text, "Unexplained bytes");
  ASSERT_EQ(heading.children.size(), 1u);
  EXPECT_EQ(tree.At(heading.children[0]).text, "Past the end of the file: data");
  auto past = tree.RangeOf(heading.children[0]);
  ASSERT_TRUE(past.has_value());
  EXPECT_TRUE(Same(*past, {16, 8}));
  const auto& data = tree.At(tree.At(tree.TopLevel()[0]).children[2]);
  EXPECT_EQ(tree.At(data.children.back()).text, "overlaps local header by 2 bytes from 0x4");
}

TEST(Coverage, AFileWhollyExplainedGetsNoHeadingAndFaultsExplainNothing) {
  ItemTree tree;
  Stream s;
  s.Name(0, "f").Name(1, "all").Offset(0).Size(10).Name(15, "fault").Offset(10).Size(6);
  Coverage c = Of(s, tree, 16);
  ASSERT_EQ(c.unexplained.size(), 1u);
  EXPECT_TRUE(Same(c.unexplained[0], {10, 6}));

  ItemTree clean;
  Stream whole;
  whole.Name(0, "f").Name(1, "all").Offset(0).Size(10);
  Coverage none = Of(whole, clean, 10);
  EXPECT_TRUE(none.Clean());
  strataview::AddCoverageItems(none, strataview::HostLanguage::Japanese, clean);
  EXPECT_EQ(clean.TopLevel().size(), 1u);
}

}  // namespace
