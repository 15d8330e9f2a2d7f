#include "dump_view.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>

#include "messages.h"
#include "resource.h"
#include "strataview/hex_search.h"
#include "strataview/host_messages.h"

namespace strataview::ui {
namespace {

constexpr wchar_t kFrameClass[] = L"DumpFrame";
constexpr wchar_t kRichEditClass[] = L"RICHEDIT";
constexpr wchar_t kFontName[] = L"ＭＳ 明朝";
constexpr int kFontPoints = 10;
constexpr int kUnmeasuredFontHeight = 13;
constexpr int kLineGap = 4;
constexpr COLORREF kPaneTint = RGB(0xCC, 0xDD, 0xEE);
constexpr int kHeader = 0, kAddress = 1, kHex = 2, kChars = 3;
constexpr int kPaneIds[4] = {IDC_HEADER_PANE, IDC_ADDRESS_PANE, IDC_HEX_PANE, IDC_CHAR_PANE};
constexpr UINT_PTR kHexSubclass = 1;

struct PaneStyle {
  DWORD style;
  int textLimit;  // 0: the control's default
  bool tinted;
};
constexpr DWORD kPaneBase = WS_CHILD | WS_VISIBLE | ES_READONLY;
constexpr PaneStyle kPaneStyles[4] = {
    {kPaneBase, 2400, true},
    {kPaneBase | ES_MULTILINE | ES_AUTOHSCROLL, 0, true},
    {kPaneBase | ES_MULTILINE | ES_AUTOHSCROLL | ES_NOHIDESEL, 10000, false},
    {kPaneBase | ES_MULTILINE | ES_AUTOHSCROLL, 3600, false},
};

ScrollRequest RequestOf(WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case SB_LINEUP: return ScrollRequest::LineUp;
    case SB_LINEDOWN: return ScrollRequest::LineDown;
    case SB_PAGEUP: return ScrollRequest::PageUp;
    case SB_PAGEDOWN: return ScrollRequest::PageDown;
    case SB_THUMBTRACK: return ScrollRequest::Track;
    default: return ScrollRequest::Other;
  }
}

int TrackPosition(HWND window, int bar) {
  SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
  GetScrollInfo(window, bar, &info);
  return info.nTrackPos;
}

POINTL PositionOf(HWND pane, long index) {
  POINTL at{0, 0};
  SendMessageW(pane, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), index);
  return at;
}

bool RegisterFrameClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXW cls{};
  if (GetClassInfoExW(instance, kFrameClass, &cls)) return true;
  cls.cbSize = sizeof cls;
  cls.style = CS_HREDRAW | CS_VREDRAW;
  cls.lpfnWndProc = proc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  cls.lpszClassName = kFrameClass;
  return RegisterClassExW(&cls) != 0;
}

}  // namespace

DumpView::DumpView()
    : sink_([this](DumpColumn c) { return panes_[kAddress + c]; }, [this] { SwitchHeader(); }), window_(&sink_) {
  HDC screen = GetDC(nullptr);
  int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  fontHeight_ = dpi > 0 ? MulDiv(kFontPoints, dpi, 72) : kUnmeasuredFontHeight;
  lineHeight_ = fontHeight_ + kLineGap;
  headerHeight_ = fontHeight_ + kLineGap;
}

DumpView::~DumpView() {
  if (font_ != nullptr) DeleteObject(font_);
}

bool DumpView::Create(HWND parent, HINSTANCE instance, HWND focusTarget) {
  instance_ = instance;
  focusTarget_ = focusTarget;
  if (!RegisterFrameClass(instance, FrameProc)) return false;
  frame_ = CreateWindowExW(0, kFrameClass, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(IDC_DUMP_FRAME), instance, this);
  return frame_ != nullptr && CreatePanes(instance);
}

