// What strataview-cli prints for one analysed file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "options.h"
#include "strataview/analysis_driver.h"
#include "strataview/item_tree.h"

namespace cli {

struct FileResult {
  std::string file;  // as given
  std::uint64_t size = 0;
  std::optional<std::string> plugin;
  bool ok = false;
  std::optional<std::string> error;   // UTF-8
  std::optional<std::string> report;  // UTF-8
  strataview::ItemTree tree;          // texts as the plug-in wrote them (Shift-JIS)
};

// The item tree, one item a line, two spaces of indent per depth.
std::string TreeText(const strataview::ItemTree& tree);
// Writes one line of JSON for the file, in pieces, so a tree of millions of
// items never needs its whole text in memory.
void WriteJsonLine(const FileResult& result, std::FILE* out);
// The dump of a range of the file in the host's layout (header, then address,
// hex and character columns side by side); empty with an error message on failure.
bool DumpText(const std::string& path, const DumpRange& range, std::string& out, std::string& error);

}  // namespace cli
