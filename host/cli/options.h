// The command line of strataview-cli.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli {

struct DumpRange {
  std::uint64_t offset = 0;
  std::optional<std::uint64_t> length;  // none: to the end of the file
};

enum class Format {
  Lines,     // one line per node (default)
  Tree,      // the window's tree, one item a line
  Json,      // schema 2
  JsonTree,  // the window's tree as JSON
};

struct StateChange {
  std::string plugin;  // a file name, or "all"
  bool enable;
};

struct Options {
  std::vector<std::string> files;  // "-" is standard input
  Format format = Format::Lines;
  bool report = false;
  std::optional<DumpRange> dump;
  bool listPlugins = false;
  std::vector<StateChange> changes;  // in the order given
  std::optional<bool> english;       // none: from the locale
  std::optional<std::string> pluginDir;
  std::optional<std::string> plugin;  // the one plug-in to use
  std::optional<std::size_t> maxDepth;
  bool decimalOffsets = false;
  bool quiet = false;    // nothing for files no plug-in accepts
  bool coverage = true;  // the JSON line's coverage summary
  bool enabledOnly = false;
  bool recursive = false;
  bool help = false;
  bool version = false;
  bool Json() const { return format == Format::Json || format == Format::JsonTree; }
};

// Parses argv; on a usage error returns nothing and sets error.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

extern const char kUsage[];

}  // namespace cli
