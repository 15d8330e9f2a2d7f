#include "tree_view.h"

#include <algorithm>
#include <string>

#include "resource.h"
#include "win_text.h"

namespace strataview::ui {
namespace {

constexpr UINT kShiftJis = 932;
constexpr UINT_PTR kTreeSubclass = 1;
constexpr int kImageSize = 16;
// Icons of the image list, in the order of the item image indexes.
constexpr int kPictures[] = {IDI_DISK, IDI_FOLDER, IDI_TAG, IDI_OFFSET, IDI_SIZE, IDI_VALUE, IDI_NOTE, IDI_FAULT};

}  // namespace

TreeView::~TreeView() {
  if (images_ != nullptr) ImageList_Destroy(images_);
}

bool TreeView::LoadImages(HINSTANCE instance) {
  images_ = ImageList_Create(kImageSize, kImageSize, ILC_COLOR4 | ILC_MASK, static_cast<int>(std::size(kPictures)), 0);
  if (images_ == nullptr) return false;
  for (int id : kPictures) {
    auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, kImageSize, kImageSize, 0));
    if (icon == nullptr) return false;
    ImageList_AddIcon(images_, icon);
    DestroyIcon(icon);
  }
  return true;
}

bool TreeView::Create(HWND parent, HINSTANCE instance, std::function<void(int)> resized) {
  resized_ = std::move(resized);
  tree_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
      WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_THICKFRAME | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
      0, 0, 0, 0, parent, reinterpret_cast<HMENU>(IDC_TREE), instance, nullptr);
  if (tree_ == nullptr) return false;
  TreeView_SetImageList(tree_, images_, TVSIL_NORMAL);
  SetWindowSubclass(tree_, TreeProc, kTreeSubclass, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

bool TreeView::Clear() {
  SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
  bool done = TreeView_DeleteAllItems(tree_) != FALSE;
  SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree_, nullptr, TRUE);
  items_.Clear();
  populated_.clear();
  return done;
}

// The item's handle in the store travels as its parameter; its text is asked for
// when the tree view draws it.
void TreeView::Insert(HTREEITEM parent, ItemHandle handle) {
  const Item& item = items_.At(handle);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
  insert.item.pszText = LPSTR_TEXTCALLBACKW;
  insert.item.iImage = item.image;
  insert.item.iSelectedImage = item.image;
  insert.item.cChildren = item.children.empty() ? 0 : 1;
  insert.item.lParam = static_cast<LPARAM>(handle);
  TreeView_InsertItem(tree_, &insert);
}

void TreeView::ShowItems() {
  populated_.assign(items_.Items().size(), false);
  SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
  for (ItemHandle top : items_.TopLevel()) Insert(TVI_ROOT, top);
  SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree_, nullptr, TRUE);
}

std::optional<ItemHandle> TreeView::HandleOf(HTREEITEM item) const {
  if (item == nullptr) return std::nullopt;
  TVITEMW data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!TreeView_GetItem(tree_, &data)) return std::nullopt;
  auto handle = static_cast<ItemHandle>(data.lParam);
  if (handle >= items_.Items().size()) return std::nullopt;
  return handle;
}

void TreeView::Populate(HTREEITEM item) {
  std::optional<ItemHandle> handle = HandleOf(item);
  if (!handle || populated_[*handle]) return;
  populated_[*handle] = true;
  SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
  for (ItemHandle child : items_.At(*handle).children) Insert(item, child);
  SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
}

// Texts are Shift-JIS in the store.
void TreeView::FillText(NMTVDISPINFOW& request) {
  if (!(request.item.mask & TVIF_TEXT) || request.item.cchTextMax <= 0) return;
  auto handle = static_cast<ItemHandle>(request.item.lParam);
  std::wstring text = handle < items_.Items().size() ? Widen(items_.At(handle).text, kShiftJis) : std::wstring();
  std::size_t n = std::min(text.size(), static_cast<std::size_t>(request.item.cchTextMax - 1));
  text.copy(request.item.pszText, n);
  request.item.pszText[n] = L'\0';
}

std::optional<ByteRange> TreeView::RangeOf(HTREEITEM item) const {
  std::optional<ItemHandle> handle = HandleOf(item);
  return handle ? items_.RangeOf(*handle) : std::nullopt;
}

void TreeView::ExpandValueChildren(HTREEITEM item) const {
  for (HTREEITEM child = TreeView_GetChild(tree_, item); child != nullptr;
       child = TreeView_GetNextSibling(tree_, child)) {
    std::optional<ItemHandle> handle = HandleOf(child);
    if (handle && items_.At(*handle).image == kImageValue && !items_.At(*handle).children.empty()) {
      TreeView_Expand(tree_, child, TVE_EXPAND);
    }
  }
}

HTREEITEM TreeView::FindChild(HTREEITEM parent, ItemHandle item) const {
  HTREEITEM child = parent == TVI_ROOT ? TreeView_GetRoot(tree_) : TreeView_GetChild(tree_, parent);
  for (; child != nullptr; child = TreeView_GetNextSibling(tree_, child)) {
    if (HandleOf(child) == item) return child;
  }
  return nullptr;
}

void TreeView::Reveal(ItemHandle item) {
  std::vector<ItemHandle> path;
  for (ItemHandle at = item; at != kNoItem; at = items_.At(at).parent) path.push_back(at);
  HTREEITEM shown = TVI_ROOT;
  for (auto step = path.rbegin(); step != path.rend(); ++step) {
    if (shown != TVI_ROOT) {
      Populate(shown);
      TreeView_Expand(tree_, shown, TVE_EXPAND);
    }
    shown = FindChild(shown, *step);
    if (shown == nullptr) return;
  }
  TreeView_SelectItem(tree_, shown);
  TreeView_EnsureVisible(tree_, shown);
}

LRESULT CALLBACK TreeView::TreeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  if (message == WM_SIZE) {
    RECT outer;
    GetWindowRect(tree, &outer);
    reinterpret_cast<TreeView*>(self)->resized_(outer.right - outer.left);
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(tree, TreeProc, kTreeSubclass);
  }
  return DefSubclassProc(tree, message, wParam, lParam);
}

}  // namespace strataview::ui
