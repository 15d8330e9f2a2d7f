#include "tree_view.h"

#include <string>
#include <vector>

#include "resource.h"
#include "win_text.h"

namespace strataview::ui {
namespace {

constexpr UINT kShiftJis = 932;
constexpr UINT_PTR kTreeSubclass = 1;
constexpr int kImageSize = 16;
// Icons of the image list, in the order of the item image indexes.
constexpr int kPictures[] = {IDI_DISK, IDI_FOLDER, IDI_TAG, IDI_OFFSET, IDI_SIZE, IDI_VALUE, IDI_NOTE};
constexpr std::size_t kTextBuffer = 512;

std::wstring TextOf(HWND tree, HTREEITEM item, int& image) {
  wchar_t text[kTextBuffer] = {};
  TVITEMW data{};
  data.mask = TVIF_TEXT | TVIF_IMAGE;
  data.hItem = item;
  data.pszText = text;
  data.cchTextMax = static_cast<int>(kTextBuffer);
  image = TreeView_GetItem(tree, &data) ? data.iImage : -1;
  return text;
}

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
  tree_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_THICKFRAME | TVS_HASBUTTONS |
                              TVS_HASLINES | TVS_LINESATROOT,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(IDC_TREE), instance, nullptr);
  if (tree_ == nullptr) return false;
  TreeView_SetImageList(tree_, images_, TVSIL_NORMAL);
  SetWindowSubclass(tree_, TreeProc, kTreeSubclass, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

bool TreeView::Clear() {
  SetRedraw(false);
  bool done = TreeView_DeleteAllItems(tree_) != FALSE;
  SetRedraw(true);
  return done;
}

void TreeView::SetRedraw(bool on) {
  SendMessageW(tree_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
  if (on) InvalidateRect(tree_, nullptr, TRUE);
}

int TreeView::ImageOf(HTREEITEM item) const {
  TVITEMW data{};
  data.mask = TVIF_IMAGE;
  data.hItem = item;
  return TreeView_GetItem(tree_, &data) ? data.iImage : -1;
}

std::optional<ByteRange> TreeView::RangeOf(HTREEITEM item) const {
  if (item == nullptr) return std::nullopt;
  std::vector<std::string> texts;
  std::vector<int> images;
  for (HTREEITEM child = TreeView_GetChild(tree_, item); child != nullptr;
       child = TreeView_GetNextSibling(tree_, child)) {
    int image = -1;
    texts.push_back(Narrow(TextOf(tree_, child, image), kShiftJis));
    images.push_back(image);
  }
  std::vector<ChildText> children;
  for (std::size_t i = 0; i < texts.size(); ++i) children.push_back({texts[i], images[i]});
  return ReadBackRange(ImageOf(item), children);
}

void TreeView::ExpandValueChildren(HTREEITEM item) const {
  for (HTREEITEM child = TreeView_GetChild(tree_, item); child != nullptr;
       child = TreeView_GetNextSibling(tree_, child)) {
    if (ImageOf(child) == kImageValue && TreeView_GetChild(tree_, child) != nullptr) {
      TreeView_Expand(tree_, child, TVE_EXPAND);
    }
  }
}

LRESULT CALLBACK TreeView::TreeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) {
  if (message == WM_SIZE) {
    RECT outer;
    GetWindowRect(tree, &outer);
    reinterpret_cast<TreeView*>(self)->resized_(outer.right - outer.left);
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(tree, TreeProc, kTreeSubclass);
  }
  return DefSubclassProc(tree, message, wParam, lParam);
}

std::optional<ItemHandle> TreeSink::Insert(ItemHandle parent, std::string_view text, int image) {
  std::wstring wide = Widen(text, kShiftJis);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent == kNoItem ? TVI_ROOT : reinterpret_cast<HTREEITEM>(parent);
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = wide.data();
  insert.item.iImage = image;
  insert.item.iSelectedImage = image;
  HTREEITEM item = TreeView_InsertItem(tree_, &insert);
  if (item == nullptr) return std::nullopt;
  return reinterpret_cast<ItemHandle>(item);
}

}  // namespace strataview::ui
