// What the items of an analysis leave unaccounted for, found from the ranges the
// plug-in wrote, whatever the format: bytes that no item covers, items that run
// past the end of the file, and sibling items that claim the same bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "strataview/host_messages.h"
#include "strataview/item_range.h"
#include "strataview/item_sink.h"

namespace strataview {

class ItemTree;

// An item with a range, and the item it stands under (its siblings share it).
struct RangedItem {
  ItemHandle item;
  ItemHandle parent;
  ByteRange range;
};

struct Overrun {
  ItemHandle item;
  ByteRange pastEnd;  // its bytes beyond the end of the file
  bool outermost;     // its parent does not run past the end too
};

struct Overlap {
  ItemHandle first, second;
  ByteRange shared;
};

struct Coverage {
  std::uint64_t explained = 0;         // bytes of the file inside some item's range
  std::vector<ByteRange> unexplained;  // the rest, in file order
  std::vector<Overrun> overruns;
  std::vector<Overlap> overlaps;
  bool Clean() const { return unexplained.empty() && overruns.empty() && overlaps.empty(); }
};

// Sorting makes it n log n in the number of items. Empty ranges claim nothing.
Coverage FindCoverage(std::vector<RangedItem> items, std::uint64_t fileSize);

// The items of a tree that have a range, fault items left out: the range of a
// fault is where the analysis stopped, not bytes it explained.
std::vector<RangedItem> RangedItemsOf(const ItemTree& tree);

// Adds the findings to the tree: a note under each item that runs past the end
// or overlaps a sibling, and after the plug-in's items a heading with one range
// item per unexplained span and per item that runs past the end. Nothing when
// the coverage is clean.
void AddCoverageItems(const Coverage& coverage, HostLanguage language, ItemTree& tree);

// All three steps for the tree of the file at path; nothing when it cannot be sized.
void AccountForEveryByte(const std::string& path, HostLanguage language, ItemTree& tree);

}  // namespace strataview
