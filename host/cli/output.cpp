#include "output.h"

#include <algorithm>
#include <string_view>

#include "json.h"
#include "strataview/dump_window.h"
#include "strataview/host_messages.h"
#include "strataview/platform/files.h"

namespace cli {
namespace {

using strataview::ItemHandle;
using strataview::ItemTree;

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Plug-in texts are Shift-JIS; most are plain ASCII, which reads the same in UTF-8.
template <typename Append>
void WithUtf8(std::string_view text, Append append) {
  if (IsAscii(text)) {
    append(text);
  } else {
    append(strataview::Cp932ToUtf8(text));
  }
}

void AppendTree(const ItemTree& tree, ItemHandle h, int depth, std::string& out) {
  const strataview::Item& item = tree.At(h);
  out.append(static_cast<std::size_t>(2 * depth), ' ');
  WithUtf8(item.text, [&](std::string_view utf8) { out += utf8; });
  out += '\n';
  for (ItemHandle c : item.children) AppendTree(tree, c, depth + 1, out);
}

constexpr std::size_t kFlushBytes = 1 << 20;

void Flush(std::string& out, std::FILE* file) {
  std::fwrite(out.data(), 1, out.size(), file);
  out.clear();
}

void AppendNode(const ItemTree& tree, ItemHandle h, std::string& out, std::FILE* file) {
  if (out.size() >= kFlushBytes) Flush(out, file);
  const strataview::Item& item = tree.At(h);
  out += "{\"text\":";
  WithUtf8(item.text, [&](std::string_view utf8) { AppendJsonString(out, utf8); });
  out += ",\"image\":";
  AppendJsonNumber(out, static_cast<std::uint64_t>(item.image));
  if (auto range = tree.RangeOf(h)) {
    out += ",\"offset\":";
    AppendJsonNumber(out, range->offset);
    out += ",\"size\":";
    AppendJsonNumber(out, range->size);
  }
  out += ",\"children\":[";
  for (std::size_t i = 0; i < item.children.size(); ++i) {
    if (i > 0) out += ',';
    AppendNode(tree, item.children[i], out, file);
  }
  out += "]}";
}

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

std::string TreeText(const ItemTree& tree) {
  std::string out;
  for (ItemHandle h : tree.TopLevel()) AppendTree(tree, h, 0, out);
  return out;
}

void WriteJsonLine(const FileResult& r, std::FILE* file) {
  std::string out = "{\"file\":";
  AppendJsonString(out, r.file);
  out += ",\"size\":" + std::to_string(r.size) + ",\"plugin\":";
  AppendOptional(out, r.plugin);
  out += std::string(",\"ok\":") + (r.ok ? "true" : "false") + ",\"error\":";
  AppendOptional(out, r.error);
  out += ",\"report\":";
  AppendOptional(out, r.report);
  out += ",\"items\":[";
  for (std::size_t i = 0; i < r.tree.TopLevel().size(); ++i) {
    if (i > 0) out += ',';
    AppendNode(r.tree, r.tree.TopLevel()[i], out, file);
  }
  out += "]}\n";
  Flush(out, file);
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
