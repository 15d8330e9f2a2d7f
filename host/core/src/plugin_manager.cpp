#include "strataview/plugin_manager.h"

#include <cstring>

#include "strataview/platform/files.h"
#include "strataview/platform/library.h"

namespace strataview {
namespace {

constexpr std::size_t kFieldLimit = 99;
constexpr std::size_t kDescriptionLimit = 255;

// A NUL-terminated field of the info record, cut to limit characters.
std::string Field(const char* record, std::size_t offset, std::size_t width, std::size_t limit) {
  const char* start = record + offset;
  std::size_t n = strnlen(start, width);
  return std::string(start, std::min(n, limit));
}

}  // namespace

std::string FirstExtension(std::string_view pattern) {
  std::size_t dot = pattern.find('.');
  if (dot == std::string_view::npos) return {};
  std::size_t end = pattern.find_first_of(", );", dot + 1);
  std::string_view ext = pattern.substr(dot, end == std::string_view::npos ? std::string_view::npos : end - dot);
  return ext.size() > kFieldLimit ? std::string() : std::string(ext);
}

PluginManager::PluginManager(std::string folder, SettingsStore& store) : folder_(std::move(folder)), store_(store) {
  Rescan();
}

void PluginManager::Rescan() {
  entries_.clear();
  ready_ = false;
  for (const std::string& name : ListFiles(folder_, ".hpi")) {
    PluginEntry entry;
    entry.enabled = store_.IsEnabled(name);
    std::unique_ptr<Library> library = Library::Load(LibraryPath(name));
    if (!library) continue;
    auto getInfo = library->Get<HpiGetPluginInfoFn>("HPI_GetPluginInfo");
    if (getInfo == nullptr) continue;
    char record[hpi::kInfoRecordSize] = {};
    getInfo(record);
    entry.fileName = name;
    entry.extensionList = Field(record, hpi::kInfoFilterPatternOffset, hpi::kInfoFilterPatternSize, kFieldLimit);
    entry.typeName = Field(record, hpi::kInfoFilterNameOffset, hpi::kInfoFilterNameSize, kFieldLimit);
    entry.description = Field(record, hpi::kInfoDescriptionOffset, hpi::kInfoDescriptionSize, kDescriptionLimit);
    entries_.push_back(std::move(entry));
  }
  ready_ = true;
  RebuildFilters();
}

std::optional<PluginEntry> PluginManager::EntryAt(long position) const {
  if (position < 0 || static_cast<std::size_t>(position) >= entries_.size()) return std::nullopt;
  return entries_[static_cast<std::size_t>(position)];
}

bool PluginManager::SetEnabled(std::string_view fileName, bool enabled) {
  for (PluginEntry& entry : entries_) {
    if (entry.fileName == fileName) {
      entry.enabled = enabled;
      RebuildFilters();
      return true;
    }
  }
  return false;
}

bool PluginManager::SaveEnabledStates() {
  std::vector<std::string> enabled;
  for (const PluginEntry& entry : entries_) {
    if (entry.enabled) enabled.push_back(entry.fileName);
  }
  return store_.SaveEnabled(enabled);
}

// Both texts are built with '|' between strings and must leave room for their
// terminating NUL in 4096 bytes; an entry whose texts would not fit is left out.
void PluginManager::RebuildFilters() {
  std::string filter, extensions;
  for (const PluginEntry& entry : entries_) {
    if (!entry.enabled) continue;
    std::string ext = FirstExtension(entry.extensionList);
    if (ext.empty() || extensions.find(ext) != std::string::npos) continue;
    std::string extPart = ext + "|";
    std::string filterPart = entry.typeName + "|" + entry.extensionList + "|";
    if (extensions.size() + extPart.size() >= kFilterBufferSize) continue;
    extensions += extPart;
    if (filter.size() + filterPart.size() >= kFilterBufferSize) continue;
    filter += filterPart;
  }
  const std::string allFiles = "All file(*.*)|*.*|";
  if (filter.size() + allFiles.size() < kFilterBufferSize) filter += allFiles;
  if (extensions.size() + 3 < kFilterBufferSize) extensions += ".*|";
  for (char& c : filter) c = c == '|' ? '\0' : c;
  for (char& c : extensions) c = c == '|' ? '\0' : c;
  openFilter_ = filter + '\0';
  defaultExtensions_ = extensions + '\0';
}

std::string PluginManager::LibraryPath(std::string_view fileName) const { return folder_ + std::string(fileName); }

bool PluginManager::ShowPluginVersion(std::size_t position, HpiWindow owner) const {
  if (position >= entries_.size()) return false;
  std::unique_ptr<Library> library = Library::Load(LibraryPath(entries_[position].fileName));
  if (!library) return false;
  auto showVer = library->Get<HpiShowVerFn>("HPI_ShowVer");
  if (showVer == nullptr) return false;
  showVer(owner);
  return true;
}

}  // namespace strataview
