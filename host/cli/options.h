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

struct Options {
  std::vector<std::string> files;
  bool json = false;
  bool report = false;
  std::optional<DumpRange> dump;
  bool listPlugins = false;
  std::vector<std::string> enable;
  std::vector<std::string> disable;
  std::optional<bool> english;  // none: from the locale
  std::optional<std::string> pluginDir;
  bool enabledOnly = false;
  bool recursive = false;
  bool help = false;
  bool version = false;
};

// Parses argv; on a usage error returns nothing and sets error.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

extern const char kUsage[];

}  // namespace cli
