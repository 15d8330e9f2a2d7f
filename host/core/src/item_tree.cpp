#include "strataview/item_tree.h"

namespace strataview {
namespace {

constexpr std::size_t kTypicalChildren = 4;

}  // namespace

std::optional<ItemHandle> ItemTree::Insert(ItemHandle parent, std::string_view text, int image) {
  ItemHandle handle = items_.size();
  items_.push_back(Item{std::string(text), image, parent, {}});
  std::vector<ItemHandle>& siblings = parent == kNoItem ? top_ : items_[parent].children;
  // Most parents are fields with an offset, a size and a value: one allocation serves them.
  if (siblings.empty()) siblings.reserve(kTypicalChildren);
  siblings.push_back(handle);
  return handle;
}

std::optional<ByteRange> ItemTree::RangeOf(ItemHandle h) const {
  const Item& item = items_[h];
  if (!MayHaveRange(item.image)) return std::nullopt;
  RangeReadBack range;
  for (ItemHandle c : item.children) range.Add({items_[c].text, items_[c].image});
  return range.Result(item.image);
}

void ItemTree::Clear() {
  items_.clear();
  top_.clear();
}

}  // namespace strataview
