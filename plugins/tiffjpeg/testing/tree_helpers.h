// Lookups in the item tree shared by the tests of both plug-ins.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "plugin_harness.h"

namespace tiffjpeg_test {

// The child item named field of an item; null when there is none.
inline const strataview::Item* ChildNamed(const strataview::ItemTree& tree, const strataview::Item* item,
                                          std::string_view field) {
  if (item == nullptr) return nullptr;
  for (auto h : item->children) {
    if (tree.At(h).text == field) return &tree.At(h);
  }
  return nullptr;
}

// The value text of the "Value" field of the first entry named entry.
inline std::string EntryValue(const strataview::ItemTree& tree, std::string_view entry,
                              std::string_view field = "Value") {
  const auto* item = ChildNamed(tree, testing_support::Find(tree, entry), field);
  return item != nullptr ? testing_support::ValueOf(tree, *item) : "<missing>";
}

// The notes under the stored offset of the first entry named entry.
inline std::vector<std::string> NotesOf(const strataview::ItemTree& tree, std::string_view entry) {
  const auto* offset = ChildNamed(tree, testing_support::Find(tree, entry), "Offset");
  if (offset == nullptr || offset->children.empty()) return {};
  return testing_support::ChildTexts(tree, tree.At(offset->children.back()));
}

// The notes on an item itself (beneath its size record).
inline std::vector<std::string> EntryNotes(const strataview::ItemTree& tree, const strataview::Item& item) {
  if (item.children.size() < 2) return {};
  return testing_support::ChildTexts(tree, tree.At(item.children[1]));
}

// Every item named text, in tree order.
inline std::vector<const strataview::Item*> FindAll(const strataview::ItemTree& tree, std::string_view text) {
  std::vector<const strataview::Item*> found;
  for (const auto& item : tree.Items()) {
    if (item.text == text) found.push_back(&item);
  }
  return found;
}

}  // namespace tiffjpeg_test
