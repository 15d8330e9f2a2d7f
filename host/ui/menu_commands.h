// Menu commands whose dialogs live in their own files: hex search, shortcut
// settings, file report and help.
#pragma once

namespace strataview::ui {

class MainFrame;

void ShowSearchDialog(MainFrame& frame);
void ShowShortcutSettings(MainFrame& frame);
void ShowReportDialog(MainFrame& frame);
void OpenHelpContents(MainFrame& frame);

}  // namespace strataview::ui
