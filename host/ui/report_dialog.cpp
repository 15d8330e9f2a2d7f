// The file report dialog (resource 119): the plug-in's report text, printed or
// saved as a text file. The print button carries IDCANCEL, so Escape prints.
#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <commdlg.h>

#include <optional>
#include <string>

#include "dialogs.h"
#include "main_frame.h"
#include "menu_commands.h"
#include "messages.h"
#include "report_printer.h"
#include "resource.h"
#include "strataview/host_messages.h"
#include "strataview/report_text.h"
#include "win_text.h"

namespace strataview::ui {
namespace {

constexpr UINT kShiftJis = 932;
constexpr wchar_t kFontName[] = L"ＭＳ 明朝";
constexpr int kFontPoints = 10;
constexpr wchar_t kSaveTitle[] = L"名前を付けて保存";
constexpr wchar_t kSaveFilter[] = L"Text file (*.txt)\0*.txt\0";
constexpr wchar_t kSaveExtension[] = L"txt";

class ReportDialog {
 public:
  explicit ReportDialog(const std::string& report) : report_(report) {}
  ~ReportDialog() {
    if (font_ != nullptr) DeleteObject(font_);
  }
  ReportDialog(const ReportDialog&) = delete;
  ReportDialog& operator=(const ReportDialog&) = delete;

  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Open(HWND dialog);
  std::optional<std::wstring> TakeText() const;
  void Print() const;
  void Save() const;
  INT_PTR Handle(UINT message, WPARAM wParam);

  const std::string& report_;
  HWND dialog_ = nullptr;
  HWND edit_ = nullptr;
  HFONT font_ = nullptr;
};

void ReportDialog::Open(HWND dialog) {
  dialog_ = dialog;
  edit_ = GetDlgItem(dialog, IDC_REPORT_TEXT);
  CenterOnDesktop(dialog);
  HDC screen = GetDC(dialog);
  int height = -MulDiv(kFontPoints, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(dialog, screen);
  font_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, kFontName);
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (report_.empty()) return;
  SetWindowTextW(edit_, Widen(report_, kShiftJis).c_str());
  EnableWindow(GetDlgItem(dialog, IDC_REPORT_PRINT), TRUE);
  EnableWindow(GetDlgItem(dialog, IDC_REPORT_SAVE), TRUE);
}

// Both actions work on the edit's text as it stands. The rich edit may count a
// paragraph break as one character and then give it as CR LF, so the text gets
// room for every character to double.
std::optional<std::wstring> ReportDialog::TakeText() const {
  int length = GetWindowTextLengthW(edit_);
  if (length < 1) {
    ShowHostError(dialog_, kMsgReportEmpty);
    return std::nullopt;
  }
  std::wstring text(2 * static_cast<std::size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()));
  if (got < length) {
    ShowHostError(dialog_, kMsgReportText);
    return std::nullopt;
  }
  text.resize(static_cast<std::size_t>(got));
  return text;
}

void ReportDialog::Print() const {
  std::optional<std::wstring> text = TakeText();
  if (!text) return;
  PRINTDLGW choice{};
  choice.lStructSize = sizeof choice;
  if (!PrintDlgW(&choice)) return;
  auto* names = static_cast<DEVNAMES*>(GlobalLock(choice.hDevNames));
  auto* mode = static_cast<DEVMODEW*>(GlobalLock(choice.hDevMode));
  HDC dc = nullptr;
  if (names != nullptr) {
    const auto* base = reinterpret_cast<const wchar_t*>(names);
    dc = CreateDCW(base + names->wDriverOffset, base + names->wDeviceOffset, nullptr, mode);
  }
  int fault = dc != nullptr ? PrintReport(dc, mode, *text) : kMsgPrint;
  if (fault != 0) ShowHostError(dialog_, fault);
  if (dc != nullptr) DeleteDC(dc);
  for (HGLOBAL handle : {choice.hDevNames, choice.hDevMode}) {
    if (handle == nullptr) continue;
    GlobalUnlock(handle);
    GlobalFree(handle);
  }
}

void ReportDialog::Save() const {
  wchar_t path[MAX_PATH] = {};
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.lpstrFilter = kSaveFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = kSaveTitle;
  dialog.lpstrDefExt = kSaveExtension;
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!GetOpenFileNameW(&dialog) || wcslen(path) >= MAX_PATH) return;
  std::optional<std::wstring> text = TakeText();
  if (!text) return;
  int fault = SaveReportFile(Narrow(path), Narrow(*text, kShiftJis));
  if (fault != 0) ShowHostError(dialog_, fault);
}

INT_PTR ReportDialog::Handle(UINT message, WPARAM wParam) {
  if (message == WM_CLOSE) {
    EndDialog(dialog_, IDOK);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK: EndDialog(dialog_, IDOK); return TRUE;
    // Escape arrives here too: it prints once a text is shown.
    case IDC_REPORT_PRINT:
      if (IsWindowEnabled(GetDlgItem(dialog_, IDC_REPORT_PRINT))) Print();
      return TRUE;
    case IDC_REPORT_SAVE: Save(); return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK ReportDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<ReportDialog*>(lParam)->Open(dialog);
    // Focus on "終了": the dialog manager would select the whole report in the edit.
    SetFocus(GetDlgItem(dialog, IDOK));
    return FALSE;
  }
  auto* self = reinterpret_cast<ReportDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self != nullptr ? self->Handle(message, wParam) : FALSE;
}

}  // namespace

void ShowReportDialog(MainFrame& frame) {
  ReportDialog dialog(frame.ReportText());
  DialogBoxParamW(frame.Instance(), MAKEINTRESOURCEW(IDD_REPORT), frame.Window(), ReportDialog::Proc,
                  reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace strataview::ui
