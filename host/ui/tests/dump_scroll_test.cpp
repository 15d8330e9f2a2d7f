// The dump's scrolling and selection arithmetic.
#include "dump_scroll.h"

#include <gtest/gtest.h>

namespace strataview::ui {
namespace {

TEST(DumpScrollTest, HexSelectionCoversTheRangesBytes) {
  // Bytes 0x1f to 0x21: from the last byte of line 1 to the second byte of line 2.
  LineSpan span = *SpanOf({0x1F, 3}, 0x1000);
  std::optional<TextRange> range = HexSelection(span, 0, 100);
  ASSERT_TRUE(range);
  EXPECT_EQ(range->from, 50 + 45);
  EXPECT_EQ(range->to, 100 + 6);
  // Cut to the loaded lines, nothing when wholly outside them.
  EXPECT_EQ(HexSelection(span, 2, 100)->from, 0);
  EXPECT_EQ(HexSelection(*SpanOf({0, 0x800}, 0x1000), 0, 100)->to, 100 * 50 - 1);
  EXPECT_FALSE(HexSelection(span, 3, 100));
  EXPECT_FALSE(HexSelection(*SpanOf({0x700, 4}, 0x1000), 0, 100));
}

TEST(DumpScrollTest, SpansAreClampedToTheFile) {
  EXPECT_FALSE(SpanOf({0x101, 1}, 0x100));
  LineSpan span = *SpanOf({0x10, ~0ull}, 0x100);
  EXPECT_EQ(span.endLine, 0x10u);
  EXPECT_EQ(span.endColumn, 0u);
}

TEST(DumpScrollTest, ShiftsBringARangeIntoView) {
  // Below the view and fitting: its end line becomes the last visible line.
  EXPECT_EQ(ShiftToShow(*SpanOf({50 * 16, 32}, 1 << 20), 0, 30), 52 - 30 + 1);
  // Too tall for the view: its start line goes to the top.
  EXPECT_EQ(ShiftToShow(*SpanOf({50 * 16, 40 * 16}, 1 << 20), 0, 30), 50);
  // Above the view: its start line goes to the top.
  EXPECT_EQ(ShiftToShow(*SpanOf({5 * 16, 16}, 1 << 20), 20, 30), -15);
  EXPECT_EQ(ShiftToShow(*SpanOf({25 * 16, 16}, 1 << 20), 20, 30), 0);
}

TEST(DumpScrollTest, VerticalMovesStayWithinTheFile) {
  VerticalState state{0, 1000, 30, 0, 0};
  EXPECT_EQ(VerticalMove(ScrollRequest::LineUp, state, 0), 0);
  EXPECT_EQ(VerticalMove(ScrollRequest::PageDown, state, 0), 30);
  state.top = 960;
  EXPECT_EQ(VerticalMove(ScrollRequest::PageDown, state, 0), 10);  // last line at the bottom
  EXPECT_EQ(VerticalMove(ScrollRequest::LineDown, state, 0), 1);
  state.top = 970;
  EXPECT_EQ(VerticalMove(ScrollRequest::LineDown, state, 0), 0);
  EXPECT_EQ(VerticalMove(ScrollRequest::Track, {0, 1000, 30, 0, 0}, 2000), 970);
  // With a scroll shift the thumb and pages count in units of 2^shift lines.
  VerticalState shifted{1 << 20, 1ull << 34, 30, 3, (1 << 20) >> 3};
  EXPECT_EQ(VerticalMove(ScrollRequest::Track, shifted, shifted.thumb + 10), 80);
  EXPECT_EQ(VerticalMove(ScrollRequest::PageUp, shifted, 0), -240);
}

TEST(DumpScrollTest, HorizontalPositionStaysWithinTheColumns) {
  HorizontalState state{0, 600, 400};
  EXPECT_EQ(HorizontalPosition(ScrollRequest::LineUp, state, 0), 0);
  EXPECT_EQ(HorizontalPosition(ScrollRequest::PageDown, state, 0), 200);
  EXPECT_EQ(HorizontalPosition(ScrollRequest::Track, state, 150), 150);
  EXPECT_EQ(HorizontalPosition(ScrollRequest::PageDown, {0, 300, 400}, 0), 0);
}

}  // namespace
}  // namespace strataview::ui
