#include "strataview/hex_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "strataview/host_messages.h"

namespace {

using strataview::HexPattern;
using strataview::HexSearch;
using strataview::ParseHexPattern;
using strataview::ScanBackward;
using strataview::ScanForward;
using strataview::SearchDirection;
using strataview::SearchMessage;
using strataview::SearchOutcome;
using strataview::SearchResult;
using strataview::SearchTextSelection;
using strataview::TextRange;

// A file in memory that can fail a given read or run a hook before each read.
class MemoryFile : public strataview::ReadOnlyFile {
 public:
  explicit MemoryFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  std::int64_t Size() override { return static_cast<std::int64_t>(bytes_.size()); }
  bool Seek(std::uint64_t offset) override {
    at_ = offset;
    return true;
  }
  std::int64_t Read(void* destination, std::size_t n) override {
    ++reads;
    if (beforeRead) beforeRead(reads);
    if (reads == failingRead) return -1;
    if (at_ >= bytes_.size()) return 0;
    std::size_t got = std::min<std::size_t>(n, bytes_.size() - at_);
    got = std::min(got, shortReads);
    std::memcpy(destination, bytes_.data() + at_, got);
    at_ += got;
    return static_cast<std::int64_t>(got);
  }

  int reads = 0;
  int failingRead = 0;
  std::size_t shortReads = SIZE_MAX;
  std::function<void(int)> beforeRead;

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint64_t at_ = 0;
};

struct CountingObserver : strataview::SearchObserver {
  void ScanStarted() override { ++started; }
  void ScanEnded() override { ++ended; }
  int started = 0;
  int ended = 0;
};

// Zero bytes with the bytes 1, 2, ... len placed at each offset.
std::vector<std::uint8_t> FileWith(std::size_t size, std::size_t len, std::initializer_list<std::size_t> offsets) {
  std::vector<std::uint8_t> bytes(size, 0);
  for (std::size_t at : offsets) {
    for (std::size_t k = 0; k < len; ++k) bytes[at + k] = static_cast<std::uint8_t>(k + 1);
  }
  return bytes;
}

HexPattern Counting(std::size_t len) {
  HexPattern p;
  for (std::size_t k = 0; k < len; ++k) p.bytes[k] = static_cast<std::uint8_t>(k + 1);
  p.size = len;
  return p;
}

std::string CountingText(std::size_t len) {
  std::string text;
  for (std::size_t k = 0; k < len; ++k) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(k + 1));
    text += pair;
  }
  return text;
}

// One press of the search button: the UI thread arms the flag, the worker runs.
SearchResult Press(HexSearch& search, std::string_view text, SearchDirection direction, strataview::ReadOnlyFile* file,
                   strataview::SearchObserver& observer) {
  search.Arm();
  return search.Run(text, direction, file, observer);
}

std::vector<std::uint8_t> Bytes(const HexPattern& p) { return {p.bytes.begin(), p.bytes.begin() + p.size}; }

TEST(HexPattern, SpacingAndCaseDoNotMatter) {
  auto spaced = ParseHexPattern("41 42 43");
  ASSERT_TRUE(spaced);
  EXPECT_EQ(Bytes(*spaced), (std::vector<std::uint8_t>{0x41, 0x42, 0x43}));
  for (const char* same : {"414243", " 41\t42\r\n43 ", "41\n\n4243\n"}) {
    auto p = ParseHexPattern(same);
    ASSERT_TRUE(p) << same;
    EXPECT_EQ(Bytes(*p), Bytes(*spaced)) << same;
  }
  EXPECT_EQ(Bytes(*ParseHexPattern("aBcDeF")), (std::vector<std::uint8_t>{0xAB, 0xCD, 0xEF}));
}

TEST(HexPattern, InvalidTexts) {
  for (const char* bad : {"", "   ", "\r\n", "4 1", "414", "41 4", "4G", "0x41", "41,42", "-1", "41 42 zz"}) {
    EXPECT_FALSE(ParseHexPattern(bad)) << '"' << bad << '"';
  }
}

TEST(HexPattern, OnlyTheFirstSixteenBytesCount) {
  auto p = ParseHexPattern(CountingText(17));
  ASSERT_TRUE(p);
  EXPECT_EQ(Bytes(*p), Bytes(Counting(16)));
  // What follows the 16th byte is not even looked at.
  EXPECT_TRUE(ParseHexPattern(CountingText(16) + " not hex"));
}

