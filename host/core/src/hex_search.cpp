#include "strataview/hex_search.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "strataview/dump_window.h"
#include "strataview/host_messages.h"

namespace strataview {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Offset of the first match in block[0, n), or n.
std::size_t FindFirst(const std::uint8_t* block, std::size_t n, const HexPattern& pattern) {
  const std::size_t len = pattern.size;
  if (n < len) return n;
  const std::uint8_t* last = block + (n - len);
  for (const std::uint8_t* at = block; at <= last; ++at) {
    at = static_cast<const std::uint8_t*>(std::memchr(at, pattern.bytes[0], static_cast<std::size_t>(last - at) + 1));
    if (at == nullptr) break;
    if (std::memcmp(at + 1, pattern.bytes.data() + 1, len - 1) == 0) return static_cast<std::size_t>(at - block);
  }
  return n;
}

// Offset of the last match in block[0, n), or n. Blocks are short, so walking
// the matches forwards with memchr beats a byte-wise backward loop.
std::size_t FindLast(const std::uint8_t* block, std::size_t n, const HexPattern& pattern) {
  std::size_t last = n;
  for (std::size_t from = 0; from < n;) {
    std::size_t i = FindFirst(block + from, n - from, pattern);
    if (i == n - from) break;
    last = from + i;
    from = last + 1;
  }
  return last;
}

// The scans' 2000-byte blocks served from a larger window of the file, so that
// neighbouring, overlapping blocks cost one read instead of one read each.
class BlockWindow {
 public:
  explicit BlockWindow(ReadOnlyFile& file) : file_(file), bytes_(kWindowBytes) {}

  // Up to n bytes at offset: the count (fewer only at the end of the file) or -1.
  // Forward windows begin at the block, backward ones end with it.
  std::int64_t Block(std::uint64_t offset, std::size_t n, bool forward, const std::uint8_t*& block) {
    if (!Holds(offset, n)) {
      std::uint64_t end = offset + n;
      if (!Fill(forward ? offset : end > kWindowBytes ? end - kWindowBytes : 0)) return -1;
    }
    block = bytes_.data() + static_cast<std::size_t>(offset - start_);
    const std::uint64_t filledEnd = start_ + filled_;
    return offset >= filledEnd ? 0 : static_cast<std::int64_t>(std::min<std::uint64_t>(n, filledEnd - offset));
  }

 private:
  static constexpr std::size_t kWindowBytes = 64 * 1024;

  bool Holds(std::uint64_t offset, std::size_t n) const {
    return filled_ > 0 && offset >= start_ &&
           (offset + n <= start_ + filled_ || (atEnd_ && offset <= start_ + filled_));
  }
  bool Fill(std::uint64_t start) {
    filled_ = 0;
    if (!file_.Seek(start)) return false;
    std::int64_t got = file_.Read(bytes_.data(), bytes_.size());
    if (got < 0) return false;
    start_ = start;
    filled_ = static_cast<std::size_t>(got);
    atEnd_ = filled_ < bytes_.size();
    return true;
  }

  ReadOnlyFile& file_;
  std::vector<std::uint8_t> bytes_;
  std::uint64_t start_ = 0;
  std::size_t filled_ = 0;
  bool atEnd_ = false;
};

SearchResult HitAt(std::uint64_t hit, const HexPattern& pattern) { return {SearchOutcome::Hit, hit, pattern.size}; }

}  // namespace

std::optional<HexPattern> ParseHexPattern(std::string_view text) {
  HexPattern pattern;
  std::size_t i = 0;
  while (pattern.size < kMaxPatternBytes) {
    while (i < text.size() && IsSeparator(text[i])) ++i;
    if (i == text.size()) break;
    int high = HexDigit(text[i]);
    int low = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
    if (high < 0 || low < 0) return std::nullopt;
    pattern.bytes[pattern.size++] = static_cast<std::uint8_t>(high << 4 | low);
    i += 2;
  }
  if (pattern.size == 0) return std::nullopt;
  return pattern;
}

std::optional<TextRange> SearchTextSelection(TextRange selection) {
  auto onSecondDigit = [](std::size_t at) { return at % kHexLineChars % 3 == 2; };
  std::size_t start = selection.start;
  std::size_t end = selection.end < start ? start : selection.end;
  if (onSecondDigit(start)) --start;
  if (end - start > kMaxSearchTextChars) end = start + kMaxSearchTextChars;
  if (onSecondDigit(end)) {
    if (end - start + 1 < kMaxSearchTextChars) {
      ++end;
    } else {
      --end;
    }
  }
  if (end < start + 2) return std::nullopt;
  return TextRange{start, end};
}

