#include "strataview/report_text.h"

#include <filesystem>
#include <fstream>

#include "strataview/host_messages.h"

namespace strataview {
namespace {

bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

}  // namespace

std::vector<std::wstring> PrintedLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  std::size_t i = 0;
  while (i < text.size()) {
    std::wstring line;
    for (; i < text.size() && !IsLineBreak(text[i]) && line.size() < kPrintLineChars; ++i) {
      if (text[i] != L'\t') {
        line += text[i];
        continue;
      }
      do {
        line += L' ';
      } while (line.size() % kTabColumns != 0 && line.size() < kPrintLineChars);
    }
    if (i < text.size() && IsLineBreak(text[i])) ++i;
    if (i < text.size() && IsLineBreak(text[i]) && IsLineBreak(text[i - 1])) ++i;
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<ReportPage> PaginateReport(std::size_t lineCount, int lineHeight, int pageHeight) {
  std::vector<ReportPage> pages;
  const int bottom = pageHeight - kPrintMargin;
  for (std::size_t line = 0; line < lineCount;) {
    ReportPage page{line, 0};
    for (int y = kPrintMargin; line < lineCount && (page.count == 0 || y + lineHeight <= bottom); y += lineHeight) {
      ++page.count;
      ++line;
    }
    pages.push_back(page);
  }
  return pages;
}

std::string ReportFileBytes(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

int SaveReportFile(const std::string& path, std::string_view text) {
  std::ofstream out(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary | std::ios::trunc);
  if (!out) return kMsgFileOpen;
  const std::string bytes = ReportFileBytes(text);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out ? 0 : kMsgReportWrite;
}

}  // namespace strataview
