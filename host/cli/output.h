// What strataview-cli tells about one file: its result, and the JSON line's head and end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "strataview/analysis_driver.h"

namespace cli {

struct FileError {
  const char* kind;                         // "io", "unsupported", "analysis" or "stream"
  std::string message;                      // English, UTF-8
  std::optional<std::string> messageLocal;  // in the chosen language, when it differs
};

// Where a failed analysis stopped, when the plug-in handed over what it found before.
struct Fault {
  std::uint64_t offset;
  std::string message;  // UTF-8
};

struct FileResult {
  std::string file;                   // as given
  std::optional<std::uint64_t> size;  // none when the file cannot be read
  std::optional<std::string> plugin;
  std::optional<FileError> error;     // none: analysed to the end
  std::optional<std::string> report;  // UTF-8
  std::optional<Fault> fault;
  bool ok() const { return !error; }
  bool Unsupported() const { return error && std::string_view(error->kind) == "unsupported"; }
};

// The result of an analysis; english is the outcome's plug-in message in English
// when the analysis ran in another language, faults what the stream's reader met.
FileResult ResultOf(const std::string& file, std::optional<std::uint64_t> size,
                    const strataview::AnalysisOutcome& outcome, strataview::HostLanguage language,
                    const std::optional<std::string>& english = std::nullopt,
                    const strataview::StreamFaults* faults = nullptr);
// A file that was refused before any plug-in saw it.
FileResult IoFailure(const std::string& file, const std::string& reason);

// A file's JSON line is its head, its items and its end.
std::string JsonHead(const FileResult& result);      // schema 2
std::string JsonTreeHead(const FileResult& result);  // the window's tree
void EndJsonLine(std::string& out, std::FILE* file);

}  // namespace cli
