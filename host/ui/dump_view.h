// The dump view: the "DumpFrame" window with its header, address, hex and
// character panes (rich edit 1.0), its scroll bars over the file's lines and the
// highlight of a byte range in the hex column.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "dump_scroll.h"
#include "rich_edit_panes.h"
#include "strataview/dump_window.h"

namespace strataview::ui {

class DumpView {
 public:
  DumpView();
  ~DumpView();
  DumpView(const DumpView&) = delete;
  DumpView& operator=(const DumpView&) = delete;

  // The frame (control 103) and its panes under parent; scrolling gives the focus to focusTarget.
  bool Create(HWND parent, HINSTANCE instance, HWND focusTarget);
  HWND Frame() const { return frame_; }
  HWND Pane(int controlId) const;
  const DumpWindow& Window() const { return window_; }
  // The open file's path (UTF-8), empty when none is open.
  const std::string& Path() const { return path_; }

  // Opens the file in the dump; failures show their message.
  void Open(const std::string& path);
  // Scrolls the range into view and selects its bytes in the hex column.
  void ShowRange(ByteRange range);
  // A tree item's range, or nothing for an item without one (the stored range stays).
  void Highlight(std::optional<ByteRange> range);
  void VerticalScroll(ScrollRequest request, std::int64_t trackPosition);
  void HorizontalScroll(ScrollRequest request, int trackPosition);
  // Lines the view shows below the header.
  std::uint64_t VisibleLines() const { return visible_; }
  // The hex pane's selection, and its copy to the clipboard as plain text.
  TextRange HexSelectionRange() const;
  void CopySelection();
  // The search dialog's start text: the selection moved onto whole bytes and
  // selected again, without line breaks; empty when less than a byte is selected.
  std::string TakeSearchText();

 private:
  static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK HexPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
  bool CreatePanes(HINSTANCE instance);
  void Layout();
  void MovePanes();
  void SwitchHeader();
  void MeasureLineHeight();
  void UpdateVerticalBar();
  int BarShift() const;
  void Select(std::optional<TextRange> range);
  void Reselect();
  void ShowContextMenu(POINT screen);
  void Report(int message) const;

  HWND frame_ = nullptr;
  HWND focusTarget_ = nullptr;
  HINSTANCE instance_ = nullptr;
  std::array<HWND, 4> panes_{};  // header, address, hex, characters
  HFONT font_ = nullptr;
  RichEditPanes sink_;
  DumpWindow window_;
  std::string path_;

  int fontHeight_;
  int lineHeight_;
  int headerHeight_;
  int inset_ = 1;        // left margin of text inside a pane
  int columns_[3] = {};  // x1, x2, x3 measured in the header
  bool headerWide_ = false;
  bool headerSet_ = false;
  int hpos_ = 0;
  int clientWidth_ = 0;
  std::uint64_t visible_ = 0;
  // The last range shown; scrolling selects it again within the loaded lines.
  std::optional<ByteRange> highlight_;
};

}  // namespace strataview::ui
