#include "dialogs.h"

namespace strataview::ui {

void CenterOnDesktop(HWND dialog) {
  RECT box, desktop;
  GetWindowRect(dialog, &box);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &desktop, 0);
  int width = box.right - box.left, height = box.bottom - box.top;
  SetWindowPos(dialog, nullptr, desktop.left + (desktop.right - desktop.left - width) / 2,
               desktop.top + (desktop.bottom - desktop.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace strataview::ui
