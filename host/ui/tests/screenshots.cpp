// ui_screenshots FILE FOLDER: shows the main window with FILE analysed (tree
// expanded, an item's bytes selected), then the plug-in settings dialog, the
// version dialog, the hex search dialog over the window with a hit selected, the
// file report dialog and the shortcut settings dialog, and saves each as a BMP
// file in FOLDER.
#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <string>

#include "dialog_robot.h"
#include "file_type.h"
#include "main_frame.h"
#include "resource.h"
#include "strataview/platform/files.h"
#include "strataview/platform/settings_store.h"
#include "win_text.h"

namespace {

using namespace strataview;
using namespace strataview::ui;
using namespace strataview::ui::testing;

constexpr int kWidth = 1120, kHeight = 760;
constexpr DWORD kSettle = 400;

void ExpandAll(HWND tree, HTREEITEM item) {
  for (; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
    TreeView_Expand(tree, item, TVE_EXPAND);
    ExpandAll(tree, TreeView_GetChild(tree, item));
  }
}

// The n-th item in tree order that has a byte range.
HTREEITEM NthRangeItem(TreeView& view, HTREEITEM item, int& n) {
  for (; item != nullptr; item = TreeView_GetNextSibling(view.Window(), item)) {
    if (view.RangeOf(item) && n-- == 0) return item;
    if (HTREEITEM found = NthRangeItem(view, TreeView_GetChild(view.Window(), item), n)) return found;
  }
  return nullptr;
}

// Searches for the file's bytes at 0x76 (four of them) and shows the dialog
// with the hit selected in the dump behind it.
void CaptureSearch(MainFrame& frame, HWND dialog, const std::wstring& path) {
  std::unique_ptr<ReadOnlyFile> file = ReadOnlyFile::Open(frame.Dump().Path());
  unsigned char bytes[4] = {};
  if (file && file->Seek(0x76)) file->Read(bytes, sizeof bytes);
  wchar_t text[16];
  swprintf(text, 16, L"%02x %02x %02x %02x", bytes[0], bytes[1], bytes[2], bytes[3]);
  SetDlgItemTextW(dialog, IDC_SEARCH_TEXT, text);
  SendMessageW(dialog, WM_COMMAND, IDC_SEARCH_FIND, 0);
  for (int i = 0; i < 200 && frame.Search().Running(); ++i) PumpMessages(10);
  PumpMessages(kSettle);
  CaptureWindow(GetDesktopWindow(), path);
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

void CaptureDialog(HWND dialog, const std::wstring& path) {
  UpdateWindow(dialog);
  PumpMessages(kSettle);
  CaptureWindow(dialog, path);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  std::wstring folder = std::wstring(argv[2]) + L"\\";
  OpenSettingsStore()->SaveEnabled(ListFiles(ProgramFolder(), ".hpi"));
  HINSTANCE instance = GetModuleHandleW(nullptr);
  MainFrame frame(instance);
  if (!frame.Create()) return 1;
  DialogRobot robot;
  SetWindowPos(frame.Window(), HWND_TOP, 0, 0, kWidth, kHeight, 0);
  ShowWindow(frame.Window(), SW_SHOW);
  frame.AnalyseFile(Narrow(argv[1]));

  HWND tree = frame.Tree().Window();
  ExpandAll(tree, TreeView_GetRoot(tree));
  int n = 4;
  if (HTREEITEM item = NthRangeItem(frame.Tree(), TreeView_GetRoot(tree), n)) {
    TreeView_SelectItem(tree, item);
    TreeView_EnsureVisible(tree, item);
  }
  SetFocus(tree);
  UpdateWindow(frame.Window());
  PumpMessages(kSettle * 2);
  CaptureWindow(frame.Window(), folder + L"main-window.bmp");

  robot.OnDialog(L"プラグイン設定＆情報確認", [&](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    CaptureDialog(dialog, folder + L"plugin-settings.bmp");
  });
  SendMessageW(frame.Window(), WM_COMMAND, IDM_PLUGINS, 0);
  robot.OnDialog(L"Version nfomation", [&](HWND dialog) { CaptureDialog(dialog, folder + L"version.bmp"); });
  SendMessageW(frame.Window(), WM_COMMAND, IDM_VERSION, 0);
  robot.OnDialog(L"16進文字列の検索", [&](HWND dialog) { CaptureSearch(frame, dialog, folder + L"search.bmp"); });
  SendMessageW(frame.Window(), WM_COMMAND, IDM_SEARCH, 0);
  robot.OnDialog(L"ファイルレポート", [&](HWND dialog) { CaptureDialog(dialog, folder + L"report.bmp"); });
  SendMessageW(frame.Window(), WM_COMMAND, IDM_REPORT, 0);
  robot.OnDialog(L"ショートカット設定", [&](HWND dialog) {
    UpdateWindow(dialog);
    PumpMessages(kSettle);
    CaptureWindow(dialog, folder + L"shortcuts.bmp");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  SendMessageW(frame.Window(), WM_COMMAND, IDM_SHORTCUTS, 0);
  return robot.AllDone() ? 0 : 1;
}
