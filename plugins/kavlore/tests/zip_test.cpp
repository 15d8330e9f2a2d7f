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
using testing_support::Supports;
using testing_support::ValueOf;

TEST(Zip, OneStoredFileGivesLocalHeaderDataCentralDirectoryAndEndRecord) {
  auto a = AnalyseBytes(MakeZip({}), "one.zip");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(TopNames(a.tree),
            (std::vector<std::string>{"Local file", "Central directory", "End of Central directory"}));
  EXPECT_EQ(ItemNames(a.tree, *Find(a.tree, "Local file")),
            (std::vector<std::string>{"local file header[1]", "Compressed file data[1]"}));
  EXPECT_EQ(ItemNames(a.tree, *Find(a.tree, "local file header[1]")),
            (std::vector<std::string>{"local file header signature", "version needed to extract",
                                      "general purpose bit flag", "compression method", "last mod file time",
                                      "last mod file date", "crc-32", "compressed size", "uncompressed size",
                                      "filename length", "extra field length", "filename"}));
  EXPECT_EQ(ItemNames(a.tree, *Find(a.tree, "Central file header[1]")).size(), 18u);
  EXPECT_EQ(ItemNames(a.tree, *Find(a.tree, "End of Central directory")).size(), 8u);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Compressed file data[1]")), (Range{35, 5}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "compression method")), "0x0000(0) The file is stored(no compression)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "last mod file time")), "0x8765(34661) 16:59:10");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "last mod file date")), "0x4068(16488) 2012/03/08");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "version made by")), "0x031e(798) Unix:ver. 3.0");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "filename")), "a.txt");

  auto commented = AnalyseBytes(MakeZip({.comment = "note"}));
  ASSERT_TRUE(commented.ok) << commented.error;
  EXPECT_EQ(ValueOf(commented.tree, *Find(commented.tree, "Zipfile comment")), "note");
  EXPECT_EQ(ItemNames(commented.tree, *Find(commented.tree, "End of Central directory")).size(), 9u);
}

TEST(Zip, FlagNotesFollowTheMethod) {
  auto a = AnalyseBytes(MakeZip({.entries = {{.flag = 0x0009, .method = 8, .descriptor = Descriptor::WithSignature}}}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "general purpose bit flag")),
            (std::vector<std::string>{"File is encrypted", "Normal compression option was used",
                                      "Correct value of crc-32,compressed size and uncompressed size are in Data "
                                      "descriptor field"}));
  auto imploded = AnalyseBytes(MakeZip({.entries = {{.flag = 0x0002, .method = 6}}}));
  EXPECT_EQ(NotesOf(imploded.tree, *Find(imploded.tree, "general purpose bit flag")),
            (std::vector<std::string>{"8K sliding dictionary was used", "2 Shannon-Fano trees were used"}));
  auto unknown = AnalyseBytes(MakeZip({.entries = {{.method = 77}}}));
  EXPECT_EQ(ValueOf(unknown.tree, *Find(unknown.tree, "compression method")), "0x004d(77) Unkown value");
}

TEST(Zip, IndexesAndVersionsShowAllTheirDigits) {
  ZipShape shape;
  shape.entries.assign(12, ZipEntry{});
  shape.entries[0].madeBy = 0x0A3F;
  shape.entries[1].madeBy = 0x00FF;
  shape.entries[2].madeBy = 0x1464;
  auto a = AnalyseBytes(MakeZip(shape));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_NE(Find(a.tree, "local file header[12]"), nullptr);
  EXPECT_NE(Find(a.tree, "Compressed file data[12]"), nullptr);
  EXPECT_NE(Find(a.tree, "Central file header[12]"), nullptr);
  auto madeBy = [&](const char* header) {
    return ValueOf(a.tree, *Child(a.tree, Find(a.tree, header), "version made by"));
  };
  EXPECT_EQ(madeBy("Central file header[1]"), "0x0a3f(2623) Windows NTFS:ver. 6.3");
  EXPECT_EQ(madeBy("Central file header[2]"), "0x00ff(255) MS-DOS and OS/2 (FAT/VFAT/FAT32 file systems):ver.25.5");
  EXPECT_EQ(madeBy("Central file header[3]"), "0x1464(5220) Unkown value:ver.10.0");
}

