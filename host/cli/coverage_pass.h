// The coverage summary of the JSON line: a pass over the stream collects the
// ranged items with the item each stands under, for the core's coverage search.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "item_writers.h"
#include "strataview/coverage.h"

namespace cli {

class CoveragePass : public OpenPath {
 public:
  std::vector<strataview::RangedItem> Take() { return std::move(items_); }

 private:
  struct Opened {
    int image;
    ItemHandle id;
    ItemHandle parent;
    strataview::RangeReadBack range;
  };
  void Open(std::string_view text, int image) override;
  void Close() override;

  std::vector<Opened> open_;
  std::vector<strataview::RangedItem> items_;
  ItemHandle next_ = 0;
};

// ,"coverage":{"explained":N,"unexplained":[[offset,size]...],"past_end":[...],"overlaps":[...]}
void AppendCoverageJson(std::string& out, const strataview::Coverage& coverage);

}  // namespace cli
