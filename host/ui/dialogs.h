// The program's modal dialogs of this window: plug-in settings and version.
#pragma once

#include <windows.h>

namespace strataview {
class PluginManager;
}

namespace strataview::ui {

// Centres a dialog on the desktop.
void CenterOnDesktop(HWND dialog);
// Lists the plug-ins with their enabled states; saves the states on close after a change.
void ShowPluginSettings(HINSTANCE instance, HWND owner, PluginManager& plugins);
// The program's version.
void ShowVersionDialog(HINSTANCE instance, HWND owner);

}  // namespace strataview::ui
