#include <gtest/gtest.h>

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

Bytes GzipHeader(std::uint8_t flags, std::uint32_t mtime = 0) {
  Bytes b;
  b.U8(0x1F).U8(0x8B).U8(8).U8(flags).LE32(mtime).U8(2).U8(3);
  return b;
}

TEST(Gzip, APlainMemberHasTheFixedFieldsDataAndTrailer) {
  UseUtc();
  Bytes b = GzipHeader(0, 1000000000);
  b.Zeros(5).LE32(0x12345678).LE32(9);
  auto a = AnalyseBytes(b, "a.gz");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(TopNames(a.tree), (std::vector<std::string>{"IDentification", "CM(Compression Method)", "FLG(FLaGs)",
                                                        "MTIME(Modification TIME)", "XFL(eXtra FLags)",
                                                        "OS(Operating System)", "compressed data", "CRC32", "ISIZE"}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "FLG(FLaGs)")), "0x00(0) ");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "MTIME(Modification TIME)")), "0x3b9aca00(1000000000) 2001/9/9 1:46:40");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "XFL(eXtra FLags)")), "0x02(2) maximum compression,slowest algorithm");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "OS(Operating System)")), "0x03(3) Unix");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "compressed data")), (Range{10, 5}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "ISIZE")), (Range{19, 4}));
}

TEST(Gzip, OptionalFieldsFollowTheFlags) {
  Bytes b = GzipHeader(0x1E);
  b.LE16(3).Text("abc").U8(0).Text("note").U8(0).LE16(0xBEEF).Zeros(2).LE32(0).LE32(0);
  auto a = AnalyseBytes(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "FLG(FLaGs)")), "0x1e(30) FHCRC,FEXTRA,FNAME,FCOMMENT");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "extra field")), (Range{12, 3}));
  EXPECT_EQ(Find(a.tree, "original file name"), nullptr) << "an empty name writes nothing";
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "file comment")), (Range{16, 4}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "CRC16")), (Range{21, 2}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "compressed data")), (Range{23, 2}));
}

TEST(Gzip, ShortAndOverrunningFilesFailWithoutANegativeSize) {
  EXPECT_EQ(AnalyseBytes(GzipHeader(0).Zeros(7)).error, "[HPI_PLUGIN] Wrong data descriptor field!")
      << "17 bytes: the header is read, the trailer does not fit after it";
  Bytes overrun = GzipHeader(0x04);
  overrun.LE16(500).Zeros(8);
  EXPECT_EQ(AnalyseBytes(overrun).error, "[HPI_PLUGIN] Wrong data descriptor field!");
  Bytes nameIntoTrailer = GzipHeader(0x08);
  nameIntoTrailer.Text("abcdefghij");
  EXPECT_EQ(AnalyseBytes(nameIntoTrailer).error, "[HPI_PLUGIN] Wrong data descriptor field!");
  Bytes empty = GzipHeader(0);
  empty.Zeros(8);
  auto a = AnalyseBytes(empty);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "compressed data")), (Range{10, 0}));
}

struct CabShape {
  std::uint16_t flags = 0;
  std::uint16_t folders = 1;
  std::uint32_t cbCabinet = 0;  // 0: the real size
  bool foldersOutOfOrder = false;
};

// One file in each folder, each folder one CFDATA block of 4 bytes.
std::vector<std::uint8_t> MakeCab(const CabShape& s) {
  std::uint32_t header = 36 + ((s.flags & 4) ? 4 : 0);
  std::uint32_t coffFiles = header + 8 * s.folders;
  std::uint32_t dataStart = coffFiles + s.folders * (16 + 6);
  std::uint32_t total = dataStart + s.folders * 12;
  Bytes b;
  b.Text("MSCF").LE32(0).LE32(s.cbCabinet ? s.cbCabinet : total).LE32(0).LE32(coffFiles).LE32(0);
  b.U8(3).U8(1).LE16(s.folders).LE16(s.folders).LE16(s.flags).LE16(7).LE16(0);
  if (s.flags & 4) b.LE16(0).U8(0).U8(0);
  for (std::uint32_t i = 0; i < s.folders; ++i) {
    std::uint32_t block = s.foldersOutOfOrder ? s.folders - 1 - i : i;
    b.LE32(dataStart + 12 * block).LE16(1).LE16(1);
  }
  for (std::uint32_t i = 0; i < s.folders; ++i) {
    b.LE32(4).LE32(0).LE16(i).LE16(0x4068).LE16(0x8765).LE16(0x21).Text("f.txt").U8(0);
  }
  for (std::uint32_t i = 0; i < s.folders; ++i) b.LE32(0).LE16(4).LE16(4).Text("data");
  return b;
}

TEST(Cab, HeaderFoldersFilesAndDataBlocks) {
  auto a = AnalyseBytes(MakeCab({.folders = 2}), "a.cab");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(TopNames(a.tree), (std::vector<std::string>{"CFHEADER(Cabinet header)", "CFFOLDER[0]", "CFFOLDER[1]",
                                                        "CFFILE[0]", "CFFILE[1]", "CFDATA[0]", "CFDATA[1]"}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "signature")), "0x4643534d(1178817357) 'MSCF'");
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "typeCompress(compression type)")),
            (std::vector<std::string>{"compression type:MSZIP"}));
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "attribs(file attributes)")),
            (std::vector<std::string>{"read-only", "file modified since last backup"}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "date")), "0x4068(16488) 2012/03/08");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "szName(file name)")), "f.txt");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "CFDATA[1]")), (Range{108, 12}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "ab[cbData](compressed data bytes)")), (Range{104, 4}));
}

TEST(Cab, ReserveSizesWithoutReservedArea) {
  auto a = AnalyseBytes(MakeCab({.flags = 4}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_NE(Find(a.tree, "cbCFHeader(size of per-cabinet reserved area)"), nullptr);
  EXPECT_NE(Find(a.tree, "cbCFData(size of per-datablock reserved area)"), nullptr);
  EXPECT_EQ(Find(a.tree, "abReserve(per-cabinet reserved area)"), nullptr);
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "flags(cabinet file option indicators)")),
            (std::vector<std::string>{"reserved area is present"}));
}

TEST(Cab, InconsistentCabinetsAreFormatErrors) {
  EXPECT_EQ(AnalyseBytes(MakeCab({.folders = 2, .foldersOutOfOrder = true})).error, "[HPI_PLUGIN] Wrong file format!");
  EXPECT_EQ(AnalyseBytes(MakeCab({.cbCabinet = 60})).error, "[HPI_PLUGIN] Wrong file format!");
  // A count that the file cannot hold fails at the end of the file.
  auto huge = MakeCab({});
  huge[26] = 0xFF;
  huge[27] = 0xFF;
  EXPECT_EQ(AnalyseBytes(huge).error, "[HPI_PLUGIN] Wrong file format!");
  auto files = MakeCab({});
  files[28] = 0xFF;
  files[29] = 0xFF;
  EXPECT_EQ(AnalyseBytes(files).error, "[HPI_PLUGIN] Wrong file format!");
  std::vector<std::uint8_t> cut(huge.begin(), huge.begin() + 30);
  EXPECT_EQ(AnalyseBytes(cut).error, "[HPI_PLUGIN] Wrong file format!");
  auto wrong = MakeCab({});
  wrong[3] = 'G';
  EXPECT_EQ(AnalyseBytes(wrong).error, "[HPI_PLUGIN] Wrong file format!") << "no archive kind";
}

}  // namespace
