#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <shellapi.h>

#include "strataview/platform/locale.h"
#include "win_text.h"

namespace strataview {

bool UserLanguageIsJapanese() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE; }

std::vector<std::string> Utf8Arguments(int, char**) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i]));
  LocalFree(wide);
  return args;
}

void PrepareUtf8Console() { SetConsoleOutputCP(CP_UTF8); }

}  // namespace strataview
