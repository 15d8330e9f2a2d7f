// Stand-ins until the hex search, shortcut settings, file report and help
// commands are built: each does nothing yet.
#include "menu_commands.h"

namespace strataview::ui {

void ShowSearchDialog(MainFrame&) {}
void ShowShortcutSettings(MainFrame&) {}
void ShowReportDialog(MainFrame&) {}
void OpenHelpContents(MainFrame&) {}

}  // namespace strataview::ui
