#include <cstdio>

#include "dialogs.h"
#include "resource.h"

namespace strataview::ui {
namespace {

constexpr double kVersion = 1.11;

INT_PTR CALLBACK VersionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      CenterOnDesktop(dialog);
      char number[16];
      std::snprintf(number, sizeof number, "%1.2f", kVersion);
      SetDlgItemTextA(dialog, IDC_VERSION_NUMBER, number);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowVersionDialog(HINSTANCE instance, HWND owner) {
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_VERSION), owner, VersionProc, 0);
}

}  // namespace strataview::ui
