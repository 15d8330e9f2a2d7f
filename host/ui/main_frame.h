// The main window object: the "MainFrame" window with its menu, the item tree
// on the left and the dump view on the right, the plug-in manager and the
// analysis of one file at a time.
#pragma once

#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <shellapi.h>

#include <memory>
#include <string>

#include "dump_view.h"
#include "search_worker.h"
#include "shortcuts.h"
#include "strataview/analysis_driver.h"
#include "strataview/platform/settings_store.h"
#include "strataview/plugin_manager.h"
#include "tree_view.h"

namespace strataview::ui {

class MainFrame {
 public:
  // Loads the rich edit library, the tree's pictures and the plug-in list.
  explicit MainFrame(HINSTANCE instance);
  ~MainFrame();
  MainFrame(const MainFrame&) = delete;
  MainFrame& operator=(const MainFrame&) = delete;

  // Creates the window and its children; false (after message 1) when one fails.
  bool Create();
  // The message loop with the accelerators; returns the quit message's code.
  int Run();

  // Analyses the file (UTF-8 path) into the tree and opens it in the dump.
  void AnalyseFile(const std::string& path);
  // The open dialog, then AnalyseFile with the chosen path.
  void OpenWithDialog();

  HINSTANCE Instance() const { return instance_; }
  HWND Window() const { return window_; }
  TreeView& Tree() { return tree_; }
  DumpView& Dump() { return dump_; }
  PluginManager& Plugins() { return plugins_; }
  SearchWorker& Search() { return search_; }
  Shortcuts& Links() { return shortcuts_; }
  // The file report of the last analysis (Shift-JIS), empty when there is none.
  const std::string& ReportText() const { return report_; }
  int TreeWidth() const { return treeWidth_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int command);
  void OnDropFiles(HDROP drop);
  void OnTreeNotify(NMHDR& header);
  void Layout();
  void TreeResized(int width);
  void PlaceDumpFrame();
  void UpdateMenu();

  HINSTANCE instance_;
  HMODULE richEdit_ = nullptr;
  std::unique_ptr<SettingsStore> store_;
  PluginManager plugins_;
  AnalysisDriver driver_;
  TreeView tree_;
  DumpView dump_;
  HWND window_ = nullptr;
  std::string report_;
  SearchWorker search_;
  Shortcuts shortcuts_;
  int treeWidth_ = 200;
  DWORD filterIndex_ = 0;
  bool layingOut_ = false;
  bool ready_ = false;
};

}  // namespace strataview::ui
