// An item store in memory: the CLI's tree and the tests'.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "strataview/item_range.h"
#include "strataview/item_sink.h"

namespace strataview {

struct Item {
  std::string_view text;  // held by the tree
  int image;
  ItemHandle parent;
  std::vector<ItemHandle> children;
};

// Texts copied into large blocks: no allocation per item, no unused string capacity.
class TextArena {
 public:
  std::string_view Keep(std::string_view text);
  void Clear();

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t used_ = 0;
  std::size_t capacity_ = 0;
};

class ItemTree : public ItemSink {
 public:
  std::optional<ItemHandle> Insert(ItemHandle parent, std::string_view text, int image) override;
  void Reserve(std::size_t items) override;

  const std::vector<Item>& Items() const { return items_; }
  const std::vector<ItemHandle>& TopLevel() const { return top_; }
  const Item& At(ItemHandle h) const { return items_[h]; }
  // The item's byte range read back from its children's texts.
  std::optional<ByteRange> RangeOf(ItemHandle h) const;
  void Clear();

 private:
  std::vector<Item> items_;
  std::vector<ItemHandle> top_;
  TextArena texts_;
};

}  // namespace strataview
