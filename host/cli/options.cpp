#include "options.h"

#include <cerrno>
#include <cstdlib>

namespace cli {

const char kUsage[] =
    "usage: strataview-cli [options] FILE...\n"
    "\n"
    "Analyses each file with the first format plug-in that accepts it and prints\n"
    "one line per structure or field (UTF-8), e.g.\n"
    "    bfType                 @0x00000000 +2        0x4d42(19778) 'BM'\n"
    "with notes as indented \"- \" lines. FILE - reads standard input. Control\n"
    "characters in any text are shown as \\r, \\n, \\t or \\xNN. A damaged file shows\n"
    "what was read before the damage, then a \"FAULT: message\" line where it stopped.\n"
    "\n"
    "output:\n"
    "  --json                one JSON object per file per line (schema 2, below)\n"
    "  --tree                the window's tree instead: one item a line, offset,\n"
    "                        size and value as child lines\n"
    "  --json-tree           the window's tree as JSON: {\"file\", \"size\", \"plugin\",\n"
    "                        \"ok\", \"error\", \"report\", \"items\": [{\"text\", \"image\",\n"
    "                        \"offset\", \"size\", \"children\"}]}\n"
    "  --max-depth N         leave out nodes below depth N (the root is depth 0)\n"
    "  --offsets=hex|dec     offsets in hex (default) or decimal\n"
    "  --report              also print the plug-in's file report\n"
    "  --dump[=OFFSET[:LENGTH]]\n"
    "                        also print the hex dump (whole file, or LENGTH bytes\n"
    "                        from OFFSET; decimal or 0x hex; text output only)\n"
    "  -q, --quiet           print nothing for files no plug-in accepts\n"
    "  --no-coverage         leave the coverage summary out of the JSON line\n"
    "files and plug-ins:\n"
    "  -r, --recursive       analyse the files below folders given as arguments\n"
    "  --plugin NAME         use only this plug-in (file name, e.g. Voltane.hpi)\n"
    "  --plugins             list the plug-ins found (with --json: one JSON line each:\n"
    "                        {\"plugin\", \"enabled\", \"type\", \"extensions\", \"description\"})\n"
    "  --enable NAME|all     enable a plug-in or all; --enable and --disable apply in\n"
    "  --disable NAME|all    the order given, all or none (the GUI reads the same states)\n"
    "  --enabled-only        offer files only to enabled plug-ins, as the GUI does\n"
    "                        (default: every plug-in found)\n"
    "  --lang en|ja          language of the messages (default: the locale's)\n"
    "  --plugin-dir DIR      folder of the .hpi plug-ins (default: the program's folder)\n"
    "  -h, --help            show this help\n"
    "  --version             show the version\n"
    "\n"
    "JSON schema 2, one line per file:\n"
    "  {\"schema\": 2, \"file\": path as given, \"size\": N|null, \"plugin\": name|null,\n"
    "   \"ok\": bool, \"error\": null|{\"kind\": \"io\"|\"unsupported\"|\"analysis\"|\"stream\",\n"
    "   \"message\": English text, \"message_local\": text in --lang when it differs},\n"
    "   \"report\": text|null, \"fault\": {\"offset\": N, \"message\": text}, \"items\": [NODE...],\n"
    "   \"coverage\": {\"explained\": bytes, \"unexplained\": [[offset, size]...],\n"
    "   \"past_end\": [[offset, size]...], \"overlaps\": [[offset, size]...]}}\n"
    "  NODE = {\"name\", \"kind\": \"root\"|\"group\"|\"field\"|\"fault\", \"offset\", \"size\",\n"
    "   \"values\": [VALUE...], \"comment\", \"notes\": [text...], \"children\": [NODE...]}\n"
    "  VALUE = {\"type\": \"unsigned\"|\"signed\"|\"hex\"|\"text\"|\"real\"|\"long\",\n"
    "   \"width\": bytes, \"value\": number or text, \"display\": the value as shown,\n"
    "   \"comment\"}\n"
    "  Keys without content are left out (\"display\" of a text value, which is\n"
    "  its value); \"fault\" is there when a plug-in handed over what it found\n"
    "  before a failure. Numbers are exact; texts are UTF-8.\n"
    "\n"
    "exit status: 0 every file analysed, 1 any file not analysed or output not\n"
    "written, 2 usage error\n";

namespace {

// Decimal, or hex after 0x; never octal, never more than 64 bits.
bool ParseNumber(const std::string& text, std::uint64_t& value) {
  bool hex = text.starts_with("0x") || text.starts_with("0X");
  std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits[0] == '-' || digits[0] == '+' || digits[0] == ' ') return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoull(digits.c_str(), &end, hex ? 16 : 10);
  return errno == 0 && end != nullptr && *end == '\0';
}

bool ParseDump(const std::string& text, DumpRange& range) {
  if (text.empty()) return true;
  std::size_t colon = text.find(':');
  if (!ParseNumber(text.substr(0, colon), range.offset)) return false;
  if (colon == std::string::npos) return true;
  std::uint64_t length = 0;
  if (!ParseNumber(text.substr(colon + 1), length)) return false;
  if (length > ~0ull - range.offset) return false;  // the end does not fit in 64 bits
  range.length = length;
  return true;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options o;
  bool onlyFiles = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    // The value of "--name VALUE" or "--name=VALUE".
    auto value = [&](const std::string& name) -> std::optional<std::string> {
      if (a.size() > name.size()) return a.substr(name.size() + 1);
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    auto is = [&](const std::string& name) { return a == name || a.starts_with(name + "="); };
    if (onlyFiles || a.empty() || a[0] != '-' || a == "-") {
      o.files.push_back(a);
    } else if (a == "--") {
      onlyFiles = true;
    } else if (a == "--json") {
      o.format = Format::Json;
    } else if (a == "--json-tree") {
      o.format = Format::JsonTree;
    } else if (a == "--tree") {
      o.format = Format::Tree;
    } else if (a == "--report") {
      o.report = true;
    } else if (a == "--dump" || a.starts_with("--dump=")) {
      DumpRange range;
      if (!ParseDump(a.size() > 7 ? a.substr(7) : "", range)) {
        error = "bad --dump range (decimal or 0x hex numbers, ending within 64 bits): " + a;
        return std::nullopt;
      }
      o.dump = range;
    } else if (a == "-r" || a == "--recursive") {
      o.recursive = true;
    } else if (a == "-q" || a == "--quiet") {
      o.quiet = true;
    } else if (a == "--no-coverage") {
      o.coverage = false;
    } else if (a == "--plugins") {
      o.listPlugins = true;
    } else if (is("--enable") || is("--disable")) {
      bool enable = is("--enable");
      auto name = value(enable ? "--enable" : "--disable");
      if (!name) return std::nullopt;
      o.changes.push_back({*name, enable});
    } else if (a == "--enabled-only") {
      o.enabledOnly = true;
    } else if (is("--lang")) {
      auto lang = value("--lang");
      if (!lang) return std::nullopt;
      if (*lang != "en" && *lang != "ja") {
        error = "--lang takes en or ja";
        return std::nullopt;
      }
      o.english = *lang == "en";
    } else if (is("--plugin-dir")) {
      auto dir = value("--plugin-dir");
      if (!dir) return std::nullopt;
      o.pluginDir = *dir;
    } else if (is("--plugin")) {
      auto name = value("--plugin");
      if (!name) return std::nullopt;
      o.plugin = *name;
    } else if (is("--max-depth")) {
      auto depth = value("--max-depth");
      std::uint64_t n = 0;
      if (!depth || !ParseNumber(*depth, n)) {
        if (depth) error = "--max-depth takes a number";
        return std::nullopt;
      }
      o.maxDepth = static_cast<std::size_t>(n);
    } else if (a == "--offsets=hex" || a == "--offsets=dec") {
      o.decimalOffsets = a == "--offsets=dec";
    } else if (a == "-h" || a == "--help") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else {
      error = "unknown option: " + a;
      return std::nullopt;
    }
  }
  bool acts = o.help || o.version || o.listPlugins || !o.changes.empty();
  if (o.files.empty() && !acts) {
    error = "no file given";
    return std::nullopt;
  }
  return o;
}

}  // namespace cli
