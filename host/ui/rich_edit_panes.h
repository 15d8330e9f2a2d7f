// The dump window's three column texts mirrored into rich edit 1.0 panes. The
// texts are Shift-JIS (the character column may hold half-width katakana), one
// character per byte, so positions in the panes equal positions in the texts.
#pragma once

#include <windows.h>

#include <functional>

#include "strataview/dump_window.h"

namespace strataview::ui {

class RichEditPanes : public DumpPanes {
 public:
  // paneOf gives the pane of a column; fileChanged runs when a new file was opened.
  RichEditPanes(std::function<HWND(DumpColumn)> paneOf, std::function<void()> fileChanged)
      : paneOf_(std::move(paneOf)), fileChanged_(std::move(fileChanged)) {}

  void SetText(DumpColumn column, const std::string& text) override;
  void Erase(DumpColumn column, std::size_t from, std::size_t to) override;
  void Insert(DumpColumn column, std::size_t at, const std::string& text) override;
  void FileChanged() override { fileChanged_(); }

 private:
  void Select(DumpColumn column, std::size_t from, std::size_t to);

  std::function<HWND(DumpColumn)> paneOf_;
  std::function<void()> fileChanged_;
};

}  // namespace strataview::ui
