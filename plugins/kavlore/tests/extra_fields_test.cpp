// The extra fields, flags and attributes that ZIP, GZIP, CAB and LZH writers use,
// on hand-made archives and on the corpus files that show them.
#include <gtest/gtest.h>

#include <string>

#include "archive_builders.h"
#include "tree_helpers.h"
#include "utc.h"

namespace {

using namespace kavlore_test;
using testing_support::AnalyseBytes;
using testing_support::AnalysePath;
using testing_support::CorpusDir;
using testing_support::Find;
using testing_support::Range;
using testing_support::RangeOf;
using testing_support::ValueOf;

using Texts = std::vector<std::string>;

constexpr std::uint64_t kFileTime2001 = 126444736000000000;  // 2001/09/09 01:46:40 UTC

std::vector<std::uint8_t> Le64(std::uint64_t v) {
  std::vector<std::uint8_t> b;
  for (int i = 0; i < 8; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  return b;
}

std::string Value(const testing_support::Analysed& a, const std::string& name) {
  const auto* item = Find(a.tree, name);
  return item != nullptr ? ValueOf(a.tree, *item) : "(missing " + name + ")";
}

TEST(ZipExtra, NtfsTimesUnixIdsUnicodePathAndAes) {
  UseUtc();
  Bytes ntfs;
  ntfs.LE32(0).LE16(1).LE16(24);
  for (int i = 0; i < 3; ++i) {
    auto t = Le64(kFileTime2001);
    ntfs.Vector().insert(ntfs.Vector().end(), t.begin(), t.end());
  }
  Bytes ux;
  ux.U8(1).U8(4).LE32(1000).U8(4).LE32(100);
  Bytes up;
  up.U8(1).LE32(0x12345678).Text("\xC3\xA4.txt");
  Bytes aes;
  aes.LE16(2).Text("AE").U8(3).LE16(8);
  std::vector<std::uint8_t> extra;
  for (auto block : {Block(0x000A, ntfs), Block(0x7875, ux), Block(0x7075, up), Block(0x9901, aes)}) {
    extra.insert(extra.end(), block.begin(), block.end());
  }
  auto a = AnalyseBytes(MakeZip({.entries = {{.localExtra = extra}}}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(Value(a, "Mtime(last modification time)"), "0x01c138d144ff8000(126444736000000000) 2001/09/09 01:46:40");
  EXPECT_NE(Find(a.tree, "Ctime(creation time)"), nullptr);
  EXPECT_EQ(Value(a, "UID"), "0x000003e8(1000)");
  EXPECT_EQ(Value(a, "GID"), "0x00000064(100)");
  EXPECT_EQ(Value(a, "NameCRC32"), "0x12345678(305419896)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "UnicodeName")).size, 6u);
  EXPECT_EQ(Value(a, "Version"), "0x01(1)");
  EXPECT_EQ(Value(a, "Encryption strength"), "0x03(3) 256-bit encryption key");
  EXPECT_EQ(Value(a, "Compression method"), "0x0008(8) The file is Deflated");
}

TEST(ZipExtra, OriginalUnixBlockHoldsIdsOnlyInTheLocalForm) {
  UseUtc();
  Bytes local;
  local.LE32(1000000000).LE32(1000000000).LE16(1000).LE16(100);
  Bytes central;
  central.LE32(1000000000).LE32(1000000000);
  auto a = AnalyseBytes(
      MakeZip({.entries = {{.localExtra = Block(0x5855, local), .centralExtra = Block(0x5855, central)}}}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(Value(a, "ModTime(last modification time)"), "0x3b9aca00(1000000000) 2001/9/9 1:46:40");
  EXPECT_EQ(Value(a, "UID"), "0x03e8(1000)");
  EXPECT_EQ(Find(a.tree, "Unkown data"), nullptr);
}

TEST(ZipExtra, FlagBitsAndExternalAttributes) {
  ZipEntry link{.flag = 0x0840, .madeBy = 0x031E, .external = 0xA1FF0000};
  ZipEntry dos{.name = "DIR/", .data = "", .madeBy = 0x0014, .external = 0x10};
  auto a = AnalyseBytes(MakeZip({.entries = {link, dos}}));
  ASSERT_TRUE(a.ok) << a.error;
  Texts flags = NotesOf(a.tree, *Find(a.tree, "general purpose bit flag"));
  EXPECT_EQ(flags, (Texts{"Strong encryption", "Language encoding flag(EFS): filename and comment are UTF-8"}));
  const auto* central = Find(a.tree, "Central file header[1]");
  EXPECT_EQ(NotesOf(a.tree, *Child(a.tree, central, "external file attributes")),
            (Texts{"symbolic link", "lrwxrwxrwx"}));
  EXPECT_EQ(NotesOf(a.tree, *Child(a.tree, Find(a.tree, "Central file header[2]"), "external file attributes")),
            (Texts{"Sub directory"}));
}

TEST(ZipExtra, CentralHeadersAndEndRecordAreCheckedAgainstWhatWasWalked) {
  auto file = MakeZip({.entries = {ZipEntry{}, ZipEntry{.name = "b.txt"}}});
  auto a = AnalyseBytes(file);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(Find(a.tree, "differs from the local file header"), nullptr);
  EXPECT_EQ(Find(a.tree, "the central directory", true), nullptr);
  // The second central header names another file and another size; the end record counts three entries.
  auto changed = file;
  std::size_t central = 2 * (30 + 5 + 5);
  std::size_t second = central + 46 + 5;
  changed[second + 46] = 'c';  // the second central header's name
  changed[second + 24] = 9;    // its uncompressed size
  std::size_t end = changed.size() - 22;
  changed[end + 10] = 3;
  auto b = AnalyseBytes(changed);
  ASSERT_TRUE(b.ok) << b.error;
  const auto* header = Find(b.tree, "Central file header[2]");
  EXPECT_EQ(NotesOf(b.tree, *Child(b.tree, header, "uncompressed size")),
            (Texts{"differs from the local file header"}));
  EXPECT_EQ(NotesOf(b.tree, *Child(b.tree, header, "filename")), (Texts{"differs from the local file header"}));
  EXPECT_EQ(NotesOf(b.tree, *Find(b.tree, "Total number of entries in the central dir")),
            (Texts{"the central directory holds 2 headers"}));
  auto offset = file;
  offset[end + 16] = 7;
  auto c = AnalyseBytes(offset);
  EXPECT_EQ(
      NotesOf(c.tree, *Find(c.tree, "Offset of start of central directory with respect to the starting disk number")),
      (Texts{"the central directory starts at 80"}));
}

TEST(GzipExtra, SubfieldsTimesFlagsAndTheTrailer) {
  Bytes b;
  b.U8(0x1F).U8(0x8B).U8(8).U8(0x24).LE32(0).U8(9).U8(3);  // FEXTRA and reserved bit 5
  b.LE16(6 + 4).Text("BC").LE16(2).LE16(27).Text("xy").LE16(0);
  b.Text("data").LE32(0x11111111).LE32(4);
  auto a = AnalyseBytes(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(Value(a, "FLG(FLaGs)"), "0x24(36) FEXTRA,reserved(5)");
  EXPECT_EQ(Value(a, "MTIME(Modification TIME)"), "0x00000000(0) no time stamp");
  EXPECT_EQ(Value(a, "XFL(eXtra FLags)"), "0x09(9) Unkown value");
  EXPECT_EQ(Value(a, "SI2"), "C BGZF block size(samtools)");
  EXPECT_EQ(Value(a, "BSIZE(total block size - 1)"), "0x001b(27) block size 28");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "subfield[2]")), (Range{18, 4}));
  EXPECT_EQ(Value(a, "CRC32"), "0x11111111(286331153) taken from the last 8 bytes of the file");
  EXPECT_EQ(Find(a.tree, "the file may hold several members or trailing data"), nullptr);
}

TEST(GzipExtra, CorpusMembersAndTrailers) {
  auto multi = CorpusDir() / "gzip/gzip-multi-member.gz";
  if (std::filesystem::exists(multi)) {
    auto a = AnalysePath(multi);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_NE(Find(a.tree, "the file may hold several members or trailing data"), nullptr);
  }
  auto junk = CorpusDir() / "gzip/damaged-trailing-garbage.gz";
  if (std::filesystem::exists(junk)) {
    auto a = AnalysePath(junk);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(Value(a, "ISIZE").substr(Value(a, "ISIZE").find(' ') + 1), "taken from the last 8 bytes of the file");
  }
  for (const char* file : {"gzip/bgzip-fextra-bc.gz", "gzip/dictzip-fextra-ra.dz"}) {
    auto path = CorpusDir() / file;
    if (!std::filesystem::exists(path)) continue;
    auto a = AnalysePath(path);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_NE(Find(a.tree, "subfield[1]"), nullptr) << file;
  }
}

TEST(CabExtra, QuantumLevelsAndFolderIndexesPastTheFolders) {
  Bytes cab;
  cab.Text("MSCF").LE32(0).LE32(36 + 8 + 22 + 12).LE32(0).LE32(44).LE32(0).U8(3).U8(1).LE16(1).LE16(1);
  cab.LE16(0).LE16(7).LE16(0);
  cab.LE32(66).LE16(1).LE16(0x1472);  // Quantum, level 7, window 2^20
  cab.LE32(4).LE32(0).LE16(5).LE16(0x4068).LE16(0x8765).LE16(0).Text("f.txt").U8(0);
  cab.LE32(0).LE16(4).LE16(4).Text("data");
  auto a = AnalyseBytes(cab);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "typeCompress(compression type)")),
            (Texts{"compression type:Quantum", "Quantum level 7", "window 1048576 bytes(2^20)"}));
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "iFolder(index into the CFFOLDER area)")),
            (Texts{"iFolder is past cFolders"}));
}

