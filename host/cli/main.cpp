// strataview-cli: analyses files with the format plug-ins and prints their item
// trees, reports and dumps.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "item_writers.h"
#include "options.h"
#include "output.h"
#include "strataview/analysis_driver.h"
#include "strataview/platform/files.h"
#include "strataview/platform/locale.h"
#include "strataview/platform/settings_store.h"
#include "strataview/plugin_manager.h"

namespace {

namespace fs = std::filesystem;
using namespace strataview;

constexpr char kVersion[] = "strataview-cli 1.0.0";

// Paths travel as UTF-8 text.
fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }
std::string TextOf(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// The files to analyse: the arguments, with directories walked when recursive.
std::vector<std::string> Expand(const std::vector<std::string>& args, bool recursive, int& failures) {
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    std::error_code ec;
    if (!fs::is_directory(PathOf(arg), ec)) {
      files.push_back(arg);
      continue;
    }
    if (!recursive) {
      std::fprintf(stderr, "strataview-cli: %s: is a directory (use -r)\n", arg.c_str());
      ++failures;
      continue;
    }
    std::vector<std::string> found;
    for (auto it = fs::recursive_directory_iterator(PathOf(arg), ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      if (it->is_regular_file(ec)) found.push_back(TextOf(it->path()));
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

bool ChangeStates(PluginManager& plugins, const std::vector<std::string>& names, bool enabled) {
  bool ok = true;
  for (const std::string& name : names) {
    if (name == "all") {
      for (const PluginEntry& entry : plugins.Entries()) plugins.SetEnabled(entry.fileName, enabled);
    } else if (!plugins.SetEnabled(name, enabled)) {
      std::fprintf(stderr, "strataview-cli: no plug-in named %s\n", name.c_str());
      ok = false;
    }
  }
  return ok;
}

void ListPlugins(const PluginManager& plugins) {
  for (const PluginEntry& entry : plugins.Entries()) {
    std::string description = Cp932ToUtf8(entry.description);
    std::string firstLine = description.substr(0, description.find('\n'));
    Print(entry.fileName + "\t" + (entry.enabled ? "enabled" : "disabled") + "\t" + Cp932ToUtf8(entry.typeName) + "\t" +
          entry.extensionList + "\n\t" + firstLine + "\n");
  }
}

// The tree's lines, written as the stream is read.
int WriteTree(std::uint32_t length, const std::uint8_t* stream) {
  std::string out;
  cli::TextItems items(out, stdout);
  int fault = cli::ReadInto(items, length, stream);
  cli::FlushAll(out, stdout);
  return fault;
}

// The file's JSON line; with a stream, a first pass finds the items' ranges and
// any fault, so the head is complete before the items are written. A fault in the
// stream stops the second pass where it stopped the first; when memory ran out
// instead, no items are written.
int WriteJson(const std::string& file, std::uint64_t size, AnalysisOutcome outcome, HostLanguage language,
              std::uint32_t length = 0, const std::uint8_t* stream = nullptr) {
  cli::RangePass ranges;
  if (stream != nullptr) outcome.readerFault = cli::ReadInto(ranges, length, stream);
  std::string out = cli::JsonHead(cli::ResultOf(file, size, outcome, language));
  bool endedByStream = outcome.readerFault == kMsgNoError || outcome.readerFault == kMsgSyntaxError;
  if (stream != nullptr && endedByStream) {
    cli::JsonItems items(ranges.Ranges(), out, stdout);
    cli::ReadInto(items, length, stream);
  }
  cli::EndJsonLine(out, stdout);
  return outcome.readerFault;
}

// Analyses one file and writes its items (tree lines or a JSON line) as the stream is read.
cli::FileResult AnalyseOne(const AnalysisDriver& driver, const std::string& file, HostLanguage language, bool json) {
  std::error_code ec;
  fs::path path = fs::absolute(PathOf(file), ec);
  std::string absolute = ec ? file : TextOf(path);
  auto fileSize = fs::file_size(path, ec);
  std::uint64_t size = ec ? 0 : fileSize;
  bool written = false;
  AnalysisOutcome outcome =
      driver.Analyse(absolute, [&](const AnalysisOutcome& sofar, std::uint32_t length, const std::uint8_t* stream) {
        written = json;
        return json ? WriteJson(file, size, sofar, language, length, stream) : WriteTree(length, stream);
      });
  if (json && !written) WriteJson(file, size, outcome, language);
  return cli::ResultOf(file, size, outcome, language);
}

int Run(const cli::Options& o) {
  if (o.help) {
    Print(cli::kUsage);
    return 0;
  }
  if (o.version) {
    Print(std::string(kVersion) + "\n");
    return 0;
  }
  bool english = o.english.value_or(!UserLanguageIsJapanese());
  HostLanguage language = english ? HostLanguage::English : HostLanguage::Japanese;
  std::string folder = ProgramFolder();
  if (o.pluginDir) {
    folder = *o.pluginDir;
    if (!folder.empty() && folder.back() != '/' && folder.back() != FolderSeparator()) folder += FolderSeparator();
  }
  std::unique_ptr<SettingsStore> store = OpenSettingsStore();
  PluginManager plugins(folder, *store);

  int failures = 0;
  if (!o.enable.empty() || !o.disable.empty()) {
    bool ok = ChangeStates(plugins, o.enable, true) && ChangeStates(plugins, o.disable, false);
    plugins.SaveEnabledStates();
    if (!ok) ++failures;
  }
  if (o.listPlugins) ListPlugins(plugins);

  AnalysisDriver driver(plugins, english ? hpi::kEnglish : hpi::kJapanese,
                        o.enabledOnly ? PluginChoice::EnabledOnly : PluginChoice::All);
  for (const std::string& file : Expand(o.files, o.recursive, failures)) {
    if (!o.json && (o.files.size() > 1 || o.recursive)) Print("== " + file + "\n");
    cli::FileResult result = AnalyseOne(driver, file, language, o.json);
    if (!result.ok) {
      ++failures;
      std::fprintf(stderr, "strataview-cli: %s: %s\n", file.c_str(), result.error.value_or("").c_str());
    }
    if (o.json) continue;
    if (o.report && result.report) Print(*result.report + (result.report->ends_with('\n') ? "" : "\n"));
    if (o.dump) {
      std::string dump, error;
      if (cli::DumpText(file, *o.dump, dump, error)) {
        Print(dump);
      } else {
        std::fprintf(stderr, "strataview-cli: %s: %s\n", file.c_str(), error.c_str());
        ++failures;
      }
    }
  }
  std::fflush(stdout);
  return failures > 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareUtf8Console();
  std::vector<std::string> args = Utf8Arguments(argc, argv);
  std::string error;
  std::optional<cli::Options> options = cli::ParseOptions(args, error);
  if (!options) {
    std::fprintf(stderr, "strataview-cli: %s\n%s", error.c_str(), cli::kUsage);
    return 2;
  }
  return Run(*options);
}
