// The help command: the manual as a web page beside the program when it is
// there (current Windows has no viewer for the classic help format), else the
// help file.
#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <shellapi.h>

#include <string>

#include "main_frame.h"
#include "menu_commands.h"
#include "messages.h"
#include "strataview/host_messages.h"
#include "strataview/platform/files.h"
#include "win_text.h"

namespace strataview::ui {
namespace {

constexpr wchar_t kManual[] = L"Strataview.html";
constexpr wchar_t kHelpFile[] = L"Strataview.hlp";
// ShellExecute's results up to this one are errors.
constexpr INT_PTR kShellErrorLimit = 32;

bool IsFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool ShellOpen(HWND owner, const std::wstring& path) {
  HINSTANCE result = ShellExecuteW(owner, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > kShellErrorLimit;
}

}  // namespace

void OpenHelpContents(MainFrame& frame) {
  std::wstring folder = Widen(ProgramFolder());
  if (IsFile(folder + kManual) && ShellOpen(frame.Window(), folder + kManual)) return;
  if (!ShellOpen(frame.Window(), folder + kHelpFile)) ShowHostError(frame.Window(), kMsgHelpFile);
}

}  // namespace strataview::ui