bool DumpView::CreatePanes(HINSTANCE instance) {
  font_ = CreateFontW(-fontHeight_, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, kFontName);
  for (int i = 0; i < 4; ++i) {
    const PaneStyle& style = kPaneStyles[i];
    panes_[i] = CreateWindowExW(0, kRichEditClass, L"", style.style, 0, 0, 0, 0, frame_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPaneIds[i])), instance, nullptr);
    if (panes_[i] == nullptr) return false;
    SendMessageW(panes_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (style.textLimit > 0) SendMessageW(panes_[i], EM_EXLIMITTEXT, 0, style.textLimit);
    if (style.tinted) SendMessageW(panes_[i], EM_SETBKGNDCOLOR, 0, kPaneTint);
  }
  SetWindowSubclass(panes_[kHex], HexPaneProc, kHexSubclass, reinterpret_cast<DWORD_PTR>(this));
  SwitchHeader();
  return true;
}

HWND DumpView::Pane(int controlId) const {
  for (int i = 0; i < 4; ++i) {
    if (kPaneIds[i] == controlId) return panes_[i];
  }
  return nullptr;
}

void DumpView::Report(int message) const {
  if (message != kMsgNoError) ShowHostError(GetParent(frame_), message);
}

// Sets the header of the file's mode and measures the column edges in it: the
// character after the address part (x1), after the address and hex part (x2)
// and after the whole header (x3).
void DumpView::SwitchHeader() {
  bool wide = window_.Wide();
  if (headerSet_ && wide == headerWide_) {
    UpdateVerticalBar();
    return;
  }
  headerSet_ = true;
  headerWide_ = wide;
  const DumpHeader& header = HeaderFor(wide);
  HWND pane = panes_[kHeader];
  MoveWindow(pane, 0, 0, SHRT_MAX, headerHeight_, FALSE);
  SendMessageA(pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(header.full));
  long length = static_cast<long>(std::strlen(header.full));
  POINTL first = PositionOf(pane, 0);
  int charWidth = static_cast<int>(PositionOf(pane, 1).x - first.x);
  if (charWidth <= 0) {
    HDC dc = GetDC(pane);
    HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(pane, dc);
    charWidth = metrics.tmAveCharWidth;
    first.x = 1;
  }
  inset_ = static_cast<int>(first.x);
  auto edge = [&](const char* prefix) {
    long n = static_cast<long>(std::strlen(prefix));
    return static_cast<int>(n < length ? PositionOf(pane, n).x : PositionOf(pane, length - 1).x + charWidth);
  };
  columns_[0] = edge(header.address);
  columns_[1] = edge(header.addressAndHex);
  columns_[2] = edge(header.full);
  Layout();
}

void DumpView::MeasureLineHeight() {
  if (window_.LoadedLines() < 2) return;
  HWND pane = panes_[kAddress];
  long second = static_cast<long>(window_.LineChars(kAddressColumn));
  int height = static_cast<int>(PositionOf(pane, second).y - PositionOf(pane, 0).y);
  if (height > 0 && height != lineHeight_) {
    lineHeight_ = height;
    headerHeight_ = height;
    Layout();
  }
}

void DumpView::Open(const std::string& path) {
  Report(window_.Open(path));
  path_ = window_.IsOpen() ? path : std::string();
  highlight_.reset();
  MeasureLineHeight();
  UpdateVerticalBar();
}

int DumpView::BarShift() const {
  int shift = window_.ScrollShift();
  while ((window_.LineCount() >> shift) > static_cast<std::uint64_t>(INT_MAX)) ++shift;
  return shift;
}

void DumpView::UpdateVerticalBar() {
  if (frame_ == nullptr) return;
  int shift = BarShift();
  std::uint64_t units = window_.LineCount() >> shift;
  SCROLLINFO info{sizeof info,
                  SIF_RANGE | SIF_PAGE | SIF_POS,
                  0,
                  units > 0 ? static_cast<int>(units - 1) : 0,
                  static_cast<UINT>(std::min<std::uint64_t>(visible_, INT_MAX)),
                  static_cast<int>(window_.TopLine() >> shift),
                  0};
  SetScrollInfo(frame_, SB_VERT, &info, TRUE);
}