// Streaming writers leave the sizes 0 and put them in a data descriptor after the
// data; the central directory tells where the data ends.
TEST(Zip, StreamedEntriesTakeTheirSizeFromTheCentralDirectory) {
  ZipEntry streamed{.flag = 0x0008, .sizesInLocalHeader = false, .descriptor = Descriptor::WithSignature};
  ZipEntry second = streamed;
  second.name = "b.txt";
  second.data = "second entry";
  auto a = AnalyseBytes(MakeZip({.entries = {streamed, second}}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Compressed file data[1]")), (Range{35, 5}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Data descriptor[1]")), (Range{40, 16}));
  const Item* header2 = Find(a.tree, "local file header[2]");
  EXPECT_EQ(RangeOf(a.tree, *Child(a.tree, header2, "local file header signature")).offset, 56u);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Compressed file data[2]")), (Range{91, 12}));
  EXPECT_EQ(ItemNames(a.tree, *Find(a.tree, "Data descriptor[1]")),
            (std::vector<std::string>{"signature", "crc-32", "compressed size", "uncompressed size"}));

  streamed.descriptor = Descriptor::WithoutSignature;
  auto bare = AnalyseBytes(MakeZip({.entries = {streamed, second}}));
  ASSERT_TRUE(bare.ok) << bare.error;
  EXPECT_EQ(RangeOf(bare.tree, *Find(bare.tree, "Data descriptor[1]")), (Range{40, 12}));
  EXPECT_EQ(ItemNames(bare.tree, *Find(bare.tree, "Data descriptor[1]")),
            (std::vector<std::string>{"crc-32", "compressed size", "uncompressed size"}));
  const Item* bareSecond = Find(bare.tree, "local file header[2]");
  EXPECT_EQ(RangeOf(bare.tree, *Child(bare.tree, bareSecond, "local file header signature")).offset, 52u);
}

TEST(Zip, ADescriptorThatIsNeitherFormIsWrong) {
  ZipEntry streamed{.flag = 0x0008, .sizesInLocalHeader = false, .descriptor = Descriptor::None};
  EXPECT_EQ(AnalyseBytes(MakeZip({.entries = {streamed}})).error, "[HPI_PLUGIN] Wrong data descriptor signature!");
  // Without a central directory the data's end is unknown; the descriptor is
  // looked for right after the header.
  streamed.descriptor = Descriptor::WithSignature;
  EXPECT_EQ(AnalyseBytes(MakeZip({.entries = {streamed}, .endRecord = false})).error,
            "[HPI_PLUGIN] Wrong data descriptor signature!");
}

TEST(Zip, TruncatedAndUnfinishedArchivesFailWithTheirCodes) {
  auto whole = MakeZip({});
  auto noEnd = MakeZip({.endRecord = false});
  EXPECT_EQ(AnalyseBytes(noEnd).error, "[HPI_PLUGIN] Wrong file format!");
  std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + 38);
  EXPECT_EQ(AnalyseBytes(cut).error, "[HPI_PLUGIN] Wrong local file field!") << "data runs past the end";
  std::vector<std::uint8_t> shortHeader(whole.begin(), whole.begin() + 20);
  EXPECT_EQ(AnalyseBytes(shortHeader).error, "[HPI_PLUGIN] Wrong local file field!");
  auto junk = whole;
  junk[40] = 'X';  // the central file header's signature
  EXPECT_EQ(AnalyseBytes(junk).error, "[HPI_PLUGIN] Wrong file format!");
  EXPECT_EQ(AnalyseBytes(Bytes().Text("PK\3\4")).error, "[HPI_PLUGIN] Wrong local file field!")
      << "fewer than 7 bytes: zero-filled as the host fills them, then walked as far as they go";
  EXPECT_EQ(AnalyseBytes(MakeZip({.comment = "abc"}), "a.zip", 0).ok, true);
  std::vector<std::uint8_t> cutComment(whole.begin(), whole.end());
  cutComment[cutComment.size() - 2] = 9;  // zipfile comment length past the end
  EXPECT_EQ(AnalyseBytes(cutComment).error, "[HPI_PLUGIN] Wrong file format!");
}

