// The plug-ins found in a folder, their info records and enabled states, and the
// open-dialog filter built from the enabled ones. No library stays loaded: each
// operation loads the plug-in it needs and frees it before returning.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hpi/hpi.h"
#include "strataview/platform/settings_store.h"

namespace strataview {

struct PluginEntry {
  bool enabled = false;
  std::string fileName;       // also the key of its enabled state
  std::string extensionList;  // the info record's filter pattern, at most 99 characters
  std::string typeName;       // the info record's filter name, at most 99 characters
  std::string description;    // the info record's description (Shift-JIS), at most 255 characters
};

inline constexpr std::size_t kFilterBufferSize = 4096;

class PluginManager {
 public:
  // folder ends in a separator. Runs a first scan.
  PluginManager(std::string folder, SettingsStore& store);

  void Rescan();
  bool Ready() const { return ready_; }
  std::size_t Count() const { return entries_.size(); }
  std::optional<PluginEntry> EntryAt(long position) const;
  const std::vector<PluginEntry>& Entries() const { return entries_; }
  // Sets the state of the first entry of that name (exact comparison).
  bool SetEnabled(std::string_view fileName, bool enabled);
  // False when the store could not write them.
  bool SaveEnabledStates();

  // The open dialog's filter: (description, pattern) pairs of the enabled
  // plug-ins, then "All file(*.*)" and "*.*", each NUL-terminated, a final NUL.
  const std::string& OpenFilter() const { return openFilter_; }
  // The first extension of each plug-in in the filter, then ".*", as a NUL list.
  const std::string& DefaultExtensions() const { return defaultExtensions_; }

  std::string LibraryPath(std::string_view fileName) const;
  const std::string& Folder() const { return folder_; }
  // Shows the plug-in's version dialog; false when it cannot be loaded or lacks the export.
  bool ShowPluginVersion(std::size_t position, HpiWindow owner = nullptr) const;

 private:
  void RebuildFilters();

  std::string folder_;
  SettingsStore& store_;
  std::vector<PluginEntry> entries_;
  bool ready_ = false;
  std::string openFilter_;
  std::string defaultExtensions_;
};

// The first extension of a filter pattern: from its first '.' up to ',', ' ',
// ')', ';' or the end ("*.bmp;*.ico" gives ".bmp"); empty when there is none or
// it is longer than 99 characters.
std::string FirstExtension(std::string_view pattern);

}  // namespace strataview