void DumpView::Layout() {
  if (frame_ == nullptr) return;
  RECT client;
  GetClientRect(frame_, &client);
  int width = client.right;
  if (width > clientWidth_) hpos_ = std::max(0, hpos_ - (width - clientWidth_));
  clientWidth_ = width;
  int extent = columns_[2];
  hpos_ = std::clamp(hpos_, 0, std::max(0, extent - width));
  SCROLLINFO info{sizeof info,
                  SIF_RANGE | SIF_PAGE | SIF_POS,
                  0,
                  std::max(0, extent - 1),
                  static_cast<UINT>(std::max(0, width)),
                  hpos_,
                  0};
  SetScrollInfo(frame_, SB_HORZ, &info, TRUE);
  GetClientRect(frame_, &client);
  visible_ = static_cast<std::uint64_t>(std::max(0, (static_cast<int>(client.bottom) - headerHeight_) / lineHeight_));
  UpdateVerticalBar();
  MovePanes();
}

// The panes stand in their columns shifted left by the horizontal position. They
// are tall enough for every loaded line, so they never scroll themselves; the
// frame clips them.
void DumpView::MovePanes() {
  RECT client;
  GetClientRect(frame_, &client);
  int hexLeft = columns_[0] - inset_, charLeft = columns_[1] - inset_;
  int right = std::max(columns_[2], static_cast<int>(client.right) + hpos_);
  int height =
      std::max(static_cast<int>(client.bottom) - headerHeight_, static_cast<int>(kWindowLines + 1) * lineHeight_);
  MoveWindow(panes_[kHeader], -hpos_, 0, right, headerHeight_, TRUE);
  MoveWindow(panes_[kAddress], -hpos_, headerHeight_, hexLeft, height, TRUE);
  MoveWindow(panes_[kHex], hexLeft - hpos_, headerHeight_, charLeft - hexLeft, height, TRUE);
  MoveWindow(panes_[kChars], charLeft - hpos_, headerHeight_, right - charLeft, height, TRUE);
  InvalidateRect(frame_, nullptr, TRUE);
}

void DumpView::Select(std::optional<TextRange> range) {
  CHARRANGE chars{0, 0};
  if (range) chars = {range->from, range->to};
  SendMessageW(panes_[kHex], EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&chars));
}

void DumpView::Reselect() {
  std::optional<LineSpan> span;
  if (highlight_) span = SpanOf(*highlight_, window_.FileSize());
  Select(span ? HexSelection(*span, window_.TopLine(), window_.LoadedLines()) : std::nullopt);
}

void DumpView::ShowRange(ByteRange range) {
  highlight_ = range;
  std::optional<LineSpan> span = SpanOf(range, window_.FileSize());
  if (!window_.IsOpen() || !span) {
    Select(std::nullopt);
    return;
  }
  constexpr int kAttempts = 5;
  for (int i = 0; i < kAttempts; ++i) {
    std::int64_t d = ShiftToShow(*span, window_.TopLine(), visible_);
    if (d == 0) break;
    int fault = window_.ShiftBy(d);
    UpdateVerticalBar();
    if (fault != kMsgNoError) {
      Report(fault);
      break;
    }
  }
  Reselect();
}

void DumpView::Highlight(std::optional<ByteRange> range) {
  if (range) {
    ShowRange(*range);
    return;
  }
  Select(std::nullopt);
}

void DumpView::VerticalScroll(ScrollRequest request, std::int64_t trackPosition) {
  if (focusTarget_ != nullptr) SetFocus(focusTarget_);
  int shift = BarShift();
  VerticalState state{window_.TopLine(), window_.LineCount(), visible_, shift, GetScrollPos(frame_, SB_VERT)};
  std::int64_t d = VerticalMove(request, state, trackPosition);
  Select(std::nullopt);
  if (window_.IsOpen() && d != 0) Report(window_.ShiftBy(d));
  UpdateVerticalBar();
  Reselect();
}

