#include "rich_edit_panes.h"

#include <richedit.h>

#include "win_text.h"

namespace strataview::ui {
namespace {

constexpr UINT kShiftJis = 932;

}  // namespace

void RichEditPanes::SetText(DumpColumn column, const std::string& text) {
  SendMessageW(paneOf_(column), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  SendMessageW(paneOf_(column), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(text, kShiftJis).c_str()));
}

void RichEditPanes::Select(DumpColumn column, std::size_t from, std::size_t to) {
  CHARRANGE range{static_cast<LONG>(from), static_cast<LONG>(to)};
  SendMessageW(paneOf_(column), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void RichEditPanes::Erase(DumpColumn column, std::size_t from, std::size_t to) {
  Select(column, from, to);
  SendMessageW(paneOf_(column), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void RichEditPanes::Insert(DumpColumn column, std::size_t at, const std::string& text) {
  Select(column, at, at);
  SendMessageW(paneOf_(column), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Widen(text, kShiftJis).c_str()));
}

}  // namespace strataview::ui
