// The shell's file type of plug-in files: ".hpi" is "HPI_PlugIn", shown with
// the executable's tenth icon.
#pragma once

#include <string>

namespace strataview::ui {

// Writes the two keys under HKEY_CLASSES_ROOT where they differ and tells the
// shell when it wrote one. Failures are silent. True when something was written.
bool RegisterPluginFileType(const std::wstring& programPath);

}  // namespace strataview::ui
