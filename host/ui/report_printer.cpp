#include "report_printer.h"

#include <algorithm>
#include <string>
#include <vector>

#include "strataview/report_text.h"

namespace strataview::ui {

const PrintCalls kPrinterCalls = {StartDocW, StartPage, EndPage, EndDoc, AbortDoc};

namespace {

constexpr wchar_t kDocumentName[] = L"無題";
constexpr int kFallbackPoints = 12;
constexpr int kPointsPerInch = 72;

bool PrintPage(HDC dc, const std::vector<std::wstring>& lines, const ReportPage& page, int lineHeight,
               const PrintCalls& calls) {
  if (calls.startPage(dc) <= 0) return false;
  for (std::size_t k = 0; k < page.count; ++k) {
    const std::wstring& line = lines[page.first + k];
    int y = kPrintMargin + static_cast<int>(k) * lineHeight;
    if (!line.empty()) TextOutW(dc, kPrintMargin, y, line.c_str(), static_cast<int>(line.size()));
  }
  return calls.endPage(dc) > 0;
}

// The height of the default font; a device that cannot tell it (a metafile
// under some systems) gets lines of a 12-point font at its resolution.
int LineHeight(HDC dc) {
  TEXTMETRICW metrics{};
  if (GetTextMetricsW(dc, &metrics) && metrics.tmHeight > 0) return static_cast<int>(metrics.tmHeight);
  return std::max(1, MulDiv(kFallbackPoints, GetDeviceCaps(dc, LOGPIXELSY), kPointsPerInch));
}

}  // namespace

int PrintReport(HDC dc, const DEVMODEW* mode, std::wstring_view text, const PrintCalls& calls) {
  DOCINFOW document{};
  document.cbSize = sizeof document;
  document.lpszDocName = kDocumentName;
  if (calls.startDoc(dc, &document) <= 0) return kMsgPrint;
  if (mode != nullptr && ResetDCW(dc, mode) == nullptr) {
    calls.abortDoc(dc);
    return kMsgPrint;
  }
  int lineHeight = LineHeight(dc);
  std::vector<std::wstring> lines = PrintedLines(text);
  for (const ReportPage& page : PaginateReport(lines.size(), lineHeight, GetDeviceCaps(dc, VERTRES))) {
    if (!PrintPage(dc, lines, page, lineHeight, calls)) {
      calls.abortDoc(dc);
      return kMsgPrint;
    }
  }
  return calls.endDoc(dc) > 0 ? 0 : kMsgPrint;
}

}  // namespace strataview::ui
