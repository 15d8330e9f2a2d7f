// The file report dialog's text work: the printed lines, their pages and the
// bytes written when the report is saved as a text file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace strataview {

// Host message numbers of the report dialog; the message table has no rows for
// them, so they show its default text.
enum ReportMessage : int {
  kMsgReportEmpty = 23,
  kMsgReportText = 24,
  kMsgPrint = 25,
  kMsgReportWrite = 26,
};

inline constexpr std::size_t kPrintLineChars = 255;
inline constexpr std::size_t kTabColumns = 8;
// Device units left free above the first line of each page (and below the last).
inline constexpr int kPrintMargin = 100;

// The printed lines of a text: a line ends at a CR, an LF or the end of the text,
// and one line break is a CR or LF with at most one more CR or LF right after it
// (so CR LF, LF and LF LF each end one line). A tab becomes spaces up to the next
// multiple of 8 columns; a line longer than 255 characters goes on as the next line.
std::vector<std::wstring> PrintedLines(std::wstring_view text);

// Lines [first, first + count) of the printed lines; line k of a page is drawn at
// y = kPrintMargin + k * lineHeight.
struct ReportPage {
  std::size_t first;
  std::size_t count;
};

// Splits lineCount lines of lineHeight device units into pages of pageHeight
// units: a new page starts when the next line would reach into the bottom margin.
// Every line is on a page, and each page holds at least one.
std::vector<ReportPage> PaginateReport(std::size_t lineCount, int lineHeight, int pageHeight);

// The bytes a saved report holds: the text with each LF written as CR LF, as a
// text-mode stream writes it.
std::string ReportFileBytes(std::string_view text);

// Writes ReportFileBytes(text) to path (UTF-8), replacing the file. 0, or the host
// message: 4 when the file cannot be created, kMsgReportWrite when a write falls short.
int SaveReportFile(const std::string& path, std::string_view text);

}  // namespace strataview
