#include "strataview/item_tree.h"

#include <algorithm>

namespace strataview {
namespace {

constexpr std::size_t kTypicalChildren = 4;
constexpr std::size_t kTextBlockBytes = 1 << 20;

}  // namespace

std::string_view TextArena::Keep(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > capacity_ - used_) {
    capacity_ = std::max(kTextBlockBytes, text.size());
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(capacity_));
    used_ = 0;
  }
  char* kept = blocks_.back().get() + used_;
  std::copy(text.begin(), text.end(), kept);
  used_ += text.size();
  return {kept, text.size()};
}

void TextArena::Clear() {
  blocks_.clear();
  used_ = capacity_ = 0;
}

std::optional<ItemHandle> ItemTree::Insert(ItemHandle parent, std::string_view text, int image) {
  ItemHandle handle = items_.size();
  items_.push_back(Item{texts_.Keep(text), image, parent, {}});
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
  texts_.Clear();
}

}  // namespace strataview
