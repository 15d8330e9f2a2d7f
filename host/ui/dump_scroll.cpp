#include "dump_scroll.h"

#include <algorithm>

#include "strataview/dump_window.h"

namespace strataview::ui {
namespace {

constexpr std::uint64_t kLine = kBytesPerLine;

// The last top line that still fills the view.
std::uint64_t LastTop(const VerticalState& s) { return s.lineCount > s.visible ? s.lineCount - s.visible : 0; }

}  // namespace

std::int64_t VerticalMove(ScrollRequest request, const VerticalState& s, std::int64_t trackPosition) {
  const std::uint64_t scale = std::uint64_t{1} << s.shift;
  const std::uint64_t page = std::max<std::uint64_t>(s.visible, 1) * scale;
  std::uint64_t target = s.top;
  switch (request) {
    case ScrollRequest::LineUp: target = s.top > 0 ? s.top - 1 : 0; break;
    case ScrollRequest::LineDown: target = s.top + s.visible < s.lineCount ? s.top + 1 : s.top; break;
    case ScrollRequest::PageUp: target = s.top > page ? s.top - page : 0; break;
    case ScrollRequest::PageDown: target = std::max(s.top, std::min(s.top + page, LastTop(s))); break;
    case ScrollRequest::Track: {
      std::int64_t units = trackPosition - s.thumb;
      std::int64_t lines = units * static_cast<std::int64_t>(scale);
      std::int64_t wanted = static_cast<std::int64_t>(s.top) + lines;
      target = wanted < 0 ? 0 : std::min(static_cast<std::uint64_t>(wanted), LastTop(s));
      break;
    }
    case ScrollRequest::Other: break;
  }
  return static_cast<std::int64_t>(target) - static_cast<std::int64_t>(s.top);
}

std::optional<LineSpan> SpanOf(ByteRange range, std::uint64_t fileSize) {
  if (range.offset > fileSize) return std::nullopt;
  std::uint64_t end = range.size > fileSize - range.offset ? fileSize : range.offset + range.size;
  return LineSpan{range.offset / kLine, static_cast<unsigned>(range.offset % kLine), end / kLine,
                  static_cast<unsigned>(end % kLine)};
}

std::int64_t ShiftToShow(const LineSpan& span, std::uint64_t top, std::uint64_t visible) {
  std::int64_t rs = static_cast<std::int64_t>(span.startLine - top);
  std::int64_t re = static_cast<std::int64_t>(span.endLine - top);
  std::int64_t v = static_cast<std::int64_t>(visible);
  if (rs >= 0 && rs < v && re >= 0 && re < v) return 0;
  if (rs < 0) return rs;
  if (rs == 0) return 0;
  if (re - v < rs) return re - v + 1;
  return rs;
}

std::optional<TextRange> HexSelection(const LineSpan& span, std::uint64_t top, std::size_t loaded) {
  constexpr long kChars = static_cast<long>(kHexLineChars);
  std::int64_t rs = static_cast<std::int64_t>(span.startLine - top);
  std::int64_t re = static_cast<std::int64_t>(span.endLine - top);
  std::int64_t lines = static_cast<std::int64_t>(loaded);
  if (re < 0 || rs >= lines) return std::nullopt;
  long from = rs < 0 ? 0 : static_cast<long>(rs) * kChars + 3 * static_cast<long>(span.startColumn);
  long to = re >= lines ? static_cast<long>(lines) * kChars - 1
                        : static_cast<long>(re) * kChars + 3 * static_cast<long>(span.endColumn);
  if (to < from) return std::nullopt;
  return TextRange{from, to};
}

int HorizontalPosition(ScrollRequest request, const HorizontalState& s, int trackPosition) {
  int p = s.position;
  switch (request) {
    case ScrollRequest::LineUp: p -= 1; break;
    case ScrollRequest::LineDown: p += 1; break;
    case ScrollRequest::PageUp: p -= s.page; break;
    case ScrollRequest::PageDown: p += s.page; break;
    case ScrollRequest::Track: p = trackPosition; break;
    case ScrollRequest::Other: break;
  }
  return std::clamp(p, 0, std::max(0, s.extent - s.page));
}

}  // namespace strataview::ui
