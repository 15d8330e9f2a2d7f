// The dump's hex search: a byte string of up to 16 bytes, typed as hexadecimal
// digits, looked for in the analysed file forwards or backwards from the last
// hit, in 2000-byte blocks that overlap by the pattern's length.
//
// Threads: the dialog runs on the user-interface thread and each search on a
// worker thread. The UI thread calls BeginDialog, Arm and the accessors, the
// worker calls Run; the two share only the stop flag (Stop/Stopped). Every other
// member belongs to whichever thread holds the search, so the UI thread must not
// touch the HexSearch while a worker runs (join the previous worker before the
// next Arm; a stopped worker ends at its next block).
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "strataview/platform/files.h"

namespace strataview {

inline constexpr std::size_t kSearchBlockBytes = 2000;
inline constexpr std::size_t kMaxPatternBytes = 16;
inline constexpr std::size_t kMaxSearchTextChars = 50;

struct HexPattern {
  std::array<std::uint8_t, kMaxPatternBytes> bytes{};
  std::size_t size = 0;
};

// Bytes of exactly two hex digits each, spaces, tabs, CRs and LFs allowed before
// each byte; bytes after the 16th are ignored. Nothing for any other character, a
// lone final digit or a text without a byte.
std::optional<HexPattern> ParseHexPattern(std::string_view text);

// A character range [start, end) of the dump's hex column.
struct TextRange {
  std::size_t start;
  std::size_t end;
};

// The part of the hex column's selection that fills the search edit: the start
// moved off a byte's second digit, at most 50 characters, the end moved onto
// whole bytes. Nothing when fewer than 2 characters remain. The caller selects
// the range, takes its text and drops its CRs and LFs.
std::optional<TextRange> SearchTextSelection(TextRange selection);

enum class SearchDirection { Up = 0, Down = 1 };

enum class SearchOutcome {
  Hit,          // show [hit, hit + length) in the dump and clear the tree's selection
  EndOfFile,    // information text SearchCompletedText
  ReadError,    // host message 6
  InvalidText,  // host message 22
  NoFile,       // host message 5
  Stopped,      // nothing to show
};

struct SearchResult {
  SearchOutcome outcome;
  std::uint64_t hit = 0;
  std::size_t length = 0;
};

// The host message number of an outcome, 0 for those that show none.
int SearchMessage(SearchOutcome outcome);

// Raw scans from position (the next offset a hit may start at). They move
// position past a hit (hit + 1 forwards, hit - 1 backwards) and test stop between
// blocks. Forwards, a negative position counts as 0; backwards, a hit may start at
// position itself and a negative position finds nothing.
SearchResult ScanForward(ReadOnlyFile& file, const HexPattern& pattern, std::int64_t& position,
                         const std::atomic<bool>& stop);
SearchResult ScanBackward(ReadOnlyFile& file, const HexPattern& pattern, std::int64_t& position,
                          const std::atomic<bool>& stop);

// Told by the worker around the scan (the dialog's "searching" static).
class SearchObserver {
 public:
  virtual ~SearchObserver() = default;
  virtual void ScanStarted() = 0;
  virtual void ScanEnded() = 0;
};

// The search state kept by the main window from one opening of the dialog to the next.
class HexSearch {
 public:
  // UI thread, when the dialog opens: the next search starts anew.
  void BeginDialog() { newSearch_ = true; }
  // UI thread: the direction buttons, kept for the next opening of the dialog.
  void SetDirection(SearchDirection direction) { direction_ = direction; }
  // UI thread, before starting a worker: clears the stop flag.
  void Arm() { stop_.store(false); }
  // Either thread: Cancel or closing the dialog. The worker also sets it when it ends.
  void Stop() { stop_.store(true); }
  // True while no search runs or after a stop request.
  bool Stopped() const { return stop_.load(); }

  // Worker thread: one search for the edit's text (UTF-8). The same text as last time,
  // with no dialog opened since, continues from the last position in the given
  // direction; any other text starts again at offset 0. file is null when no
  // file is open; pass a handle of the worker's own, not the dump's.
  SearchResult Run(std::string_view text, SearchDirection direction, ReadOnlyFile* file, SearchObserver& observer);

  SearchDirection Direction() const { return direction_; }
  // The last search's text, for the edit when the dump has no selection.
  bool HasPattern() const { return pattern_.size > 0; }
  const std::string& LastText() const { return text_; }
  std::uint64_t LastHit() const { return lastHit_; }

 private:
  SearchResult Scan(ReadOnlyFile* file, SearchObserver& observer);

  std::atomic<bool> stop_{true};
  bool newSearch_ = true;
  SearchDirection direction_ = SearchDirection::Down;
  std::int64_t position_ = 0;
  std::uint64_t lastHit_ = 0;
  std::string text_;
  HexPattern pattern_;
};

}  // namespace strataview
