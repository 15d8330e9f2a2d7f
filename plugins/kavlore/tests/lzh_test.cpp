#include <gtest/gtest.h>

#include <string>

#include "archive_builders.h"
#include "tree_helpers.h"
#include "utc.h"

namespace {

using namespace kavlore_test;
using testing_support::AnalyseBytes;
using testing_support::Find;
using testing_support::Range;
using testing_support::RangeOf;
using testing_support::ValueOf;

Bytes Level0(const std::string& method, const std::string& name, const std::string& data) {
  Bytes b;
  b.U8(static_cast<std::uint32_t>(22 + name.size())).U8(0).Text(method);
  b.LE32(static_cast<std::uint32_t>(data.size())).LE32(static_cast<std::uint32_t>(data.size()));
  b.LE32(0x40688765).U8(0x21).U8(0).U8(static_cast<std::uint32_t>(name.size())).Text(name).LE16(0xABCD);
  return b.Text(data);
}

// A level 2 header of 26 fixed bytes followed by the given extended headers.
Bytes Level2(const std::vector<std::uint8_t>& extended, std::uint16_t firstSize, std::uint8_t os,
             const std::string& data) {
  Bytes b;
  b.LE16(static_cast<std::uint32_t>(26 + extended.size())).Text("-lh0-");
  b.LE32(static_cast<std::uint32_t>(data.size())).LE32(static_cast<std::uint32_t>(data.size()));
  b.LE32(86400).U8(0x20).U8(2).LE16(0).U8(os).LE16(firstSize);
  b.Vector().insert(b.Vector().end(), extended.begin(), extended.end());
  return b.Text(data);
}

TEST(Lzh, ALevel0ArchiveWithItsEndByte) {
  Bytes b = Level0("-lh0-", "a.txt", "hello");
  b.U8(0);
  auto a = AnalyseBytes(b, "a.lzh");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(TopNames(a.tree), (std::vector<std::string>{"Archived file header", "Compress data", "Archive end"}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Archived file header")), (Range{0, 29}));
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "Method ID")), (std::vector<std::string>{"LHA method", "No compression"}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Last modified time")), "0x40688765(1080592229) 2012/03/08 16:59:10");
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "MS-DOS file attribute")),
            (std::vector<std::string>{"Read only", "Archive"}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Compress data")), (Range{29, 5}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Archive end")), (Range{34, 1}));
  auto odd = AnalyseBytes(Level0("-lhx-", "a", "").Vector());
  ASSERT_TRUE(odd.ok) << odd.error;
  EXPECT_TRUE(NotesOf(odd.tree, *Find(odd.tree, "Method ID")).empty());
}

TEST(Lzh, HeadersWithoutCrcAndTooSmallHeaders) {
  Bytes larc = Level0("-lz4-", "a.txt", "");
  larc.Vector()[0] = 20 + 5;  // LArc: the header ends with the name
  larc.Vector().resize(larc.Size() - 2);
  auto a = AnalyseBytes(larc);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(Find(a.tree, "CRC-16 of original file"), nullptr);
  Bytes tiny = Level0("-lh0-", "a.txt", "");
  tiny.Vector()[0] = 10;
  EXPECT_EQ(AnalyseBytes(tiny).error, "[HPI_PLUGIN] Wrong file format!");
}

TEST(Lzh, Level1DataSizeIsTheSkipSizeLessTheExtendedHeaders) {
  Bytes b;
  b.U8(25 + 1).U8(0).Text("-lh5-").LE32(120).LE32(500).LE32(0).U8(0x20).U8(1).U8(1).Text("x").LE16(0).U8('X');
  b.LE16(20);
  b.U8(0x01).Text("seventeen bytes..").LE16(0);  // a file name header of 20 bytes
  b.Zeros(100);
  auto a = AnalyseBytes(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "File name header(Extension header)")), (Range{28, 20}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "File name")), "seventeen bytes..");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Compress data")), (Range{48, 100}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "OS ID")), "X XOSK(Unofficial)");
}

TEST(Lzh, ExtendedHeadersByTypeAndLevel) {
  UseUtc();
  Bytes five;
  five.U8(0x00).LE16(0x1234).LE16(6);
  five.U8(0x00).LE16(0x5678).U8(9).LE16(27);
  five.U8(0x41).LE32(0).LE32(0).LE32(0xD53E8000).LE32(0x019DB1DE).LE32(0).LE32(0).LE16(5);
  five.U8(0x50).LE16(0x41ED).LE16(0);
  auto a = AnalyseBytes(Level2(five.Vector(), 5, 'U', "data").Vector());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(TopNames(a.tree),
            (std::vector<std::string>{"Base file header", "Common header(Extension header)",
                                      "Common header(Extension header)", "Windows time stamp header(Extension header)",
                                      "UNIX file permission(Extension header)", "Compress data"}));
  const Item* first = Find(a.tree, "Common header(Extension header)");
  EXPECT_EQ(ItemNames(a.tree, *first), (std::vector<std::string>{"Extension type", "CRC-16", "Next header size"}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Information")), "0x09(9)");
  const Item* times = Find(a.tree, "Windows time stamp header(Extension header)");
  EXPECT_EQ(NotesOf(a.tree, *Child(a.tree, times, "Last modified time")),
            (std::vector<std::string>{"1970/01/01 00:00:00"}));
  EXPECT_EQ(NotesOf(a.tree, *Child(a.tree, times, "Creation time")),
            (std::vector<std::string>{"out of range for local time"}));
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "Permission value")), (std::vector<std::string>{"drwxr-xr-x"}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Original file time stamp")), "0x00015180(86400) 1970/1/2 0:0:0");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Compress data")), (Range{69, 4}));
}

TEST(Lzh, TypesOutsideTheirLevelsAreUnknownAndSizesMustFit) {
  // A Windows time stamp header belongs to levels 2 and 3.
  Bytes b;
  b.U8(25 + 1).U8(0).Text("-lh0-").LE32(6).LE32(0).LE32(0).U8(0x20).U8(1).U8(1).Text("x").LE16(0).U8('M');
  b.LE16(6).U8(0x41).Text("abc").LE16(0);
  auto a = AnalyseBytes(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Extension type")), "0x41(65) Unkown value");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Unkown data")), (Range{29, 3}));

  Bytes wrongSize;
  wrongSize.U8(0x50).LE16(0x41ED).U8(0).LE16(0);
  EXPECT_EQ(AnalyseBytes(Level2(wrongSize.Vector(), 6, 'U', "").Vector()).error, "[HPI_PLUGIN] Wrong file format!");
  Bytes huge;
  huge.U8(0x01).Text("a").LE16(0);
  EXPECT_EQ(AnalyseBytes(Level2(huge.Vector(), 0xFFFF, 'U', "").Vector()).error, "[HPI_PLUGIN] Wrong file format!");
}

TEST(Lzh, Level2WithoutEndByteAndBadLevels) {
  auto a = AnalyseBytes(Level2({}, 0, 'U', "abc").Vector());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(TopNames(a.tree).back(), "Compress data");
  Bytes bad = Level0("-lh0-", "a.txt", "");
  bad.Vector()[20] = 4;
  EXPECT_EQ(AnalyseBytes(bad).error, "[HPI_PLUGIN] Wrong file format!");
  Bytes cut = Level0("-lh5-", "a.txt", "");
  cut.Vector()[7] = 200;  // compressed size past the end
  EXPECT_EQ(AnalyseBytes(cut).error, "[HPI_PLUGIN] Wrong file format!");
}

}  // namespace
