// The notes the walks write beneath items.
#pragma once

#include <string>

#include "plugin_harness.h"
#include "strataview/item_sink.h"

namespace voltane_test {

// The note beneath an item's value (or beneath the item when it has none).
inline std::string NoteOf(const strataview::ItemTree& tree, const strataview::Item& item) {
  for (auto h : item.children) {
    const auto& child = tree.At(h);
    if (child.image == strataview::kImageNote) return std::string(child.text);
    for (auto g : child.children) {
      if (tree.At(g).image == strataview::kImageNote) return std::string(tree.At(g).text);
    }
  }
  return {};
}

}  // namespace voltane_test
