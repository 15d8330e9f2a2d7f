#include "strataview/item_tree.h"

#include <algorithm>
#include <new>
#include <stdexcept>

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

// When memory runs out the tree refuses the item, as a full tree view would, and
// keeps the items it holds whole: an item is either linked to its parent or gone.
std::optional<ItemHandle> ItemTree::Insert(ItemHandle parent, std::string_view text, int image) try {
  ItemHandle handle = items_.size();
  items_.push_back(Item{texts_.Keep(text), image, parent, {}});
  std::vector<ItemHandle>& siblings = parent == kNoItem ? top_ : items_[parent].children;
  try {
    // Most parents are fields with an offset, a size and a value: one allocation serves them.
    if (siblings.empty()) siblings.reserve(kTypicalChildren);
    siblings.push_back(handle);
  } catch (const std::bad_alloc&) {
    items_.pop_back();
    throw;
  }
  return handle;
} catch (const std::bad_alloc&) {
  return std::nullopt;
}

// Only a hint: without the room, the items still come one by one.
void ItemTree::Reserve(std::size_t items) try { items_.reserve(items_.size() + items); } catch (const std::bad_alloc&) {
} catch (const std::length_error&) {
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