TEST(Zip, ExtraFieldLengthsMustAddUp) {
  auto leftover = AnalyseBytes(MakeZip({.entries = {{.localExtra = {0x99, 0x99, 0, 0, 1, 2}}}}));
  EXPECT_EQ(leftover.error, "[HPI_PLUGIN] Wrong extra field!");
  auto overlong = AnalyseBytes(MakeZip({.entries = {{.localExtra = {0x99, 0x99, 9, 0, 1, 2}}}}));
  EXPECT_EQ(overlong.error, "[HPI_PLUGIN] Wrong extra field!");
  auto fine = AnalyseBytes(MakeZip({.entries = {{.localExtra = Block(0x000A, {1, 2, 3})}}}));
  ASSERT_TRUE(fine.ok) << fine.error;
  EXPECT_EQ(ValueOf(fine.tree, *Find(fine.tree, "Header ID[1]")), "0x000a(10) NTFS");
  EXPECT_EQ(RangeOf(fine.tree, *Find(fine.tree, "Data[1]")), (Range{39, 3}));
}

TEST(Zip, ExtendedTimestampsShowLocalTimes) {
  UseUtc();
  Bytes local;
  local.U8(7).LE32(0).LE32(1000000000).LE32(0x80000000);
  Bytes central;
  central.U8(7).LE32(86399).U8(0xEE);
  auto a = AnalyseBytes(MakeZip(
      {.entries = {{.localExtra = Block(0x5455, local.Vector()), .centralExtra = Block(0x5455, central.Vector())}}}));
  ASSERT_TRUE(a.ok) << a.error;
  const Item* localData = Child(a.tree, Find(a.tree, "Extra field"), "Data[1]");
  ASSERT_NE(localData, nullptr);
  EXPECT_EQ(ItemNames(a.tree, *localData),
            (std::vector<std::string>{"flag", "modification time", "last access time", "creation time"}));
  EXPECT_EQ(ValueOf(a.tree, *Child(a.tree, localData, "modification time")), "0x00000000(0) 1970/1/1 0:0:0");
  EXPECT_EQ(ValueOf(a.tree, *Child(a.tree, localData, "last access time")), "0x3b9aca00(1000000000) 2001/9/9 1:46:40");
  EXPECT_EQ(ValueOf(a.tree, *Child(a.tree, localData, "creation time")),
            "0x80000000(2147483648) out of range for local time");
  const Item* centralHeader = Find(a.tree, "Central file header[1]");
  const Item* centralData = Child(a.tree, Child(a.tree, centralHeader, "Extra field"), "Data[1]");
  ASSERT_NE(centralData, nullptr);
  EXPECT_EQ(ItemNames(a.tree, *centralData), (std::vector<std::string>{"flag", "modification time", "Unkown data"}));
  EXPECT_EQ(ValueOf(a.tree, *Child(a.tree, centralData, "modification time")), "0x0001517f(86399) 1970/1/1 23:59:59");
}

TEST(Zip, LongTextFieldsShowTheirFirst255Bytes) {
  std::string name(300, 'n');
  name[299] = 'z';
  auto a = AnalyseBytes(MakeZip({.entries = {{.name = name}}}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "filename")), (Range{30, 300}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "filename")), std::string(255, 'n'));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Compressed file data[1]")), (Range{330, 5}));
}

TEST(Zip, LeadingDataShowsAsOneRange) {
  std::vector<std::uint8_t> stub(100, 0x90);
  stub[0] = 'M';
  stub[1] = 'Z';
  auto bytes = MakeZip({.prefix = stub});
  EXPECT_EQ(Supports(bytes), 1);
  auto a = AnalyseBytes(bytes, "sfx.exe");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(TopNames(a.tree).front(), "Leading data");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Leading data")), (Range{0, 100}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "local file header signature")).offset, 100u);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Compressed file data[1]")), (Range{135, 5}));
}

