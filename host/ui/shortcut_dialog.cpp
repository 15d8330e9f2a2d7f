// The shortcut settings dialog (resource 106): a check box per place, checked
// where the program's shortcut exists; OK creates and removes shortcuts to match.
#include <windows.h>

#include <array>
#include <string>

#include "dialogs.h"
#include "main_frame.h"
#include "menu_commands.h"
#include "resource.h"
#include "strataview/platform/files.h"
#include "win_text.h"

namespace strataview::ui {
namespace {

constexpr std::array<int, kShortcutPlaces> kBoxes = {IDC_SHORTCUT_DESKTOP, IDC_SHORTCUT_START_MENU,
                                                     IDC_SHORTCUT_STARTUP, IDC_SHORTCUT_PROGRAMS};

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
  path.resize(n < MAX_PATH ? n : 0);
  return path;
}

void Open(HWND dialog, Shortcuts& links) {
  CenterOnDesktop(dialog);
  for (int place = 0; place < kShortcutPlaces; ++place) {
    bool exists = links.Exists(static_cast<ShortcutPlace>(place), dialog);
    CheckDlgButton(dialog, kBoxes[place], exists ? BST_CHECKED : BST_UNCHECKED);
  }
}

void Apply(HWND dialog, Shortcuts& links) {
  std::array<bool, kShortcutPlaces> wanted{};
  for (int place = 0; place < kShortcutPlaces; ++place) {
    wanted[place] = IsDlgButtonChecked(dialog, kBoxes[place]) == BST_CHECKED;
  }
  links.Apply(wanted, ProgramPath(), Widen(ProgramFolder()), dialog);
}

INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    Open(dialog, *reinterpret_cast<Shortcuts*>(lParam));
    return TRUE;
  }
  auto* links = reinterpret_cast<Shortcuts*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (message == WM_CLOSE) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  if (message != WM_COMMAND || links == nullptr) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      Apply(dialog, *links);
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowShortcutSettings(MainFrame& frame) {
  DialogBoxParamW(frame.Instance(), MAKEINTRESOURCEW(IDD_SHORTCUTS), frame.Window(), Proc,
                  reinterpret_cast<LPARAM>(&frame.Links()));
}

}  // namespace strataview::ui