int SearchMessage(SearchOutcome outcome) {
  switch (outcome) {
    case SearchOutcome::ReadError: return kMsgFileRead;
    case SearchOutcome::InvalidText: return kMsgInvalidSearch;
    case SearchOutcome::NoFile: return kMsgFileNotOpened;
    default: return kMsgNoError;
  }
}

SearchResult ScanForward(ReadOnlyFile& file, const HexPattern& pattern, std::int64_t& position,
                         const std::atomic<bool>& stop) {
  const std::size_t step = kSearchBlockBytes - pattern.size;
  BlockWindow window(file);
  if (position < 0) position = 0;
  for (;;) {
    if (stop.load()) return {SearchOutcome::Stopped};
    const std::uint8_t* block = nullptr;
    std::int64_t got = window.Block(static_cast<std::uint64_t>(position), kSearchBlockBytes, true, block);
    if (got < 0) return {SearchOutcome::ReadError};
    std::size_t n = static_cast<std::size_t>(got);
    std::size_t i = FindFirst(block, n, pattern);
    if (i < n) {
      std::uint64_t hit = static_cast<std::uint64_t>(position) + i;
      position = static_cast<std::int64_t>(hit) + 1;
      return HitAt(hit, pattern);
    }
    if (n < kSearchBlockBytes) return {SearchOutcome::EndOfFile};
    position += static_cast<std::int64_t>(step);
  }
}

SearchResult ScanBackward(ReadOnlyFile& file, const HexPattern& pattern, std::int64_t& position,
                          const std::atomic<bool>& stop) {
  std::int64_t step = static_cast<std::int64_t>(kSearchBlockBytes - pattern.size);
  std::size_t blockBytes = kSearchBlockBytes;
  BlockWindow window(file);
  if (position < 0) return {SearchOutcome::EndOfFile};
  const std::int64_t size = file.Size();
  for (;;) {
    if (position < step) {
      step = position;
      blockBytes = pattern.size + static_cast<std::size_t>(position);
    }
    if (step == 0) return {SearchOutcome::EndOfFile};
    position -= step;
    const std::uint8_t* block = nullptr;
    std::int64_t got = window.Block(static_cast<std::uint64_t>(position), blockBytes, false, block);
    // A short block is only allowed where it runs into the end of the file.
    if (got < 0 || (static_cast<std::size_t>(got) < blockBytes && position + got < size)) {
      return {SearchOutcome::ReadError};
    }
    std::size_t n = static_cast<std::size_t>(got);
    std::size_t i = FindLast(block, n, pattern);
    if (i < n) {
      std::uint64_t hit = static_cast<std::uint64_t>(position) + i;
      position = static_cast<std::int64_t>(hit) - 1;
      return HitAt(hit, pattern);
    }
    if (stop.load()) return {SearchOutcome::Stopped};
  }
}

SearchResult HexSearch::Run(std::string_view text, SearchDirection direction, ReadOnlyFile* file,
                            SearchObserver& observer) {
  SearchResult result{SearchOutcome::InvalidText};
  if (!text.empty() && text.size() <= kMaxSearchTextChars) {
    direction_ = direction;
    if (!newSearch_ && text == text_) {
      result = Scan(file, observer);
    } else if (auto pattern = ParseHexPattern(text)) {
      // The text is kept only with its pattern, so an invalid text never continues an older search.
      text_ = text;
      pattern_ = *pattern;
      position_ = 0;
      result = Scan(file, observer);
    }
  }
  stop_.store(true);
  return result;
}

SearchResult HexSearch::Scan(ReadOnlyFile* file, SearchObserver& observer) {
  if (file == nullptr) return {SearchOutcome::NoFile};
  observer.ScanStarted();
  SearchResult result = direction_ == SearchDirection::Down ? ScanForward(*file, pattern_, position_, stop_)
                                                            : ScanBackward(*file, pattern_, position_, stop_);
  observer.ScanEnded();
  if (result.outcome == SearchOutcome::Hit) lastHit_ = result.hit;
  if (stop_.load()) return result.outcome == SearchOutcome::Hit ? result : SearchResult{SearchOutcome::Stopped};
  newSearch_ = false;
  return result;
}

}  // namespace strataview
