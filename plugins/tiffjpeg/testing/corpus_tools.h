// Reading the output of the comparison tools (exiv2, tiffdump) and the
// directory entries of an analysed tree.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "plugin_harness.h"
#include "tree_helpers.h"

namespace tiffjpeg_test {

// Whether a tool answers on this machine.
inline bool HaveTool(const std::string& probe) { return std::system((probe + " >/dev/null 2>&1").c_str()) == 0; }

// The tool's standard output; nullopt when it fails.
inline std::optional<std::string> RunTool(const std::string& command) {
  std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string out;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  return pclose(pipe) == 0 ? std::optional<std::string>(out) : std::nullopt;
}

inline std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

struct EntryFacts {
  std::uint32_t tag;
  std::uint32_t type;
  std::uint32_t count;
  bool operator==(const EntryFacts&) const = default;
};

// The decimal number in a value text such as "0x0100(256)".
inline std::uint32_t NumberIn(const std::string& text) {
  auto open = text.find('(');
  return open == std::string::npos ? 0 : static_cast<std::uint32_t>(std::stoul(text.substr(open + 1)));
}

// Every directory entry in the tree, by file offset.
inline std::map<std::uint64_t, EntryFacts> TreeEntries(const strataview::ItemTree& tree) {
  std::map<std::uint64_t, EntryFacts> entries;
  for (const auto& item : tree.Items()) {
    const auto* tag = ChildNamed(tree, &item, "Tag");
    const auto* type = ChildNamed(tree, &item, "Type");
    const auto* count = ChildNamed(tree, &item, "Count");
    if (tag == nullptr || type == nullptr || count == nullptr) continue;
    entries[testing_support::RangeOf(tree, item).offset] = {NumberIn(testing_support::ValueOf(tree, *tag)),
                                                            NumberIn(testing_support::ValueOf(tree, *type)),
                                                            NumberIn(testing_support::ValueOf(tree, *count))};
  }
  return entries;
}

}  // namespace tiffjpeg_test
