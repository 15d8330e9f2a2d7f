#include "dialog_robot.h"

#include <deque>
#include <fstream>
#include <utility>

#include "strataview/host_messages.h"
#include "win_text.h"

namespace strataview::ui::testing {
namespace {

constexpr UINT kTickMs = 40;
constexpr int kMessageBoxText = 0xFFFF;

struct Pending {
  std::wstring title;
  DialogAction action;
};

DialogRobot* active = nullptr;
std::deque<Pending> pending;
std::vector<std::wstring> errors;

std::wstring TitleOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
  wchar_t cls[32] = {};
  GetClassNameW(window, cls, 32);
  if (IsWindowVisible(window) && std::wstring(cls) == L"#32770") {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}

}  // namespace

DialogRobot::DialogRobot() : timer_(SetTimer(nullptr, 0, kTickMs, Tick)) {
  active = this;
  pending.clear();
  errors.clear();
}

DialogRobot::~DialogRobot() {
  KillTimer(nullptr, timer_);
  active = nullptr;
}

void DialogRobot::OnDialog(std::wstring title, DialogAction action) {
  pending.push_back({std::move(title), std::move(action)});
}

bool DialogRobot::AllDone() const { return pending.empty(); }

std::vector<std::wstring> DialogRobot::TakeErrors() { return std::exchange(errors, {}); }

void CALLBACK DialogRobot::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (active != nullptr) active->Look();
}

void DialogRobot::Look() {
  std::vector<HWND> dialogs;
  EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
  const std::wstring errorCaption = Widen(kErrorCaption);
  for (HWND dialog : dialogs) {
    std::wstring title = TitleOf(dialog);
    if (!pending.empty() && pending.front().title == title) {
      DialogAction action = std::move(pending.front().action);
      pending.pop_front();
      action(dialog);
      return;
    }
    if (title == errorCaption && GetPropW(dialog, L"robot") == nullptr) {
      SetPropW(dialog, L"robot", dialog);
      errors.push_back(ControlText(dialog, kMessageBoxText));
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
  }
}

void PumpMessages(DWORD milliseconds) {
  DWORD end = GetTickCount() + milliseconds;
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

std::wstring ControlText(HWND dialog, int id) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(dialog, id, text, 1024);
  return text;
}

bool CaptureWindow(HWND window, const std::wstring& path) {
  RECT box;
  GetWindowRect(window, &box);
  int width = box.right - box.left, height = box.bottom - box.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
  GdiFlush();
  DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  DWORD imageSize = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageSize), 0,
                        0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
  std::ofstream out(Narrow(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), imageSize);
  bool ok = out.good();
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace strataview::ui::testing
