// The dump view's scrolling arithmetic: line moves for scroll-bar requests,
// window shifts that bring a byte range into view, and the hex column's
// selection for a range. Line numbers are 64-bit; the scroll bar counts lines
// shifted right by the window's scroll shift.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "strataview/item_range.h"

namespace strataview::ui {

enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, Track, Other };

struct VerticalState {
  std::uint64_t top;        // first loaded (and shown) line
  std::uint64_t lineCount;  // lines of the file
  std::uint64_t visible;    // lines the view shows
  int shift;                // scroll shift of the window
  std::int64_t thumb;       // the scroll bar's position
};

// Lines to move the window for a request; trackPosition is the thumb's new
// position for Track. The result keeps the top line within 0 and the last line
// that still fills the view.
std::int64_t VerticalMove(ScrollRequest request, const VerticalState& state, std::int64_t trackPosition);

// A byte range as first and last line with columns; the end is the byte after the range.
struct LineSpan {
  std::uint64_t startLine;
  unsigned startColumn;
  std::uint64_t endLine;
  unsigned endColumn;
};
// The range clamped to a file of fileSize bytes; nothing when it starts beyond the end.
std::optional<LineSpan> SpanOf(ByteRange range, std::uint64_t fileSize);

// The next shift of the window that brings the span into view, 0 when it needs none.
std::int64_t ShiftToShow(const LineSpan& span, std::uint64_t top, std::uint64_t visible);

struct TextRange {
  long from;
  long to;
};
// The hex column's characters that show the span within the loaded lines,
// cut to them; nothing when the span lies wholly outside.
std::optional<TextRange> HexSelection(const LineSpan& span, std::uint64_t top, std::size_t loaded);

struct HorizontalState {
  int position;  // pixels
  int extent;    // width of the three columns
  int page;      // the frame's client width
};
// The new horizontal position for a request, kept within 0 and extent - page.
int HorizontalPosition(ScrollRequest request, const HorizontalState& state, int trackPosition);

}  // namespace strataview::ui
