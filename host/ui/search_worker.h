// The hex search kept by the main window from one opening of its dialog to the
// next, and the worker thread that runs one search at a time. The worker tells
// a window about its progress by posted messages; the result is read on the
// user-interface thread after the worker has been joined.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "strataview/hex_search.h"

namespace strataview::ui {

// Posted to the window given to Start: the scan began, the scan ended, the worker ended.
inline constexpr UINT kSearchScanStarted = WM_APP + 1;
inline constexpr UINT kSearchScanEnded = WM_APP + 2;
inline constexpr UINT kSearchDone = WM_APP + 3;

class SearchWorker {
 public:
  SearchWorker() = default;
  // Stops a running search and waits for its worker.
  ~SearchWorker();
  SearchWorker(const SearchWorker&) = delete;
  SearchWorker& operator=(const SearchWorker&) = delete;

  // The state between searches; the UI thread may touch it only while no worker runs.
  HexSearch& State() { return search_; }
  // A worker has been started and has not ended yet.
  bool Running() const { return thread_.joinable() && !finished_.load(); }
  // Waits for the previous worker, then searches for text (UTF-8) in the file at
  // path (UTF-8; empty when no file is open) on a new worker that reports to notify.
  void Start(std::string text, SearchDirection direction, std::string path, HWND notify);
  // After kSearchDone: joins the worker and returns its result.
  SearchResult Finish();
  void Stop() { search_.Stop(); }

 private:
  void Join();

  HexSearch search_;
  std::thread thread_;
  std::atomic<bool> finished_{true};
  SearchResult result_{SearchOutcome::Stopped};
};

}  // namespace strataview::ui
