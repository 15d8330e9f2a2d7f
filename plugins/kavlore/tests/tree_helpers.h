// Reading the analysed tree in the tests.
#pragma once

#include <string>
#include <vector>

#include "plugin_harness.h"

namespace kavlore_test {

using strataview::Item;
using strataview::ItemTree;

// Texts of an item's children that are items themselves (no offset, size or value lines).
inline std::vector<std::string> ItemNames(const ItemTree& tree, const Item& item) {
  std::vector<std::string> names;
  for (strataview::ItemHandle c : item.children) {
    int image = tree.At(c).image;
    if (image == strataview::kImageFolder || image == strataview::kImageTag) names.emplace_back(tree.At(c).text);
  }
  return names;
}

inline std::vector<std::string> TopNames(const ItemTree& tree) { return ItemNames(tree, tree.At(tree.TopLevel()[0])); }

// The notes beneath a field's value.
inline std::vector<std::string> NotesOf(const ItemTree& tree, const Item& item) {
  for (strataview::ItemHandle c : item.children) {
    if (tree.At(c).image == strataview::kImageValue) return testing_support::ChildTexts(tree, tree.At(c));
  }
  return {};
}

// The child of parent named text; null when there is none.
inline const Item* Child(const ItemTree& tree, const Item* parent, const std::string& text) {
  if (parent == nullptr) return nullptr;
  for (strataview::ItemHandle c : parent->children) {
    if (tree.At(c).text == text) return &tree.At(c);
  }
  return nullptr;
}

}  // namespace kavlore_test
