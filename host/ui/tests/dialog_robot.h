// Acts on modal dialogs and message boxes from inside their own message loops:
// a thread timer looks for the dialogs of this thread. Error boxes that no
// action waits for are closed and their texts kept.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace strataview::ui::testing {

using DialogAction = std::function<void(HWND dialog)>;

class DialogRobot {
 public:
  DialogRobot();
  ~DialogRobot();
  DialogRobot(const DialogRobot&) = delete;
  DialogRobot& operator=(const DialogRobot&) = delete;

  // The next dialog with this title gets the action (which should close it).
  void OnDialog(std::wstring title, DialogAction action);
  bool AllDone() const;
  // Texts of the error boxes closed so far; the list is emptied.
  std::vector<std::wstring> TakeErrors();

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  void Look();

  UINT_PTR timer_;
};

// Dispatches this thread's messages for a while.
void PumpMessages(DWORD milliseconds);
// The text of a dialog's control.
std::wstring ControlText(HWND dialog, int id);
// Saves what the screen shows of a window as a 24-bit BMP file.
bool CaptureWindow(HWND window, const std::wstring& path);

}  // namespace strataview::ui::testing
