#include "strataview/item_tree.h"

namespace strataview {

std::optional<ItemHandle> ItemTree::Insert(ItemHandle parent, std::string_view text, int image) {
  ItemHandle handle = items_.size();
  items_.push_back(Item{std::string(text), image, parent, {}});
  (parent == kNoItem ? top_ : items_[parent].children).push_back(handle);
  return handle;
}

std::optional<ByteRange> ItemTree::RangeOf(ItemHandle h) const {
  std::vector<ChildText> children;
  for (ItemHandle c : items_[h].children) children.push_back({items_[c].text, items_[c].image});
  return ReadBackRange(items_[h].image, children);
}

void ItemTree::Clear() {
  items_.clear();
  top_.clear();
}

}  // namespace strataview
