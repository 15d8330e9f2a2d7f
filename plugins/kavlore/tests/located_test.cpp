// Archives after other data: self-extractors, embedded cabinets, and files that
// only look like archives.
#include <gtest/gtest.h>

#include <string>

#include "archive_builders.h"
#include "tree_helpers.h"

namespace {

using namespace kavlore_test;
using testing_support::AnalyseBytes;
using testing_support::AnalysePath;
using testing_support::CorpusDir;
using testing_support::Find;
using testing_support::Range;
using testing_support::RangeOf;
using testing_support::Supports;

std::vector<std::uint8_t> Program(std::size_t size) { return std::vector<std::uint8_t>(size, 0x90); }

Bytes Prefixed(const std::vector<std::uint8_t>& program, const std::vector<std::uint8_t>& archive) {
  Bytes b;
  b.Vector() = program;
  b.Vector().insert(b.Vector().end(), archive.begin(), archive.end());
  return b;
}

// A level 0 LZH header whose checksum is right unless told otherwise.
std::vector<std::uint8_t> Level0(bool rightChecksum = true) {
  Bytes b;
  b.U8(22 + 5).U8(0).Text("-lh0-").LE32(5).LE32(5).LE32(0x40688765).U8(0x20).U8(0).U8(5).Text("a.txt").LE16(0);
  std::uint8_t sum = 0;
  for (std::size_t i = 2; i < b.Size(); ++i) sum = static_cast<std::uint8_t>(sum + b.Vector()[i]);
  b.Vector()[1] = static_cast<std::uint8_t>(rightChecksum ? sum : sum + 1);
  return b.Text("hello").U8(0);
}

TEST(Located, ZipFoundByItsEndRecordsBehindALongProgram) {
  for (std::size_t program : {700u, 3000u, 70000u}) {
    auto file = MakeZip({.prefix = Program(program)});
    auto a = AnalyseBytes(file, "sfx.exe");
    ASSERT_TRUE(a.ok) << program << ": " << a.error;
    EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Leading data")), (Range{0, program}));
    EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "local file header signature")), (Range{program, 4}));
    EXPECT_NE(Find(a.tree, "End of Central directory"), nullptr);
    EXPECT_EQ(Find(a.tree, "the central directory starts at", true), nullptr) << "offsets count from the archive";
  }
  // The first bytes show a local header that holds together only when the program is short.
  EXPECT_EQ(Supports(MakeZip({.prefix = Program(700)})), 1);
}

TEST(Located, CabinetAfterOtherDataAndBeforeTrailingData) {
  Bytes cab;
  cab.Text("MSCF").LE32(0).LE32(36 + 8 + 22 + 12).LE32(0).LE32(44).LE32(0).U8(3).U8(1).LE16(1).LE16(1);
  cab.LE16(0).LE16(7).LE16(0);
  cab.LE32(66).LE16(1).LE16(0x1503);  // one CFDATA block at 66, LZX with a 2^21-byte window
  cab.LE32(4).LE32(0).LE16(0xFFFD).LE16(0x4068).LE16(0x8765).LE16(0).Text("f.txt").U8(0);
  cab.LE32(0).LE16(4).LE16(4).Text("data");
  Bytes file = Prefixed({'h', 'e', 'l', 'l', 'o', '\n'}, cab);
  file.Text("tail");
  EXPECT_EQ(Supports(file), 1);
  auto a = AnalyseBytes(file, "embedded.bin");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(TopNames(a.tree), (std::vector<std::string>{"Leading data", "CFHEADER(Cabinet header)", "CFFOLDER[0]",
                                                        "CFFILE[0]", "CFDATA[0]", "Trailing data"}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "CFDATA[0]")), (Range{72, 12}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Trailing data")), (Range{84, 4}));
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "typeCompress(compression type)")),
            (std::vector<std::string>{"compression type:LZX", "window 2097152 bytes(2^21)"}));
  EXPECT_EQ(testing_support::ValueOf(a.tree, *Find(a.tree, "iFolder(index into the CFFOLDER area)")),
            "0xfffd(65533) ifoldCONTINUED_FROM_PREV");
  // Reserved fields that are not zero: no cabinet.
  Bytes odd = file;
  odd.Vector()[6 + 4] = 1;
  EXPECT_EQ(Supports(odd), 0);
  EXPECT_FALSE(AnalyseBytes(odd).ok);
}

