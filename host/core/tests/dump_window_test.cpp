#include "strataview/dump_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "strataview/host_messages.h"

namespace {

namespace fs = std::filesystem;
using namespace strataview;

// Records the edits the window makes to its panes and keeps the panes' texts.
class Panes : public DumpPanes {
 public:
  void SetText(DumpColumn c, const std::string& text) override { texts[c] = text; }
  void Erase(DumpColumn c, std::size_t from, std::size_t to) override { texts[c].erase(from, to - from); }
  void Insert(DumpColumn c, std::size_t at, const std::string& text) override { texts[c].insert(at, text); }
  void FileChanged() override { ++files; }
  std::string texts[3];
  int files = 0;
};

// A file of size bytes, sparse where the file system allows; empty path when it cannot be made.
fs::path MakeFile(const std::string& name, std::uint64_t size, std::uint64_t markAt = 0, const std::string& mark = "") {
  fs::path path = fs::temp_directory_path() / name;
  { std::ofstream create(path, std::ios::binary | std::ios::trunc); }
  std::error_code ec;
  fs::resize_file(path, size, ec);
  if (ec) {
    fs::remove(path, ec);
    return {};
  }
  if (!mark.empty()) {
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(static_cast<std::streamoff>(markAt));
    f.write(mark.data(), static_cast<std::streamsize>(mark.size()));
  }
  return path;
}

TEST(DumpText, LinePiecesAndCharacterColumn) {
  const std::uint8_t bytes[] = {0x41, 0x00, 0xA3, 0xA4, 0xDF, 0xE0, 0x7E, 0x7F};
  EXPECT_EQ(HexText(bytes, 2), " 41 00\r\n");
  EXPECT_EQ(CharText(bytes, 8), "A..\xA4\xDF.~.\r\n");
  EXPECT_EQ(AddressText(2, false), "0x00000020\r\n");
  EXPECT_EQ(AddressText(0x10000000ull, true), "0x0000000100000000\r\n");
  EXPECT_STREQ(HeaderFor(false).address, "  ADDRESS :");
}

TEST(DumpWindow, SmallAndEmptyFiles) {
  Panes panes;
  DumpWindow window(&panes);
  EXPECT_EQ(window.LoadAt(0), kMsgFileNotOpened);
  EXPECT_EQ(window.Open((fs::temp_directory_path() / "no-such-dump-file").string()), kMsgFileOpen);
  ASSERT_EQ(window.Open(MakeFile("empty.bin", 0).string()), kMsgNoError);
  EXPECT_EQ(window.LineCount(), 0u);
  EXPECT_EQ(window.LoadedLines(), 0u);
  ASSERT_EQ(window.Open(MakeFile("seventeen.bin", 17, 16, "Z").string()), kMsgNoError);
  EXPECT_EQ(window.LineCount(), 2u);
  EXPECT_EQ(panes.texts[kHexColumn].substr(50), " 5a\r\n");
  EXPECT_EQ(panes.texts[kCharColumn].substr(18), "Z\r\n");
  EXPECT_EQ(panes.files, 2);
}

TEST(DumpWindow, ShiftsKeepThePanesEqualToAFreshLoad) {
  std::string content(16 * 300, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  fs::path path = fs::temp_directory_path() / "shift.bin";
  std::ofstream(path, std::ios::binary) << content;
  Panes panes;
  DumpWindow window(&panes);
  ASSERT_EQ(window.Open(path.string()), kMsgNoError);
  DumpWindow fresh;
  fresh.Open(path.string());
  for (std::int64_t d : {5, 30, -12, 99, 100, 250, -5, -300, 2}) {
    ASSERT_EQ(window.ShiftBy(d), kMsgNoError) << d;
    fresh.LoadAt(window.TopLine());
    for (int c = 0; c < 3; ++c) {
      auto column = static_cast<DumpColumn>(c);
      std::size_t lines = window.LoadedLines();
      EXPECT_EQ(panes.texts[c], window.Text(column)) << d;
      EXPECT_EQ(window.Text(column), fresh.Text(column).substr(0, window.Text(column).size())) << d;
      EXPECT_LE(lines, kWindowLines);
    }
  }
  window.LoadAt(2);
  window.ShiftBy(-5);
  EXPECT_EQ(window.TopLine(), 0u) << "a shift before the start stops at line 0";
}

TEST(DumpWindow, FourGigabytesSwitchToWideAddresses) {
  {
    DumpWindow below, at;
    ASSERT_EQ(below.Open(MakeFile("below4g.bin", (1ull << 32) - 1).string()), kMsgNoError);
    EXPECT_FALSE(below.Wide());
    ASSERT_EQ(at.Open(MakeFile("at4g.bin", 1ull << 32, (1ull << 32) - 16, "near the 4 GiB!").string()), kMsgNoError);
    EXPECT_TRUE(at.Wide());
    ASSERT_EQ(at.LoadAt(at.LineCount() - 1), kMsgNoError);
    EXPECT_EQ(at.Text(kAddressColumn), "0x00000000fffffff0\r\n");
    EXPECT_EQ(at.Text(kCharColumn), "near the 4 GiB!.\r\n");
  }  // closed before removal: Windows keeps open files
  fs::remove(fs::temp_directory_path() / "below4g.bin");
  fs::remove(fs::temp_directory_path() / "at4g.bin");
}

TEST(DumpWindow, TerabyteFileDumpsAtItsEnd) {
  const std::uint64_t size = (1ull << 40) + 5;
  fs::path path = MakeFile("terabyte.bin", size, 1ull << 40, "tail!");
  if (path.empty()) GTEST_SKIP() << "this file system cannot hold a sparse 1 TiB file";
  {
    DumpWindow window;
    ASSERT_EQ(window.Open(path.string()), kMsgNoError);
    EXPECT_EQ(window.LineCount(), (1ull << 36) + 1);
    EXPECT_EQ(window.ScrollShift(), 5) << "2^36 lines shifted right by 5 fit 0x8FFFFFFF";
    ASSERT_EQ(window.LoadAt(window.LineCount() - 2), kMsgNoError);
    EXPECT_EQ(window.Text(kAddressColumn), "0x000000fffffffff0\r\n0x0000010000000000\r\n");
    EXPECT_EQ(window.Text(kCharColumn).substr(18), "tail!\r\n");
    ASSERT_EQ(window.ShiftBy(-1), kMsgNoError);
    EXPECT_EQ(window.LoadedLines(), 3u);
  }
  fs::remove(path);
}

}  // namespace
