// strataview-cli: analyses files with the format plug-ins and prints their
// structures and fields, reports and dumps.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "coverage_pass.h"
#include "dump.h"
#include "field_lines.h"
#include "input_files.h"
#include "item_writers.h"
#include "json.h"
#include "json_nodes.h"
#include "nodes.h"
#include "options.h"
#include "output.h"
#include "strataview/analysis_driver.h"
#include "strataview/platform/files.h"
#include "strataview/platform/locale.h"
#include "strataview/platform/settings_store.h"
#include "strataview/plugin_manager.h"
#include "text.h"

namespace {

namespace fs = std::filesystem;
using namespace strataview;

constexpr char kVersion[] = "strataview-cli 2.0.0";

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// Standard output goes first, so that "2>&1" never splits a line.
void Complain(const std::string& text) {
  std::fflush(stdout);
  std::string line = "strataview-cli: " + cli::Visible(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

// Applies the changes in order when every name is known; saves them.
bool ChangeStates(PluginManager& plugins, const std::vector<cli::StateChange>& changes) {
  for (const cli::StateChange& change : changes) {
    bool known = change.plugin == "all";
    for (const PluginEntry& entry : plugins.Entries()) known = known || entry.fileName == change.plugin;
    if (!known) {
      Complain("no plug-in named " + change.plugin + "; no state was changed");
      return false;
    }
  }
  for (const cli::StateChange& change : changes) {
    if (change.plugin != "all") {
      plugins.SetEnabled(change.plugin, change.enable);
      continue;
    }
    for (const PluginEntry& entry : plugins.Entries()) plugins.SetEnabled(entry.fileName, change.enable);
  }
  if (!plugins.SaveEnabledStates()) {
    Complain("the plug-in states could not be saved");
    return false;
  }
  return true;
}

void ListPlugins(const PluginManager& plugins, bool json) {
  for (const PluginEntry& entry : plugins.Entries()) {
    std::string description = Cp932ToUtf8(entry.description);
    std::string type = Cp932ToUtf8(entry.typeName);
    if (!json) {
      Print(cli::Visible(entry.fileName + "\t" + (entry.enabled ? "enabled" : "disabled") + "\t" + type + "\t" +
                             entry.extensionList,
                         true) +
            "\n\t" + cli::Visible(description.substr(0, description.find('\n'))) + "\n");
      continue;
    }
    std::string out = "{\"plugin\":";
    cli::AppendJsonString(out, entry.fileName);
    out += std::string(",\"enabled\":") + (entry.enabled ? "true" : "false") + ",\"type\":";
    cli::AppendJsonString(out, type);
    out += ",\"extensions\":";
    cli::AppendJsonString(out, entry.extensionList);
    out += ",\"description\":";
    cli::AppendJsonString(out, description);
    Print(out + "}\n");
  }
}

// How the root item shows the file: the plug-in names it in the system's ANSI
// code page; the CLI shows the name as the system spells it.
cli::RootName RootNameOf(const std::string& path, const std::string& given) {
  return {cli::TextOf(cli::PathOf(PluginPath(path)).filename()), cli::TextOf(cli::PathOf(given).filename())};
}

struct Session {
  const cli::Options& options;
  HostLanguage language;
  const AnalysisDriver& driver;
  const AnalysisDriver& english;  // for the English texts of plug-in messages
  fs::path folder;                // the working folder, against which relative paths are made absolute
};

// One file on its way through the analysis.
struct FileRun {
  const Session& s;
  std::string given;     // as the user named it
  std::string analysed;  // the absolute path the plug-in gets
  std::uint64_t size;
  cli::RootName root;
  StreamFaults faults;
  std::optional<std::optional<std::string>> english;  // the plug-in message in English, once asked

  cli::FileResult Result(const AnalysisOutcome& outcome) {
    if (!english) {
      english.emplace();
      if (s.language != HostLanguage::English && outcome.hasPluginMessage) {
        auto ignore = [](const AnalysisOutcome&, std::uint32_t, const std::uint8_t*) { return 0; };
        *english = s.english.Analyse(analysed, ignore).pluginMessage;
      }
    }
    return cli::ResultOf(given, size, outcome, s.language, *english, &faults);
  }
};

// Writes one file's items as the stream is read; the reader's message number.
int WriteItems(FileRun& run, std::uint32_t length, const std::uint8_t* stream, const AnalysisOutcome& sofar) {
  const cli::Options& o = run.s.options;
  std::string out;
  cli::NodeOptions nodes{o.maxDepth, run.root, nullptr};
  int fault = kMsgNoError;
  switch (o.format) {
    case cli::Format::Lines: {
      cli::FieldLines lines(out, stdout, o.decimalOffsets ? cli::OffsetBase::Decimal : cli::OffsetBase::Hex);
      cli::NodeBuilder builder(length, stream, lines, nodes);
      fault = cli::ReadInto(builder, length, stream, &run.faults);
      break;
    }
    case cli::Format::Tree: {
      cli::TextItems items(out, stdout, run.root);
      fault = cli::ReadInto(items, length, stream, &run.faults);
      break;
    }
    case cli::Format::Json: {
      // A first pass finds the stream's faults, the nodes that take attributes late
      // and, for the coverage summary, the ranged items.
      cli::LateAttributes late;
      cli::CoveragePass ranged;
      AnalysisOutcome outcome = sofar;
      fault = outcome.readerFault = o.coverage ? cli::ReadInto(late, ranged, length, stream, &run.faults)
                                               : cli::ReadInto(late, length, stream, &run.faults);
      out = cli::JsonHead(run.Result(outcome));
      if (fault == kMsgNoError || fault == kMsgSyntaxError) {
        nodes.deferred = &late.Flags();
        cli::JsonNodes json(out, stdout);
        cli::NodeBuilder builder(length, stream, json, nodes);
        cli::ReadInto(builder, length, stream);
      }
      out += ']';
      if (o.coverage) cli::AppendCoverageJson(out, strataview::FindCoverage(ranged.Take(), run.size));
      out += "}\n";
      break;
    }
    case cli::Format::JsonTree: {
      cli::RangePass ranges;
      AnalysisOutcome outcome = sofar;
      fault = outcome.readerFault = cli::ReadInto(ranges, length, stream, &run.faults);
      out = cli::JsonTreeHead(run.Result(outcome));
      if (fault == kMsgNoError || fault == kMsgSyntaxError) {
        cli::JsonItems items(ranges.Ranges(), out, stdout, run.root);
        cli::ReadInto(items, length, stream);
      }
      out += "]}\n";
      break;
    }
  }
  cli::FlushAll(out, stdout);
  return fault;
}

// Analyses one file (path; shown as given) and writes what it finds.
cli::FileResult AnalyseOne(const Session& s, const std::string& given, const std::string& path) {
  bool json = s.options.Json();
  auto header = [&] {
    if (!json && (s.options.files.size() > 1 || s.options.recursive)) Print("== " + cli::Visible(given) + "\n");
  };
  auto writeHead = [&](const cli::FileResult& result) {
    if (!json) return;
    std::string out = s.options.format == cli::Format::Json ? cli::JsonHead(result) : cli::JsonTreeHead(result);
    cli::EndJsonLine(out, stdout);
  };
  std::uint64_t size = 0;
  if (std::optional<std::string> why = cli::WhyNotReadable(path, size)) {
    cli::FileResult result = cli::IoFailure(given, *why);
    header();
    writeHead(result);
    return result;
  }
  fs::path local = cli::PathOf(path);
  std::string analysed = cli::TextOf(local.is_absolute() ? local : s.folder / local);
  FileRun run{s, given, analysed, size, RootNameOf(analysed, given), {}, {}};
  bool written = false;
  AnalysisOutcome outcome =
      s.driver.Analyse(analysed, [&](const AnalysisOutcome& sofar, std::uint32_t length, const std::uint8_t* stream) {
        written = true;
        header();
        return WriteItems(run, length, stream, sofar);
      });
  cli::FileResult result = run.Result(outcome);
  if (!written && !(s.options.quiet && result.Unsupported())) {
    header();
    writeHead(result);
  }
  return result;
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
  if (!o.changes.empty() && !ChangeStates(plugins, o.changes)) ++failures;
  if (o.listPlugins) ListPlugins(plugins, o.Json());

  PluginChoice choice = o.enabledOnly ? PluginChoice::EnabledOnly : PluginChoice::All;
  if (o.plugin) {
    // Only the named plug-in is offered the files; the stored states stay as they are.
    bool found = false;
    for (const PluginEntry& entry : plugins.Entries()) {
      found = found || entry.fileName == *o.plugin;
      plugins.SetEnabled(entry.fileName, entry.fileName == *o.plugin);
    }
    if (!found) {
      Complain("no plug-in named " + *o.plugin + " (see --plugins)");
      return 2;
    }
    choice = PluginChoice::EnabledOnly;
  }
  AnalysisDriver driver(plugins, english ? hpi::kEnglish : hpi::kJapanese, choice);
  AnalysisDriver englishDriver(plugins, hpi::kEnglish, choice);
  std::error_code ec;
  Session session{o, language, driver, englishDriver, fs::current_path(ec)};

  std::vector<std::string> errors;
  std::vector<std::string> files = cli::ExpandArguments(o.files, o.recursive, errors);
  for (const std::string& error : errors) Complain(error);
  failures += static_cast<int>(errors.size());
  cli::StdinCopy input;
  int analysed = 0, unsupported = 0;
  for (const std::string& file : files) {
    std::string path = file;
    if (file == "-") {
      std::string error;
      std::optional<std::string> copy = input.Make(error);
      if (!copy) {
        Complain("-: " + error);
        ++failures;
        continue;
      }
      path = *copy;
    }
    cli::FileResult result = AnalyseOne(session, file, path);
    if (result.ok()) {
      ++analysed;
    } else {
      ++failures;
      unsupported += result.Unsupported();
      if (!(o.quiet && result.Unsupported())) {
        std::string at = result.fault ? " (at offset " + std::to_string(result.fault->offset) + ")" : "";
        Complain(file + ": " + result.error->messageLocal.value_or(result.error->message) + at);
      }
    }
    if (!o.Json() && o.report && result.report) {
      std::string report = cli::Visible(*result.report, true);
      Print(report + (report.ends_with('\n') ? "" : "\n"));
    }
    if (!o.Json() && o.dump && result.size) {
      std::string error, warning;
      bool dumped = cli::WriteDump(path, *o.dump, stdout, error, warning);
      if (!warning.empty()) Complain(file + ": " + warning);
      if (!dumped) {
        Complain(file + ": " + error);
        ++failures;
      }
    }
    if (std::ferror(stdout)) break;
  }
  if (files.size() > 1) {
    Complain(std::to_string(analysed) + " analysed, " + std::to_string(files.size() - analysed) + " not analysed (" +
             std::to_string(unsupported) + " unsupported)");
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    int error = errno;
    std::string line = std::string("strataview-cli: write error: ") + std::strerror(error) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    return 1;
  }
  return failures > 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareUtf8Console();
  static char buffer[1 << 16];  // the CLI hands stdout whole lines and blocks of lines
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  std::vector<std::string> args = Utf8Arguments(argc, argv);
  std::string error;
  std::optional<cli::Options> options = cli::ParseOptions(args, error);
  if (!options) {
    std::fprintf(stderr, "strataview-cli: %s\nTry 'strataview-cli --help' for more information.\n",
                 cli::Visible(error).c_str());
    return 2;
  }
  return Run(*options);
}
