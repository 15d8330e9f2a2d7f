// Strataview.exe: the file-format analyser's window program. An optional
// argument names a file to analyse at start-up.
#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <shellapi.h>

#include <string>

#include "file_type.h"
#include "main_frame.h"
#include "messages.h"
#include "strataview/host_messages.h"
#include "win_text.h"

namespace {

std::wstring ProgramPath() {
  std::wstring path(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  return path;
}

// The full path of the first command-line argument, or empty.
std::wstring StartFile() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring file;
  if (args != nullptr && count > 1) {
    DWORD n = GetFullPathNameW(args[1], 0, nullptr, nullptr);
    file.resize(n);
    n = GetFullPathNameW(args[1], n, file.data(), nullptr);
    file.resize(n);
  }
  LocalFree(args);
  return file;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  using namespace strataview;
  ui::MainFrame frame(instance);
  ui::RegisterPluginFileType(ProgramPath());
  if (!frame.Create()) {
    ui::ShowHostError(nullptr, kMsgInitialization);
    return 0;
  }
  ShowWindow(frame.Window(), show);
  UpdateWindow(frame.Window());
  if (std::wstring file = StartFile(); !file.empty()) frame.AnalyseFile(Narrow(file));
  return frame.Run();
}
