#include "hpi/version_dialog.h"

namespace hpi {
namespace {

constexpr int kVersionDialogId = 102;
HINSTANCE moduleInstance = nullptr;

INT_PTR CALLBACK VersionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      RECT desktop, box;
      GetWindowRect(GetDesktopWindow(), &desktop);
      GetWindowRect(dialog, &box);
      int width = box.right - box.left;
      int height = box.bottom - box.top;
      SetWindowPos(dialog, nullptr, (desktop.right - width) / 2, (desktop.bottom - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) EndDialog(dialog, 1);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 2);
      return TRUE;
    case WM_CLOSE: EndDialog(dialog, 1); return TRUE;
    default: return FALSE;
  }
}

}  // namespace

int ShowVersionDialog(HpiWindow owner) {
  DialogBoxParamW(moduleInstance, MAKEINTRESOURCEW(kVersionDialogId), owner, VersionDialogProc, 0);
  return 1;
}

}  // namespace hpi

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) hpi::moduleInstance = instance;
  return TRUE;
}
