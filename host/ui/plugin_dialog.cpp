#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <commctrl.h>

#include <string>

#include "dialogs.h"
#include "resource.h"
#include "strataview/plugin_manager.h"
#include "win_text.h"

namespace strataview::ui {
namespace {

constexpr UINT kShiftJis = 932;

struct Column {
  const wchar_t* title;
  int width;
};
constexpr Column kColumns[] = {{L"プラグイン名", 100}, {L"適用ファイル", 500}};

class PluginDialog {
 public:
  explicit PluginDialog(PluginManager& plugins) : plugins_(plugins) {}

  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Open(HWND dialog);
  void Fill();
  void Close();
  int Selected() const { return ListView_GetNextItem(list_, -1, LVNI_SELECTED); }
  bool Checked(int row) const { return ListView_GetCheckState(list_, row) != FALSE; }
  void UpdateButtons(int row);
  void ApplyChangedRow();
  void SetRow(bool enabled);
  void ShowVersion();
  void OnNotify(const NMHDR& header);

  PluginManager& plugins_;
  HWND dialog_ = nullptr;
  HWND list_ = nullptr;
  bool changed_ = false;
  bool filling_ = false;
};

void PluginDialog::Open(HWND dialog) {
  dialog_ = dialog;
  list_ = GetDlgItem(dialog, IDC_PLUGIN_LIST);
  CenterOnDesktop(dialog);
  plugins_.Rescan();
  ListView_SetExtendedListViewStyleEx(list_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                                      LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = kColumns[i].width;
    column.pszText = const_cast<wchar_t*>(kColumns[i].title);
    ListView_InsertColumn(list_, i, &column);
  }
  Fill();
  changed_ = false;
}

// The rows in the plug-in list's order; the notifications of filling change nothing.
void PluginDialog::Fill() {
  filling_ = true;
  const auto& entries = plugins_.Entries();
  for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
    std::wstring name = Widen(entries[row].fileName);
    std::wstring extensions = Widen(entries[row].extensionList, kShiftJis);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = name.data();
    ListView_InsertItem(list_, &item);
    ListView_SetItemText(list_, row, 1, extensions.data());
    ListView_SetCheckState(list_, row, entries[row].enabled);
  }
  filling_ = false;
}

void PluginDialog::UpdateButtons(int row) {
  bool enabled = Checked(row);
  HWND enable = GetDlgItem(dialog_, IDC_PLUGIN_ENABLE);
  HWND disable = GetDlgItem(dialog_, IDC_PLUGIN_DISABLE);
  ShowWindow(enabled ? enable : disable, SW_HIDE);
  EnableWindow(enabled ? enable : disable, FALSE);
  ShowWindow(enabled ? disable : enable, SW_SHOW);
  EnableWindow(enabled ? disable : enable, TRUE);
  EnableWindow(GetDlgItem(dialog_, IDC_PLUGIN_INFO), enabled);
}

// The first row whose check box differs from its entry takes the box's state.
void PluginDialog::ApplyChangedRow() {
  const auto& entries = plugins_.Entries();
  for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
    bool checked = Checked(row);
    if (checked == entries[row].enabled) continue;
    plugins_.SetEnabled(entries[row].fileName, checked);
    changed_ = true;
    if (row == Selected()) UpdateButtons(row);
    return;
  }
}

void PluginDialog::SetRow(bool enabled) {
  int row = Selected();
  if (row < 0 || row >= static_cast<int>(plugins_.Count())) return;
  ListView_SetCheckState(list_, row, enabled);
  plugins_.SetEnabled(plugins_.Entries()[row].fileName, enabled);
  changed_ = true;
  SetFocus(list_);
}

void PluginDialog::ShowVersion() {
  int row = Selected();
  if (row >= 0) plugins_.ShowPluginVersion(static_cast<std::size_t>(row), dialog_);
  SetFocus(list_);
}

void PluginDialog::OnNotify(const NMHDR& header) {
  if (header.idFrom != IDC_PLUGIN_LIST || filling_) return;
  if (header.code == NM_CLICK) {
    if (int row = Selected(); row >= 0) UpdateButtons(row);
  } else if (header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (change.uChanged & LVIF_STATE) ApplyChangedRow();
    if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED)) UpdateButtons(change.iItem);
  }
}

void PluginDialog::Close() {
  if (changed_) plugins_.SaveEnabledStates();
  EndDialog(dialog_, IDOK);
}

INT_PTR CALLBACK PluginDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<PluginDialog*>(lParam)->Open(dialog);
    return TRUE;
  }
  auto* self = reinterpret_cast<PluginDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  switch (message) {
    case WM_NOTIFY: self->OnNotify(*reinterpret_cast<const NMHDR*>(lParam)); return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PLUGIN_ENABLE: self->SetRow(true); break;
        case IDC_PLUGIN_DISABLE: self->SetRow(false); break;
        case IDC_PLUGIN_INFO: self->ShowVersion(); break;
        case IDOK:
        case IDCANCEL: self->Close(); break;
      }
      return TRUE;
    case WM_CLOSE: self->Close(); return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowPluginSettings(HINSTANCE instance, HWND owner, PluginManager& plugins) {
  PluginDialog dialog(plugins);
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PLUGINS), owner, PluginDialog::Proc,
                  reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace strataview::ui
