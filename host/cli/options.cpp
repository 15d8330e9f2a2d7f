#include "options.h"

#include <cstdlib>

namespace cli {

const char kUsage[] =
    "usage: strataview-cli [options] FILE...\n"
    "\n"
    "Analyses each file with the first format plug-in that accepts it and prints\n"
    "its item tree, one item a line, indented two spaces per depth (UTF-8).\n"
    "\n"
    "options:\n"
    "  --json                one JSON object per file, each on its own line:\n"
    "                        {\"file\", \"size\", \"plugin\", \"ok\", \"error\", \"report\", \"items\"}\n"
    "  --report              also print the plug-in's file report\n"
    "  --dump[=OFFSET[:LENGTH]]\n"
    "                        also print the hex dump (whole file, or LENGTH bytes\n"
    "                        from OFFSET; numbers in decimal or 0x hex; text output only)\n"
    "  -r, --recursive       analyse the files below directories given as arguments\n"
    "  --plugins             list the plug-ins found, with filter and enabled state\n"
    "  --enable NAME|all     enable a plug-in (file name, e.g. Voltane.hpi) or all\n"
    "  --disable NAME|all    disable a plug-in or all (the GUI reads the same states)\n"
    "  --enabled-only        offer files only to enabled plug-ins, as the GUI does\n"
    "                        (default: every plug-in found)\n"
    "  --lang=en|ja          language of the messages (default: the locale's)\n"
    "  --plugin-dir DIR      folder of the .hpi plug-ins (default: the program's folder)\n"
    "  -h, --help            show this help\n"
    "  --version             show the version\n"
    "\n"
    "exit status: 0 every file analysed, 1 any file not analysed, 2 usage error\n";

namespace {

bool ParseNumber(const std::string& text, std::uint64_t& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtoull(text.c_str(), &end, 0);
  return end != nullptr && *end == '\0' && text[0] != '-';
}

bool ParseDump(const std::string& text, DumpRange& range) {
  if (text.empty()) return true;
  std::size_t colon = text.find(':');
  if (!ParseNumber(text.substr(0, colon), range.offset)) return false;
  if (colon == std::string::npos) return true;
  std::uint64_t length = 0;
  if (!ParseNumber(text.substr(colon + 1), length)) return false;
  range.length = length;
  return true;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options o;
  bool onlyFiles = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const char* name) -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        error = std::string(name) + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    if (onlyFiles || a.empty() || a[0] != '-' || a == "-") {
      o.files.push_back(a);
    } else if (a == "--") {
      onlyFiles = true;
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--report") {
      o.report = true;
    } else if (a == "--dump" || a.starts_with("--dump=")) {
      DumpRange range;
      if (!ParseDump(a.size() > 7 ? a.substr(7) : "", range)) {
        error = "bad --dump range: " + a;
        return std::nullopt;
      }
      o.dump = range;
    } else if (a == "-r" || a == "--recursive") {
      o.recursive = true;
    } else if (a == "--plugins") {
      o.listPlugins = true;
    } else if (a == "--enable" || a == "--disable") {
      auto name = value(a.c_str());
      if (!name) return std::nullopt;
      (a == "--enable" ? o.enable : o.disable).push_back(*name);
    } else if (a == "--enabled-only") {
      o.enabledOnly = true;
    } else if (a == "--lang=en" || a == "--lang=ja") {
      o.english = a == "--lang=en";
    } else if (a == "--plugin-dir") {
      auto dir = value("--plugin-dir");
      if (!dir) return std::nullopt;
      o.pluginDir = *dir;
    } else if (a == "-h" || a == "--help") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else {
      error = "unknown option: " + a;
      return std::nullopt;
    }
  }
  bool acts = o.help || o.version || o.listPlugins || !o.enable.empty() || !o.disable.empty();
  if (o.files.empty() && !acts) {
    error = "no file given";
    return std::nullopt;
  }
  return o;
}

}  // namespace cli