TEST(SearchTextSelection, AlignsToWholeBytes) {
  // " 41 42\r\n": byte c of line r begins at 50 r + 3 c; its digits at +1 and +2.
  auto two = SearchTextSelection({0, 6});
  ASSERT_TRUE(two);
  EXPECT_EQ(two->start, 0u);
  EXPECT_EQ(two->end, 6u);
  auto fromSecondDigit = SearchTextSelection({2, 5});
  ASSERT_TRUE(fromSecondDigit);
  EXPECT_EQ(fromSecondDigit->start, 1u) << "start moved back onto the first digit";
  EXPECT_EQ(fromSecondDigit->end, 6u) << "end moved forward over the second digit";
  auto onNextLine = SearchTextSelection({52, 54});
  ASSERT_TRUE(onNextLine);
  EXPECT_EQ(onNextLine->start, 51u);
  EXPECT_EQ(onNextLine->end, 54u);
  EXPECT_FALSE(SearchTextSelection({3, 3}));
  EXPECT_FALSE(SearchTextSelection({0, 1})) << "a single character is no text";
  auto firstDigit = SearchTextSelection({1, 2});
  ASSERT_TRUE(firstDigit);
  EXPECT_EQ(firstDigit->end, 3u) << "a byte's first digit selects the byte";
}

TEST(SearchTextSelection, LimitsTheLengthToFiftyCharacters) {
  auto whole = SearchTextSelection({0, 400});
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->start, 0u);
  EXPECT_EQ(whole->end, 50u);
  // 52 is a second digit, but one more would make 50 characters: the end moves back.
  auto clipped = SearchTextSelection({3, 52});
  ASSERT_TRUE(clipped);
  EXPECT_EQ(clipped->end - clipped->start, 48u);
}

TEST(ScanForward, FindsPatternsOnEitherSideOfEachBlockBoundary) {
  std::atomic<bool> stop{false};
  for (std::size_t len : {1u, 2u, 16u}) {
    const std::size_t step = 2000 - len;
    for (std::size_t boundary : {step, 2 * step, std::size_t{2000}}) {
      for (std::size_t at = boundary - len - 1; at <= boundary + 1; ++at) {
        MemoryFile file(FileWith(6000, len, {at}));
        std::int64_t position = 0;
        SearchResult r = ScanForward(file, Counting(len), position, stop);
        ASSERT_EQ(r.outcome, SearchOutcome::Hit) << "len " << len << " at " << at;
        EXPECT_EQ(r.hit, at);
        EXPECT_EQ(r.length, len);
        EXPECT_EQ(position, static_cast<std::int64_t>(at) + 1);
      }
    }
  }
}

TEST(ScanForward, FileStartEndAndNothingFurther) {
  std::atomic<bool> stop{false};
  for (std::size_t len : {1u, 16u}) {
    MemoryFile file(FileWith(4321, len, {0, 4321 - len}));
    std::int64_t position = -5;
    EXPECT_EQ(ScanForward(file, Counting(len), position, stop).hit, 0u);
    SearchResult last = ScanForward(file, Counting(len), position, stop);
    ASSERT_EQ(last.outcome, SearchOutcome::Hit);
    EXPECT_EQ(last.hit, 4321 - len);
    EXPECT_EQ(ScanForward(file, Counting(len), position, stop).outcome, SearchOutcome::EndOfFile);
  }
  MemoryFile tiny(FileWith(3, 1, {}));
  std::int64_t position = 0;
  EXPECT_EQ(ScanForward(tiny, Counting(16), position, stop).outcome, SearchOutcome::EndOfFile);
}

TEST(ScanBackward, FindsPatternsAcrossBlockBoundariesDownToTheStart) {
  std::atomic<bool> stop{false};
  for (std::size_t len : {1u, 16u}) {
    const std::size_t size = 7000;
    const std::size_t step = 2000 - len;
    for (std::size_t boundary : {size - step, size - 2 * step, std::size_t{0}}) {
      for (std::size_t at = boundary > len ? boundary - len - 1 : 0; at <= boundary + 1; ++at) {
        MemoryFile file(FileWith(size, len, {at}));
        std::int64_t position = size;
        SearchResult r = ScanBackward(file, Counting(len), position, stop);
        ASSERT_EQ(r.outcome, SearchOutcome::Hit) << "len " << len << " at " << at;
        EXPECT_EQ(r.hit, at);
        EXPECT_EQ(position, static_cast<std::int64_t>(at) - 1);
        EXPECT_EQ(ScanBackward(file, Counting(len), position, stop).outcome, SearchOutcome::EndOfFile);
      }
    }
  }
}

TEST(ScanBackward, AHitMayStartAtThePositionButNotAfterIt) {
  std::atomic<bool> stop{false};
  MemoryFile file(FileWith(5000, 4, {100, 3000}));
  std::int64_t position = 2999;
  EXPECT_EQ(ScanBackward(file, Counting(4), position, stop).hit, 100u);
  position = 3000;
  EXPECT_EQ(ScanBackward(file, Counting(4), position, stop).hit, 3000u);
  MemoryFile twoInABlock(FileWith(5000, 2, {4100, 4200}));
  position = 5000;
  EXPECT_EQ(ScanBackward(twoInABlock, Counting(2), position, stop).hit, 4200u);
  EXPECT_EQ(ScanBackward(twoInABlock, Counting(2), position, stop).hit, 4100u);
}

