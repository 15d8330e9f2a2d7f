// The host's message table: a number selects an English and a Japanese text.
#pragma once

namespace strataview {

enum HostMessage : int {
  kMsgNoError = 0,
  kMsgInitialization = 1,
  kMsgMalloc = 2,
  kMsgInvalidArgument = 3,
  kMsgFileOpen = 4,
  kMsgFileNotOpened = 5,
  kMsgFileRead = 6,
  kMsgSyntaxError = 7,
  kMsgNoPlugin = 8,
  kMsgPluginLoad = 9,     // no text of its own
  kMsgPluginExport = 10,  // no text of its own
  kMsgTreeViewError = 11,
  kMsgRegistration = 16,
  kMsgClipboardOpen = 21,
  kMsgInvalidSearch = 22,
  kMsgHelpFile = 27,
};

enum class HostLanguage { Japanese, English };

// UTF-8 texts; numbers without a row give the default row.
const char* HostMessageText(int number, HostLanguage language);
// The one information text the host shows.
const char* SearchCompletedText(HostLanguage language);

inline constexpr char kErrorCaption[] = "Strataview Error Dialog";
inline constexpr char kMessageCaption[] = "Strataview Message Dialog";

}  // namespace strataview
