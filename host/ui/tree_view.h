// The item tree (control 104): a tree view with the eight item pictures and a
// sizing frame whose right edge is the splitter. The stream reader fills an
// item store; the view shows the top-level items at once and inserts an item's
// children when it is first expanded, so that streams of hundreds of thousands
// of items show at once (tree views validate every parent handle by a linear
// search on some platforms, which makes inserting everything up front slow).
#pragma once

#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <commctrl.h>

#include <functional>
#include <optional>
#include <vector>

#include "strataview/item_range.h"
#include "strataview/item_tree.h"

namespace strataview::ui {

class TreeView {
 public:
  TreeView() = default;
  ~TreeView();
  TreeView(const TreeView&) = delete;
  TreeView& operator=(const TreeView&) = delete;

  // The image list of the eight pictures; false when an icon cannot be loaded.
  bool LoadImages(HINSTANCE instance);
  // resized runs with the tree's new outer width whenever the tree changes size.
  bool Create(HWND parent, HINSTANCE instance, std::function<void(int)> resized);
  HWND Window() const { return tree_; }

  // Removes every item; false when the tree view refuses.
  bool Clear();
  // Where the stream reader puts the items; ShowItems then shows the top level.
  ItemTree& Items() { return items_; }
  void ShowItems();
  // Inserts the children of an item that is about to expand, once.
  void Populate(HTREEITEM item);
  // Answers the tree view's request for an item's text.
  void FillText(NMTVDISPINFOW& request);
  // The byte range of an item read back from its offset and size children.
  std::optional<ByteRange> RangeOf(HTREEITEM item) const;
  // Expands each direct child that is a value with notes below it.
  void ExpandValueChildren(HTREEITEM item) const;
  // Expands the tree down to a stored item and selects it.
  void Reveal(ItemHandle item);

 private:
  static LRESULT CALLBACK TreeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  void Insert(HTREEITEM parent, ItemHandle item);
  std::optional<ItemHandle> HandleOf(HTREEITEM item) const;
  HTREEITEM FindChild(HTREEITEM parent, ItemHandle item) const;

  HWND tree_ = nullptr;
  HIMAGELIST images_ = nullptr;
  std::function<void(int)> resized_;
  ItemTree items_;
  std::vector<bool> populated_;
};

}  // namespace strataview::ui
