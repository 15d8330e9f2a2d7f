// Message boxes of the host: errors from its message table or a plug-in's own
// text, and information texts.
#pragma once

#include <windows.h>

#include <string_view>

namespace strataview::ui {

// The table's Japanese text of the number, captioned "Strataview Error Dialog".
void ShowHostError(HWND owner, int number);
// A plug-in's message (Shift-JIS), captioned "Strataview Error Dialog".
void ShowPluginError(HWND owner, std::string_view text);
// An information text (UTF-8), captioned "Strataview Message Dialog".
void ShowInformation(HWND owner, std::string_view text);

}  // namespace strataview::ui
