#include "output.h"

#include <algorithm>
#include <string_view>

#include "item_writers.h"
#include "json.h"
#include "strataview/dump_window.h"
#include "strataview/host_messages.h"
#include "strataview/platform/files.h"

namespace cli {
namespace {

void AppendOptional(std::string& out, const std::optional<std::string>& text) {
  if (text) {
    AppendJsonString(out, *text);
  } else {
    out += "null";
  }
}

// Strips the CR LF that ends a column text.
std::string_view Line(const std::string& text, std::size_t at, std::size_t chars) {
  std::string_view line = std::string_view(text).substr(at, chars);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

FileResult ResultOf(const std::string& file, std::uint64_t size, const strataview::AnalysisOutcome& outcome,
                    strataview::HostLanguage language) {
  using namespace strataview;
  FileResult result;
  result.file = file;
  result.size = size;
  if (!outcome.pluginFile.empty()) result.plugin = outcome.pluginFile;
  result.ok = outcome.ok();
  if (!outcome.analysed) {
    result.error = outcome.hasPluginMessage ? Cp932ToUtf8(outcome.pluginMessage)
                                            : std::string(HostMessageText(outcome.hostMessage, language));
  } else if (outcome.readerFault != kMsgNoError) {
    result.error = HostMessageText(outcome.readerFault, language);
  }
  if (!outcome.report.empty()) result.report = Cp932ToUtf8(outcome.report);
  return result;
}

std::string JsonHead(const FileResult& r) {
  std::string out = "{\"file\":";
  AppendJsonString(out, r.file);
  out += ",\"size\":" + std::to_string(r.size) + ",\"plugin\":";
  AppendOptional(out, r.plugin);
  out += std::string(",\"ok\":") + (r.ok ? "true" : "false") + ",\"error\":";
  AppendOptional(out, r.error);
  out += ",\"report\":";
  AppendOptional(out, r.report);
  out += ",\"items\":[";
  return out;
}

void EndJsonLine(std::string& out, std::FILE* file) {
  out += "]}\n";
  FlushAll(out, file);
}

bool DumpText(const std::string& path, const DumpRange& range, std::string& out, std::string& error) {
  using namespace strataview;
  DumpWindow window;
  if (int message = window.Open(path)) {
    error = HostMessageText(message, HostLanguage::English);
    return false;
  }
  std::uint64_t first = range.offset / kBytesPerLine;
  std::uint64_t end = window.LineCount();
  if (range.length) {
    std::uint64_t last = range.offset + *range.length;
    if (last < range.offset) last = ~0ull;  // wrapped: to the end
    end = std::min(end, (last + kBytesPerLine - 1) / kBytesPerLine);
  }
  out += HeaderFor(window.Wide()).full;
  out += '\n';
  for (std::uint64_t line = first; line < end; line += window.LoadedLines()) {
    if (int message = window.LoadAt(line)) {
      error = HostMessageText(message, HostLanguage::English);
      return false;
    }
    if (window.LoadedLines() == 0) break;
    std::size_t shown = static_cast<std::size_t>(std::min<std::uint64_t>(window.LoadedLines(), end - line));
    for (std::size_t r = 0; r < shown; ++r) {
      out += Line(window.Text(kAddressColumn), r * window.LineChars(kAddressColumn), window.LineChars(kAddressColumn));
      out += ':';
      std::string_view hex = Line(window.Text(kHexColumn), r * kHexLineChars, kHexLineChars);
      out += hex;
      out.append(kHexLineChars - 2 - hex.size(), ' ');
      out += ' ';
      out +=
          Cp932ToUtf8(Line(window.Text(kCharColumn), r * window.LineChars(kCharColumn), window.LineChars(kCharColumn)));
      out += '\n';
    }
  }
  return true;
}

}  // namespace cli
