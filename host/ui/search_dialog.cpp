// The hex search dialog (resource 107): the search text, the direction and the
// worker's progress; a hit scrolls the dump and selects its bytes.
#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <commctrl.h>

#include <string>

#include "dialogs.h"
#include "main_frame.h"
#include "menu_commands.h"
#include "messages.h"
#include "resource.h"
#include "strataview/host_messages.h"
#include "win_text.h"

namespace strataview::ui {
namespace {

class SearchDialog {
 public:
  explicit SearchDialog(MainFrame& frame) : frame_(frame), worker_(frame.Search()) {}

  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Open(HWND dialog);
  void Find();
  void Done();
  void Close();
  void KeepDirection(int button);
  INT_PTR Handle(UINT message, WPARAM wParam);

  MainFrame& frame_;
  SearchWorker& worker_;
  HWND dialog_ = nullptr;
};

void SearchDialog::Open(HWND dialog) {
  dialog_ = dialog;
  CenterOnDesktop(dialog);
  worker_.Finish();  // a worker stopped by the last Cancel ends at its next block
  HexSearch& search = worker_.State();
  CheckRadioButton(dialog, IDC_SEARCH_UP, IDC_SEARCH_DOWN,
                   search.Direction() == SearchDirection::Down ? IDC_SEARCH_DOWN : IDC_SEARCH_UP);
  std::string text = frame_.Dump().TakeSearchText();
  if (text.empty() && search.HasPattern()) text = search.LastText();
  SetDlgItemTextW(dialog, IDC_SEARCH_TEXT, Widen(text).c_str());
  search.BeginDialog();
  SetForegroundWindow(dialog);
}

// One search at a time: a press while a worker runs is ignored, unless Cancel
// already told that worker to stop.
void SearchDialog::Find() {
  if (worker_.Running() && !worker_.State().Stopped()) return;
  HWND edit = GetDlgItem(dialog_, IDC_SEARCH_TEXT);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  SearchDirection direction =
      IsDlgButtonChecked(dialog_, IDC_SEARCH_UP) == BST_CHECKED ? SearchDirection::Up : SearchDirection::Down;
  worker_.Start(Narrow(text), direction, frame_.Dump().Path(), dialog_);
}

void SearchDialog::Done() {
  SearchResult result = worker_.Finish();
  switch (result.outcome) {
    case SearchOutcome::Hit:
      // Clearing the tree first: its selection change would clear the hex selection.
      TreeView_SelectItem(frame_.Tree().Window(), nullptr);
      frame_.Dump().ShowRange({result.hit, result.length});
      break;
    case SearchOutcome::EndOfFile: ShowInformation(dialog_, SearchCompletedText(HostLanguage::Japanese)); break;
    case SearchOutcome::Stopped: break;
    default: ShowHostError(dialog_, SearchMessage(result.outcome)); break;
  }
}

// The state belongs to the worker while it runs; its search then keeps the direction it was given.
void SearchDialog::KeepDirection(int button) {
  if (worker_.Running()) return;
  worker_.State().SetDirection(button == IDC_SEARCH_UP ? SearchDirection::Up : SearchDirection::Down);
}

// Closing does not wait for the worker: it ends at its next block and shows nothing.
void SearchDialog::Close() {
  worker_.Stop();
  EndDialog(dialog_, IDCANCEL);
}

INT_PTR SearchDialog::Handle(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_SEARCH_UP:
        case IDC_SEARCH_DOWN: KeepDirection(LOWORD(wParam)); return TRUE;
        case IDC_SEARCH_FIND: Find(); return TRUE;
        case IDCANCEL: Close(); return TRUE;
      }
      return FALSE;
    case WM_CLOSE: Close(); return TRUE;
    case kSearchScanStarted: ShowWindow(GetDlgItem(dialog_, IDC_SEARCH_BUSY), SW_SHOW); return TRUE;
    case kSearchScanEnded: ShowWindow(GetDlgItem(dialog_, IDC_SEARCH_BUSY), SW_HIDE); return TRUE;
    case kSearchDone: Done(); return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK SearchDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<SearchDialog*>(lParam)->Open(dialog);
    return TRUE;
  }
  auto* self = reinterpret_cast<SearchDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self != nullptr ? self->Handle(message, wParam) : FALSE;
}

}  // namespace

void ShowSearchDialog(MainFrame& frame) {
  SearchDialog dialog(frame);
  DialogBoxParamW(frame.Instance(), MAKEINTRESOURCEW(IDD_SEARCH), frame.Window(), SearchDialog::Proc,
                  reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace strataview::ui