// A level 3 header whose extended headers are given.
Bytes Level3(const std::vector<std::uint8_t>& extended, std::uint32_t firstSize) {
  Bytes b;
  b.LE16(4).Text("-lh0-").LE32(0).LE32(0).LE32(86400).U8(0x20).U8(3).LE16(0).U8('U');
  b.LE32(static_cast<std::uint32_t>(32 + extended.size())).LE32(firstSize);
  b.Vector().insert(b.Vector().end(), extended.begin(), extended.end());
  return b;
}

TEST(LzhExtra, NewAttributeTimesAreUnixTimes) {
  UseUtc();
  Bytes ff;
  ff.U8(0xFF).LE32(0755).LE32(100).LE32(1000).LE32(0x4CFE150C).LE32(1000000000).LE32(0);
  auto a = AnalyseBytes(Level3(ff, 25));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(Value(a, "Creation time"), "0x4cfe150c(1291719948) 2010/12/7 11:5:48");
  EXPECT_EQ(Value(a, "Last access time"), "0x3b9aca00(1000000000) 2001/9/9 1:46:40");
  auto header3 = CorpusDir() / "lzh/libarchive-lha_header3.lzh";
  if (std::filesystem::exists(header3)) {
    auto b = AnalysePath(header3);
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_EQ(Value(b, "Creation time"), "0x4cfe150c(1291719948) 2010/12/7 11:5:48") << "as its Windows time says";
    EXPECT_NE(Find(b.tree, "MS-DOS file attribute header(Extension header)"), nullptr);
  }
}

