// Damaged and cut archives: the partial tree up to the damage, its fault item at
// the damage, and entries whose data runs past the end shown clipped.
#include <gtest/gtest.h>

#include "archive_builders.h"
#include "hpi/hpi.h"

namespace {

using namespace kavlore_test;
using testing_support::AnalyseBytes;
using testing_support::Analysed;
using testing_support::AnalysePath;
using testing_support::CorpusDir;
using testing_support::Find;
using testing_support::Range;
using testing_support::RangeOf;

std::vector<std::uint8_t> Cut(const std::vector<std::uint8_t>& bytes, std::size_t length) {
  return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)};
}

TEST(Truncation, EveryPrefixOfAZipShowsWhatCameBeforeItsFault) {
  auto whole = MakeZip({.entries = {ZipEntry{}, ZipEntry{.name = "b.txt", .data = "world!"}}});
  for (std::size_t length = 7; length < whole.size(); ++length) {
    Analysed p = AnalyseBytes(Cut(whole, length), "partial.bin", 1, hpi::kRequestPartial);
    ASSERT_FALSE(p.ok) << length;
    ASSERT_TRUE(p.partial) << length;
    EXPECT_EQ(p.faults.count, 1u) << length;
    EXPECT_LE(p.faults.last.offset, length) << length;
    EXPECT_EQ(p.faults.last.offset + p.faults.last.size, length) << length;
  }
}

TEST(Truncation, DataRunningPastTheEndIsClippedWithANote) {
  auto whole = MakeZip({});
  Analysed p =
      AnalyseBytes(Cut(whole, 30 + 5 + 2), "partial.bin", 1, hpi::kRequestPartial);  // two of the five data bytes
  const auto* data = Find(p.tree, "Compressed file data[1]");
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(RangeOf(p.tree, *data), (Range{35, 2}));
  EXPECT_NE(Find(p.tree, "the data runs past the end of the file: 2 of 5 bytes present"), nullptr);
  EXPECT_EQ(p.faults.last.message, "[HPI_PLUGIN] Wrong local file field!");
  EXPECT_EQ(p.faults.last.offset, 35u);
}

TEST(Truncation, FaultsSitAtTheFieldsThatDoNotFit) {
  // An extra field whose data size runs past the extra field length: the fault is at the Data Size.
  auto bad = MakeZip({.entries = {{.localExtra = {0x99, 0x99, 9, 0, 1, 2}}}});
  Analysed p = AnalyseBytes(bad, "partial.bin", 1, hpi::kRequestPartial);
  EXPECT_EQ(p.faults.last.message, "[HPI_PLUGIN] Wrong extra field!");
  EXPECT_EQ(p.faults.last.offset, 30u + 5 + 2);
  // An unknown signature: the fault is at the signature, after the items before it.
  auto junk = MakeZip({});
  junk[40] = 'X';
  p = AnalyseBytes(junk, "partial.bin", 1, hpi::kRequestPartial);
  EXPECT_EQ(p.faults.last.offset, 40u);
  EXPECT_NE(Find(p.tree, "Compressed file data[1]"), nullptr);
}

TEST(Truncation, CorpusTruncatedArchivesEndAtTheirFault) {
  struct Case {
    const char* file;
    const char* lastItem;
  };
  for (const Case& c : {Case{"zip/libzip-testfile-truncated.zip", "filename"},
                        Case{"lzh/lhasa-regression-truncated.lzh", "Compress data"}}) {
    auto path = CorpusDir() / c.file;
    if (!std::filesystem::exists(path)) continue;
    Analysed p = AnalysePath(path, 1, hpi::kRequestPartial);
    ASSERT_TRUE(p.partial) << c.file;
    EXPECT_FALSE(p.ok) << c.file;
    EXPECT_NE(Find(p.tree, c.lastItem), nullptr) << c.file;
    EXPECT_EQ(p.faults.last.offset + p.faults.last.size, std::filesystem::file_size(path)) << c.file;
  }
  auto lzh = CorpusDir() / "lzh/lhasa-regression-truncated.lzh";
  if (std::filesystem::exists(lzh)) {
    Analysed p = AnalysePath(lzh, 1, hpi::kRequestPartial);
    EXPECT_EQ(RangeOf(p.tree, *Find(p.tree, "Compress data")), (Range{32, 2968})) << "as lha v lists it";
  }
}

TEST(Truncation, EveryPrefixOfACabinetAndAnLzhArchiveIsHandedOver) {
  Bytes cab;
  cab.Text("MSCF").LE32(0).LE32(78).LE32(0).LE32(44).LE32(0).U8(3).U8(1).LE16(1).LE16(1).LE16(0).LE16(7).LE16(0);
  cab.LE32(66).LE16(1).LE16(1);
  cab.LE32(4).LE32(0).LE16(0).LE16(0x4068).LE16(0x8765).LE16(0).Text("f.txt").U8(0);
  cab.LE32(0).LE16(4).LE16(4).Text("data");
  Bytes lzh;
  lzh.U8(27).U8(0).Text("-lh0-").LE32(5).LE32(5).LE32(0x40688765).U8(0x20).U8(0).U8(5).Text("a.txt").LE16(0);
  lzh.Text("hello").U8(0);
  for (const Bytes* archive : {&cab, &lzh}) {
    const std::vector<std::uint8_t>& whole = *archive;
    for (std::size_t length = 7; length < whole.size(); ++length) {
      Analysed p = AnalyseBytes(Cut(whole, length), "partial.bin", 1, hpi::kRequestPartial);
      if (p.ok) continue;  // an LZH archive may end without its end byte
      ASSERT_TRUE(p.partial) << length;
      EXPECT_EQ(p.faults.last.offset + p.faults.last.size, length) << length;
    }
  }
  Analysed p = AnalyseBytes(Cut(cab, cab.Size() - 2), "partial.bin", 1, hpi::kRequestPartial);
  EXPECT_EQ(RangeOf(p.tree, *Find(p.tree, "ab[cbData](compressed data bytes)")), (Range{74, 2}));
}

}  // namespace