TEST(Located, LzhHeaderWithARightChecksumAfterAProgram) {
  auto sfx = Prefixed(Program(1263), Level0());
  EXPECT_EQ(Supports(sfx), 1);
  auto a = AnalyseBytes(sfx, "sfx.com");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Leading data")), (Range{0, 1263}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Archived file header")), (Range{1263, 29}));
  EXPECT_EQ(Supports(Prefixed(Program(1263), Level0(false))), 0) << "a wrong checksum is no header";
  // Beyond the first bytes only the analysis looks, up to 64 KiB.
  auto far = Prefixed(Program(40000), Level0());
  EXPECT_EQ(Supports(far), 0);
  EXPECT_TRUE(AnalyseBytes(far).ok);
  EXPECT_FALSE(AnalyseBytes(Prefixed(Program(70000), Level0())).ok);
}

// A level 2 header with a common extended header whose CRC-16 (0xA001, reflected) is right unless told otherwise.
std::vector<std::uint8_t> Level2(bool rightCrc = true) {
  Bytes b;
  b.LE16(26 + 5 + 8).Text("-lh0-").LE32(0).LE32(0).LE32(86400).U8(0x20).U8(2).LE16(0).U8('U').LE16(5);
  b.U8(0x00).LE16(0).LE16(8);        // common header: CRC-16, next size
  b.U8(0x01).Text("a.txt").LE16(0);  // file name header
  std::uint16_t crc = 0;
  for (std::uint8_t byte : b.Vector()) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = static_cast<std::uint16_t>(crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1);
  }
  if (!rightCrc) crc ^= 1;
  b.Vector()[27] = static_cast<std::uint8_t>(crc);
  b.Vector()[28] = static_cast<std::uint8_t>(crc >> 8);
  return b.U8(0);
}

TEST(Located, LzhLevel2HeaderWithARightCrcAfterAProgram) {
  EXPECT_EQ(Supports(Prefixed(Program(500), Level2())), 1);
  EXPECT_EQ(Supports(Prefixed(Program(500), Level2(false))), 0);
  auto a = AnalyseBytes(Prefixed(Program(500), Level2()));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Base file header")), (Range{500, 39}));
}

TEST(Located, CorpusSelfExtractorsAndEmbeddedArchives) {
  struct Case {
    const char* file;
    std::uint64_t leading;
    const char* first;
  };
  for (const Case& c : {Case{"cab/cabextract-search.cab", 6, "CFHEADER(Cabinet header)"},
                        Case{"cab/libmspack-search_basic.cab", 6, "CFHEADER(Cabinet header)"},
                        Case{"lzh/lhasa-lharc113-sfx.com", 1263, "Archived file header"},
                        Case{"lzh/lhasa-explzh_723-declha_sfx_ansi.exe", 36352, "Base file header"},
                        Case{"zip/libarchive-zip_sfx.exe", 1024, "Local file"},
                        Case{"zip/python-exe_with_zip.zip", 713, "Local file"}}) {
    auto path = CorpusDir() / c.file;
    if (!std::filesystem::exists(path)) continue;
    auto a = AnalysePath(path);
    ASSERT_TRUE(a.ok) << c.file << ": " << a.error;
    EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Leading data")), (Range{0, c.leading})) << c.file;
    EXPECT_EQ(TopNames(a.tree).at(1), c.first) << c.file;
  }
  auto pm1 = CorpusDir() / "lzh/lhasa-pmarc124-pm1.pma";
  if (std::filesystem::exists(pm1)) {
    auto a = AnalysePath(pm1);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "Method ID")), (std::vector<std::string>{"PMarc method"}));
  }
}

}  // namespace