TEST(Zip, AnArchiveWithoutEntriesIsALoneEndRecord) {
  auto bytes = MakeZip({.entries = {}});
  EXPECT_EQ(Supports(bytes), 1);
  auto a = AnalyseBytes(bytes);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(TopNames(a.tree), (std::vector<std::string>{"End of Central directory"}));
}

// A zip64 archive: the sizes and the offset live in the zip64 extra blocks, the
// counts in the zip64 end record.
std::vector<std::uint8_t> MakeZip64(bool streamed) {
  const std::string data = "zip64 data";
  Bytes b;
  b.LE32(0x04034B50).LE16(45).LE16(streamed ? 8 : 0).LE16(0).LE16(0).LE16(0x21);
  b.LE32(0).LE32(0xFFFFFFFF).LE32(0xFFFFFFFF).LE16(1).LE16(20).Text("z");
  b.LE16(1).LE16(16).LE32(streamed ? 0 : 10).LE32(0).LE32(streamed ? 0 : 10).LE32(0);
  b.Text(data);
  if (streamed) b.LE32(0x08074B50).LE32(0).LE32(10).LE32(0).LE32(10).LE32(0);
  std::uint32_t centralStart = static_cast<std::uint32_t>(b.Size());
  b.LE32(0x02014B50).LE16(0x032D).LE16(45).LE16(streamed ? 8 : 0).LE16(0).LE16(0).LE16(0x21);
  b.LE32(0).LE32(0xFFFFFFFF).LE32(0xFFFFFFFF).LE16(1).LE16(28).LE16(0).LE16(0).LE16(0).LE32(0).LE32(0xFFFFFFFF);
  b.Text("z").LE16(1).LE16(24).LE32(10).LE32(0).LE32(10).LE32(0).LE32(0).LE32(0);
  std::uint32_t centralSize = static_cast<std::uint32_t>(b.Size()) - centralStart;
  std::uint32_t zip64End = static_cast<std::uint32_t>(b.Size());
  b.LE32(0x06064B50).LE32(44).LE32(0).LE16(0x032D).LE16(45).LE32(0).LE32(0);
  b.LE32(1).LE32(0).LE32(1).LE32(0).LE32(centralSize).LE32(0).LE32(centralStart).LE32(0);
  b.LE32(0x07064B50).LE32(0).LE32(zip64End).LE32(0).LE32(1);
  b.LE32(0x06054B50).LE16(0).LE16(0).LE16(0xFFFF).LE16(0xFFFF).LE32(0xFFFFFFFF).LE32(0xFFFFFFFF).LE16(0);
  return b;
}

TEST(Zip, Zip64RecordsAndExtraFieldsAreShownWithTheirNames) {
  auto a = AnalyseBytes(MakeZip64(false));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(TopNames(a.tree),
            (std::vector<std::string>{"Local file", "Central directory", "Zip64 end of central directory record",
                                      "Zip64 end of central directory locator", "End of Central directory"}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Compressed file data[1]")), (Range{51, 10}));
  const Item* centralData = Child(a.tree, Find(a.tree, "Extra field"), "Data[1]");
  EXPECT_EQ(ItemNames(a.tree, *centralData), (std::vector<std::string>{"Original Size", "Compressed Size"}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Header ID[1]")), "0x0001(1) Zip64 extended information extra field");
  const Item* header = Find(a.tree, "Central file header[1]");
  const Item* data = Child(a.tree, Child(a.tree, header, "Extra field"), "Data[1]");
  EXPECT_EQ(ItemNames(a.tree, *data),
            (std::vector<std::string>{"Original Size", "Compressed Size", "Relative Header Offset"}));
  EXPECT_EQ(ItemNames(a.tree, *Find(a.tree, "Zip64 end of central directory record")).size(), 10u);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "total number of entries in the central directory")).size, 8u);

  auto streamed = AnalyseBytes(MakeZip64(true));
  ASSERT_TRUE(streamed.ok) << streamed.error;
  EXPECT_EQ(RangeOf(streamed.tree, *Find(streamed.tree, "Data descriptor[1]")), (Range{61, 24}));
  EXPECT_EQ(RangeOf(streamed.tree, *Find(streamed.tree, "Compressed file data[1]")), (Range{51, 10}));
}

}  // namespace