TEST(LzhExtra, NamesInUtf16AndPathsSeparatedBy0xFF) {
  Bytes ext;
  ext.U8(0x44).Text(std::string("a\0b\0", 4)).LE32(0);
  ext.U8(0x02).Text("dir\xFFsub\xFF").LE32(0);
  ext.U8(0x46).LE32(65001).LE32(0);
  auto headers = ext.Vector();
  // Chain the sizes: each header's next size is the size of the one after it.
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) headers[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put32(1 + 4, 1 + 8 + 4);
  put32(9 + 1 + 8, 1 + 4 + 4);
  auto a = AnalyseBytes(Level3(headers, 1 + 4 + 4));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(Value(a, "File name(UTF-16)"), "ab");
  EXPECT_EQ(Value(a, "Directory name"), "dir/sub/");
  EXPECT_EQ(Value(a, "Code page"), "0x0000fde9(65001)");
  for (const char* file :
       {"lzh/libarchive-lha_filename_utf16.lzh", "lzh/lhasa-unlha32-lh2.lzh", "lzh/lhasa-lha_os9_211c-h1_lh1.lzh"}) {
    auto path = CorpusDir() / file;
    if (!std::filesystem::exists(path)) continue;
    auto b = AnalysePath(path);
    ASSERT_TRUE(b.ok) << file << ": " << b.error;
    EXPECT_EQ(Find(b.tree, "Unkown header(Extension header)"), nullptr) << file;
  }
}

TEST(LzhExtra, Level0UnixExtendedArea) {
  UseUtc();
  Bytes b;
  b.U8(22 + 1 + 12).U8(0).Text("-lh0-").LE32(0).LE32(0).LE32(0x40688765).U8(0x20).U8(0).U8(1).Text("a").LE16(0);
  b.Text("U").U8(0).LE32(1000000000).LE16(0100644).LE16(1000).LE16(100);
  auto a = AnalyseBytes(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Extended area")), (Range{25, 12}));
  EXPECT_EQ(Value(a, "Last modified time"), "0x40688765(1080592229) 2012/03/08 16:59:10");
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "Permission")), (Texts{"-rw-r--r--"}));
  EXPECT_EQ(Value(a, "User ID"), "0x03e8(1000)");
}

}  // namespace
