// What strataview-cli prints for one analysed file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "options.h"
#include "strataview/analysis_driver.h"

namespace cli {

struct FileResult {
  std::string file;  // as given
  std::uint64_t size = 0;
  std::optional<std::string> plugin;
  bool ok = false;
  std::optional<std::string> error;   // UTF-8
  std::optional<std::string> report;  // UTF-8
};

FileResult ResultOf(const std::string& file, std::uint64_t size, const strataview::AnalysisOutcome& outcome,
                    strataview::HostLanguage language);

// A file's JSON line is its head, its items (JsonItems) and its end.
std::string JsonHead(const FileResult& result);
void EndJsonLine(std::string& out, std::FILE* file);
// The dump of a range of the file in the host's layout (header, then address,
// hex and character columns side by side); empty with an error message on failure.
bool DumpText(const std::string& path, const DumpRange& range, std::string& out, std::string& error);

}  // namespace cli
