// Where the enabled plug-ins are remembered: the registry key
// HKCU\Software\tarvo\Strataview\PlugIn on Windows (one REG_DWORD 1 per enabled
// plug-in, named by its file name); elsewhere a text file with the same names and
// values under $XDG_CONFIG_HOME/strataview/ (default ~/.config/strataview/).
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace strataview {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // True exactly when the plug-in's value exists and is a nonzero 32-bit number.
  virtual bool IsEnabled(const std::string& fileName) = 0;
  // Replaces every stored state: the named plug-ins are enabled, all others are
  // not. False when the states could not be written.
  virtual bool SaveEnabled(const std::vector<std::string>& enabledFileNames) = 0;
};

// The platform's store.
std::unique_ptr<SettingsStore> OpenSettingsStore();

}  // namespace strataview
