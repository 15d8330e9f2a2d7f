#include "coverage_pass.h"

#include "json.h"

namespace cli {
namespace {

void AppendRanges(std::string& out, const char* key, const std::vector<strataview::ByteRange>& ranges) {
  out += ",\"";
  out += key;
  out += "\":[";
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    out += i == 0 ? "[" : ",[";
    AppendJsonNumber(out, ranges[i].offset);
    out += ',';
    AppendJsonNumber(out, ranges[i].size);
    out += ']';
  }
  out += ']';
}

}  // namespace

void CoveragePass::Open(std::string_view text, int image) {
  ItemHandle parent = open_.empty() ? strataview::kNoItem : open_.back().id;
  if (!open_.empty()) open_.back().range.Add({text, image});
  open_.push_back({image, next_++, parent, {}});
}

// A fault's range is where the analysis stopped, not bytes it explained.
void CoveragePass::Close() {
  const Opened& item = open_.back();
  if (item.image != strataview::kImageFault) {
    if (std::optional<strataview::ByteRange> range = item.range.Result(item.image)) {
      items_.push_back({item.id, item.parent, *range});
    }
  }
  open_.pop_back();
}

void AppendCoverageJson(std::string& out, const strataview::Coverage& coverage) {
  out += ",\"coverage\":{\"explained\":";
  AppendJsonNumber(out, coverage.explained);
  AppendRanges(out, "unexplained", coverage.unexplained);
  std::vector<strataview::ByteRange> pastEnd, overlaps;
  for (const strataview::Overrun& o : coverage.overruns) {
    if (o.outermost) pastEnd.push_back(o.pastEnd);
  }
  for (const strataview::Overlap& o : coverage.overlaps) overlaps.push_back(o.shared);
  AppendRanges(out, "past_end", pastEnd);
  AppendRanges(out, "overlaps", overlaps);
  out += '}';
}

}  // namespace cli
