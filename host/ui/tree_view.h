// The item tree (control 104): a tree view with the seven item pictures, a
// sizing frame whose right edge is the splitter, and the item store the
// stream reader fills.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string_view>

#include "strataview/item_range.h"
#include "strataview/item_sink.h"

namespace strataview::ui {

class TreeView {
 public:
  TreeView() = default;
  ~TreeView();
  TreeView(const TreeView&) = delete;
  TreeView& operator=(const TreeView&) = delete;

  // The image list of the seven pictures; false when an icon cannot be loaded.
  bool LoadImages(HINSTANCE instance);
  // resized runs with the tree's new outer width whenever the tree changes size.
  bool Create(HWND parent, HINSTANCE instance, std::function<void(int)> resized);
  HWND Window() const { return tree_; }

  // Removes every item with redraw off; false when the tree refuses.
  bool Clear();
  // Drawing is switched off while a stream fills the tree.
  void SetRedraw(bool on);
  // The byte range of an item read back from its offset and size children.
  std::optional<ByteRange> RangeOf(HTREEITEM item) const;
  // Expands each direct child that is a value with notes below it.
  void ExpandValueChildren(HTREEITEM item) const;
  int ImageOf(HTREEITEM item) const;

 private:
  static LRESULT CALLBACK TreeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR self);

  HWND tree_ = nullptr;
  HIMAGELIST images_ = nullptr;
  std::function<void(int)> resized_;
};

// Tree items from the stream reader: texts are Shift-JIS, converted to UTF-16.
class TreeSink : public ItemSink {
 public:
  explicit TreeSink(HWND tree) : tree_(tree) {}
  std::optional<ItemHandle> Insert(ItemHandle parent, std::string_view text, int image) override;

 private:
  HWND tree_;
};

}  // namespace strataview::ui