void DumpView::HorizontalScroll(ScrollRequest request, int trackPosition) {
  hpos_ = HorizontalPosition(request, {hpos_, columns_[2], clientWidth_}, trackPosition);
  SetScrollPos(frame_, SB_HORZ, hpos_, TRUE);
  MovePanes();
}

std::string DumpView::TakeSearchText() {
  TextRange current = HexSelectionRange();
  if (current.from < 0 || current.to < current.from) return {};
  auto range = SearchTextSelection({static_cast<std::size_t>(current.from), static_cast<std::size_t>(current.to)});
  const std::string& text = window_.Text(kHexColumn);
  if (!range || range->end > text.size()) return {};
  Select(TextRange{static_cast<long>(range->start), static_cast<long>(range->end)});
  std::string taken;
  for (char c : std::string_view(text).substr(range->start, range->end - range->start)) {
    if (c != '\r' && c != '\n') taken += c;
  }
  return taken;
}

TextRange DumpView::HexSelectionRange() const {
  CHARRANGE chars{0, 0};
  SendMessageW(panes_[kHex], EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&chars));
  return {chars.cpMin, chars.cpMax};
}

// The selected part of the hex column's text (the pane shows that text exactly)
// goes to the clipboard as plain text.
void DumpView::CopySelection() {
  TextRange range = HexSelectionRange();
  const std::string& text = window_.Text(kHexColumn);
  std::size_t from = std::min<std::size_t>(static_cast<std::size_t>(std::max(0L, range.from)), text.size());
  std::size_t to = std::min<std::size_t>(static_cast<std::size_t>(std::max(0L, range.to)), text.size());
  if (to <= from) return;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, to - from + 1);
  if (memory == nullptr) {
    Report(kMsgMalloc);
    return;
  }
  std::memcpy(GlobalLock(memory), text.data() + from, to - from);
  GlobalUnlock(memory);
  if (!OpenClipboard(panes_[kHex])) {
    GlobalFree(memory);
    Report(kMsgClipboardOpen);
    return;
  }
  EmptyClipboard();
  if (SetClipboardData(CF_TEXT, memory) == nullptr) GlobalFree(memory);
  CloseClipboard();
}

void DumpView::ShowContextMenu(POINT screen) {
  HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_HEX_MENU));
  if (menu == nullptr) return;
  TextRange range = HexSelectionRange();
  HMENU popup = GetSubMenu(menu, 0);
  EnableMenuItem(popup, IDM_COPY, MF_BYCOMMAND | (range.to > range.from ? MF_ENABLED : MF_GRAYED));
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, panes_[kHex], nullptr);
  DestroyMenu(menu);
}

LRESULT CALLBACK DumpView::HexPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
  auto* view = reinterpret_cast<DumpView*>(self);
  switch (message) {
    case WM_RBUTTONDOWN: {
      POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ClientToScreen(pane, &at);
      view->ShowContextMenu(at);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDM_COPY) {
        view->CopySelection();
        return 0;
      }
      break;
    case WM_NCDESTROY: RemoveWindowSubclass(pane, HexPaneProc, kHexSubclass); break;
  }
  return DefSubclassProc(pane, message, wParam, lParam);
}

LRESULT CALLBACK DumpView::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* view = reinterpret_cast<DumpView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (view != nullptr && view->frame_ == window) {
    switch (message) {
      case WM_SIZE: view->Layout(); return 0;
      case WM_VSCROLL: view->VerticalScroll(RequestOf(wParam), TrackPosition(window, SB_VERT)); return 0;
      case WM_HSCROLL: view->HorizontalScroll(RequestOf(wParam), TrackPosition(window, SB_HORZ)); return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace strataview::ui