TEST(Scan, ReadFailures) {
  std::atomic<bool> stop{false};
  MemoryFile failing(FileWith(200000, 2, {150000}));
  failing.failingRead = 2;
  std::int64_t position = 0;
  EXPECT_EQ(ScanForward(failing, Counting(2), position, stop).outcome, SearchOutcome::ReadError);
  // Backwards, a block cut short before the end of the file is a failure too.
  MemoryFile shortBlocks(FileWith(9000, 2, {10}));
  shortBlocks.shortReads = 1000;
  position = 9000;
  EXPECT_EQ(ScanBackward(shortBlocks, Counting(2), position, stop).outcome, SearchOutcome::ReadError);
  EXPECT_EQ(SearchMessage(SearchOutcome::ReadError), strataview::kMsgFileRead);
}

TEST(HexSearch, SameTextFindsTheNextOccurrenceAndNewTextStartsAgain) {
  MemoryFile file(FileWith(10000, 3, {5, 1998, 9997}));
  CountingObserver observer;
  HexSearch search;
  search.BeginDialog();
  for (std::uint64_t expected : {5u, 1998u, 9997u}) {
    SearchResult r = Press(search, "01 02 03", SearchDirection::Down, &file, observer);
    ASSERT_EQ(r.outcome, SearchOutcome::Hit);
    EXPECT_EQ(r.hit, expected);
    EXPECT_EQ(r.length, 3u);
    EXPECT_TRUE(search.Stopped()) << "the worker sets the stop flag as it ends";
  }
  EXPECT_EQ(Press(search, "01 02 03", SearchDirection::Down, &file, observer).outcome, SearchOutcome::EndOfFile);
  EXPECT_EQ(Press(search, "010203", SearchDirection::Down, &file, observer).hit, 5u) << "another text starts at 0";
  EXPECT_EQ(observer.started, 5);
  EXPECT_EQ(observer.ended, 5);
  EXPECT_EQ(search.LastText(), "010203");
  EXPECT_EQ(search.LastHit(), 5u);
}

TEST(HexSearch, UpwardsFromTheCurrentHit) {
  MemoryFile file(FileWith(10000, 2, {7, 2500, 6000}));
  CountingObserver observer;
  HexSearch search;
  search.BeginDialog();
  EXPECT_EQ(Press(search, "0102", SearchDirection::Up, &file, observer).outcome, SearchOutcome::EndOfFile)
      << "a new search starts at offset 0, so upwards it ends at once";
  search.BeginDialog();
  EXPECT_EQ(Press(search, "0102", SearchDirection::Down, &file, observer).hit, 7u);
  EXPECT_EQ(Press(search, "0102", SearchDirection::Down, &file, observer).hit, 2500u);
  EXPECT_EQ(Press(search, "0102", SearchDirection::Down, &file, observer).hit, 6000u);
  EXPECT_EQ(Press(search, "0102", SearchDirection::Up, &file, observer).hit, 6000u) << "the last hit comes first";
  EXPECT_EQ(search.Direction(), SearchDirection::Up);
  EXPECT_EQ(Press(search, "0102", SearchDirection::Up, &file, observer).hit, 2500u);
  EXPECT_EQ(Press(search, "0102", SearchDirection::Up, &file, observer).hit, 7u);
  EXPECT_EQ(Press(search, "0102", SearchDirection::Up, &file, observer).outcome, SearchOutcome::EndOfFile);
  EXPECT_EQ(Press(search, "0102", SearchDirection::Down, &file, observer).hit, 7u);
}

TEST(HexSearch, ReopeningTheDialogStartsANewSearch) {
  MemoryFile file(FileWith(3000, 1, {10, 20}));
  CountingObserver observer;
  HexSearch search;
  EXPECT_EQ(Press(search, "01", SearchDirection::Down, &file, observer).hit, 10u);
  EXPECT_EQ(Press(search, "01", SearchDirection::Down, &file, observer).hit, 20u);
  search.BeginDialog();
  EXPECT_EQ(Press(search, "01", SearchDirection::Down, &file, observer).hit, 10u);
}

