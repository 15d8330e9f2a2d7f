// Printing the file report through GDI: its lines from (100, 100) down each
// page, a new page whenever the next line would not fit.
#pragma once

#include <windows.h>

#include <string_view>

namespace strataview::ui {

// The document and page calls of a print job (the printer's own by default).
struct PrintCalls {
  int(WINAPI* startDoc)(HDC, const DOCINFOW*);
  int(WINAPI* startPage)(HDC);
  int(WINAPI* endPage)(HDC);
  int(WINAPI* endDoc)(HDC);
  int(WINAPI* abortDoc)(HDC);
};
extern const PrintCalls kPrinterCalls;

// Prints the document "無題" on the device context, reset to mode when one is
// given, in the context's default font. 0, or host message 25 after a failure
// (the document is then aborted).
int PrintReport(HDC dc, const DEVMODEW* mode, std::wstring_view text, const PrintCalls& calls = kPrinterCalls);

}  // namespace strataview::ui
