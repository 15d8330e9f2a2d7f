#include "messages.h"

#include "strataview/host_messages.h"
#include "win_text.h"

namespace strataview::ui {
namespace {

constexpr UINT kShiftJis = 932;

void Show(HWND owner, const std::wstring& text, const char* caption) {
  MessageBoxW(owner, text.c_str(), Widen(caption).c_str(), MB_OK);
}

}  // namespace

void ShowHostError(HWND owner, int number) {
  Show(owner, Widen(HostMessageText(number, HostLanguage::Japanese)), kErrorCaption);
}

void ShowPluginError(HWND owner, std::string_view text) { Show(owner, Widen(text, kShiftJis), kErrorCaption); }

void ShowInformation(HWND owner, std::string_view text) { Show(owner, Widen(text), kMessageCaption); }

}  // namespace strataview::ui