TEST(HexSearch, InvalidTextsAndNoFile) {
  MemoryFile file(FileWith(3000, 1, {10, 20}));
  CountingObserver observer;
  HexSearch search;
  EXPECT_FALSE(search.HasPattern());
  for (std::string bad : {std::string(), std::string("4 1"), std::string(51, '0'), std::string("zz")}) {
    SearchResult r = Press(search, bad, SearchDirection::Down, &file, observer);
    EXPECT_EQ(r.outcome, SearchOutcome::InvalidText) << bad;
    EXPECT_EQ(SearchMessage(r.outcome), strataview::kMsgInvalidSearch);
  }
  EXPECT_EQ(
      Press(search, std::string(25, ' ') + "01" + std::string(23, ' '), SearchDirection::Down, &file, observer).hit,
      10u)
      << "50 characters are allowed";
  // An invalid text is not remembered: typing it twice never continues the older search.
  EXPECT_EQ(Press(search, "0", SearchDirection::Down, &file, observer).outcome, SearchOutcome::InvalidText);
  EXPECT_EQ(Press(search, "0", SearchDirection::Down, &file, observer).outcome, SearchOutcome::InvalidText);
  EXPECT_TRUE(search.HasPattern());
  SearchResult none = Press(search, "01", SearchDirection::Down, nullptr, observer);
  EXPECT_EQ(none.outcome, SearchOutcome::NoFile);
  EXPECT_EQ(SearchMessage(none.outcome), strataview::kMsgFileNotOpened);
  EXPECT_EQ(observer.started, 1) << "only the one valid search scanned";
}

TEST(HexSearch, StopFlagEndsTheScanBetweenBlocks) {
  for (SearchDirection direction : {SearchDirection::Down, SearchDirection::Up}) {
    MemoryFile file(FileWith(100000, 2, {10, 99000}));
    CountingObserver observer;
    HexSearch search;
    search.BeginDialog();
    if (direction == SearchDirection::Up) {
      // Up from the hit at 99000: 10 is about fifty blocks away.
      ASSERT_EQ(Press(search, "0102", SearchDirection::Down, &file, observer).hit, 10u);
      ASSERT_EQ(Press(search, "0102", SearchDirection::Down, &file, observer).hit, 99000u);
      ASSERT_EQ(Press(search, "0102", SearchDirection::Up, &file, observer).hit, 99000u);
    } else {
      ASSERT_EQ(Press(search, "0102", SearchDirection::Down, &file, observer).hit, 10u);
    }
    file.reads = 0;
    file.beforeRead = [&search](int read) {
      if (read == 1) search.Stop();
    };
    SearchResult r = Press(search, "0102", direction, &file, observer);
    EXPECT_EQ(r.outcome, SearchOutcome::Stopped);
    EXPECT_EQ(SearchMessage(r.outcome), strataview::kMsgNoError);
    EXPECT_EQ(observer.started, observer.ended);
    EXPECT_TRUE(search.Stopped());
  }
}

TEST(HexSearch, AStoppedSearchLeavesTheNextOneNew) {
  MemoryFile file(FileWith(5000, 1, {10, 20}));
  CountingObserver observer;
  HexSearch search;
  search.BeginDialog();
  file.beforeRead = [&search](int) { search.Stop(); };
  EXPECT_EQ(Press(search, "01", SearchDirection::Down, &file, observer).hit, 10u)
      << "a hit is shown even when Cancel came during its block";
  file.beforeRead = nullptr;
  EXPECT_EQ(Press(search, "01", SearchDirection::Down, &file, observer).hit, 10u) << "starts again at 0";
  EXPECT_EQ(Press(search, "01", SearchDirection::Down, &file, observer).hit, 20u);
}

TEST(HexSearch, CancelFromAnotherThread) {
  MemoryFile file(FileWith(1000000, 4, {999000}));
  HexSearch search;
  // The worker's second read waits until the user-interface thread has pressed Cancel.
  file.beforeRead = [&search](int read) {
    while (read == 2 && !search.Stopped()) std::this_thread::yield();
  };
  struct : strataview::SearchObserver {
    void ScanStarted() override { started.store(true); }
    void ScanEnded() override {}
    std::atomic<bool> started{false};
  } observer;
  search.Arm();
  SearchResult result{SearchOutcome::Hit};
  std::thread worker([&] { result = search.Run("01020304", SearchDirection::Down, &file, observer); });
  while (!observer.started.load()) std::this_thread::yield();
  search.Stop();
  worker.join();
  EXPECT_EQ(result.outcome, SearchOutcome::Stopped);
}

TEST(HexSearch, ThroughARealFile) {
  auto path = std::filesystem::temp_directory_path() / "strataview_hex_search_test.bin";
  {
    std::vector<std::uint8_t> bytes = FileWith(70000, 16, {65000});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  auto file = strataview::ReadOnlyFile::Open(path.string());
  ASSERT_TRUE(file);
  CountingObserver observer;
  HexSearch search;
  SearchResult r = Press(search, CountingText(16), SearchDirection::Down, file.get(), observer);
  EXPECT_EQ(r.hit, 65000u);
  EXPECT_EQ(Press(search, CountingText(16), SearchDirection::Up, file.get(), observer).hit, 65000u);
  file.reset();
  std::filesystem::remove(path);
}

}  // namespace
