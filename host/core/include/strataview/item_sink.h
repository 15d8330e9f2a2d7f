// Where the stream reader puts its items: the GUI's tree view, the CLI's tree,
// the tests' tree. Items are appended as the last child of their parent.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace strataview {

// Image indexes of the tree's pictures.
enum ItemImage : int {
  kImageDisk = 0,    // the root item
  kImageFolder = 1,  // headings and range items at levels 1 to 13
  kImageTag = 2,     // fields
  kImageOffset = 3,  // "A"
  kImageSize = 4,    // "S"
  kImageValue = 5,   // "V"
  kImageNote = 6,    // arrow
  kImageFault = 7,   // a fault item: where the plug-in met damage
};

using ItemHandle = std::size_t;
inline constexpr ItemHandle kNoItem = static_cast<ItemHandle>(-1);

class ItemSink {
 public:
  virtual ~ItemSink() = default;
  // Appends an item under parent (kNoItem: top level); nothing when the store refuses it.
  virtual std::optional<ItemHandle> Insert(ItemHandle parent, std::string_view text, int image) = 0;
  // A hint before the first Insert: about this many items will follow.
  virtual void Reserve(std::size_t /*items*/) {}
};

}  // namespace strataview
