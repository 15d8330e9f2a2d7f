// What the walk notes and goes on from: CRCs that differ from the data, bit
// depths and chunks that do not fit the colour type, chunks out of order,
// APNG sequence numbers, and a damaged Exif structure inside eXIf.
#include <gtest/gtest.h>

#include "png_builder.h"

namespace {

using namespace testing_support;
using namespace pendrix_test;

// The chunk item a note belongs to (the note is beneath a value of one of its fields
// or of the chunk item itself).
std::string ChunkOfNote(const strataview::ItemTree& tree, std::string_view note) {
  const auto* item = Find(tree, note);
  if (item == nullptr) return "(no note " + std::string(note) + ")";
  while (tree.At(item->parent).parent != tree.TopLevel()[0] && item->parent != tree.TopLevel()[0]) {
    item = &tree.At(item->parent);
  }
  return std::string(tree.At(item->parent).text);
}

TEST(Crc, AStoredCrcThatDiffersIsNoted) {
  ChunkFile file;
  file.Ihdr(2).End();
  auto bytes = static_cast<const std::vector<std::uint8_t>&>(file);
  bytes[8 + 8 + 13] ^= 0xFF;  // the first byte of IHDR's CRC
  auto a = AnalyseBytes(bytes);
  ASSERT_TRUE(a.ok) << a.error;
  const auto* crc = Find(a.tree, "CRC");
  EXPECT_EQ(ValueOf(a.tree, *crc).substr(0, 10), "0x6f7753de") << "shown as stored";
  EXPECT_NE(Find(a.tree, "CRC mismatch: computed 0x907753de"), nullptr);
  auto good = AnalyseBytes(ChunkFile().Ihdr(2).Add("IDAT", Bytes().Zeros(40000)).End());
  ASSERT_TRUE(good.ok) << good.error;
  EXPECT_EQ(Find(good.tree, "CRC mismatch", true), nullptr) << "skipped data counts as well";
}

TEST(Crc, CorpusFilesWithBadCrcsAgreeWithPngcheck) {
  struct Case {
    const char* name;
    const char* note;
  };
  for (const Case& c : {Case{"png/pngsuite-xcsn0g01.png", "CRC mismatch: computed 0xd02f14c9"},
                        Case{"png/pngsuite-xhdn0g08.png", "CRC mismatch: computed 0x56112528"},
                        Case{"mng/gen-badcrc.mng", "CRC mismatch: computed 0x20e51cd8"},
                        Case{"jng/gen-badcrc.jng", "CRC mismatch: computed 0x1fb866a5"}}) {
    auto path = CorpusDir() / c.name;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus at " << CorpusDir();
    auto a = AnalysePath(path);
    ASSERT_TRUE(a.ok) << c.name << ": " << a.error;
    EXPECT_NE(Find(a.tree, c.note), nullptr) << c.name;
  }
}

TEST(Warnings, BitDepthsAndChunksThatDoNotFitTheColourType) {
  auto depth = AnalyseBytes(ChunkFile().Add("IHDR", Bytes().BE32(1).BE32(1).U8(3).U8(2).U8(0).U8(0).U8(0)).End());
  ASSERT_TRUE(depth.ok) << depth.error;
  EXPECT_NE(Find(depth.tree, "bit depth 3 is not allowed with color type 2"), nullptr);

  auto gray = AnalyseBytes(ChunkFile().Ihdr(0).Add("PLTE", Bytes().Zeros(3)).Add("tRNS", Bytes().Zeros(6)).End());
  ASSERT_TRUE(gray.ok) << gray.error;
  EXPECT_EQ(ChunkOfNote(gray.tree, "a grayscale image has no palette"), "PLTE Chunk");
  EXPECT_EQ(ChunkOfNote(gray.tree, "tRNS does not fit color type 0"), "tRNS Chunk");
  EXPECT_NE(Find(gray.tree, "Data"), nullptr) << "the misfit shown as one range";
}

TEST(Warnings, ChunksThatNeedThePaletteBeforeIt) {
  auto a = AnalyseBytes(ChunkFile().Ihdr(3).Add("tRNS", Bytes().U8(1)).Add("PLTE", Bytes().Zeros(3)).Add("IDAT").End());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ChunkOfNote(a.tree, "Must come after PLTE"), "tRNS Chunk");
  auto rgb = AnalyseBytes(ChunkFile().Ihdr(2).Add("bKGD", Bytes().Zeros(6)).Add("IDAT").End());
  ASSERT_TRUE(rgb.ok) << rgb.error;
  EXPECT_EQ(Find(rgb.tree, "Must come after PLTE"), nullptr) << "only a paletted image needs PLTE first";
}

TEST(Warnings, ApngSequenceAndFrameCount) {
  Bytes fctl;
  fctl.BE32(0).BE32(1).BE32(1).BE32(0).BE32(0).BE16(1).BE16(10).U8(0).U8(0);
  Bytes late;
  late.BE32(5).BE32(1).BE32(1).BE32(0).BE32(0).BE16(1).BE16(10).U8(0).U8(0);
  auto a = AnalyseBytes(ChunkFile()
                            .Ihdr(2)
                            .Add("acTL", Bytes().BE32(3).BE32(0))
                            .Add("fcTL", fctl)
                            .Add("IDAT")
                            .Add("fcTL", late)
                            .Add("fdAT", Bytes().BE32(6))
                            .End());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_NE(Find(a.tree, "out of sequence: 1 expected"), nullptr);
  EXPECT_EQ(Find(a.tree, "out of sequence: 6 expected"), nullptr) << "counting goes on from the number found";
  EXPECT_EQ(ChunkOfNote(a.tree, "acTL num_frames says 3; 2 fcTL chunks found"), "IEND Chunk");
}

TEST(Warnings, MngGlobalPaletteAfterAGrayscaleImageAndOrderEntries) {
  Bytes mhdr;
  mhdr.BE32(1).BE32(1).BE32(1).BE32(0).BE32(0).BE32(0).BE32(1);
  auto a = AnalyseBytes(ChunkFile(Kind::Mng)
                            .Add("MHDR", mhdr)
                            .Ihdr(0)
                            .Add("IDAT")
                            .End()
                            .Add("PLTE", Bytes().Zeros(6))
                            .Add("ORDR", Bytes().Text("tEXt").U8(0).Text("PLTE").U8(2))
                            .Add("MEND"));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(Find(a.tree, "a grayscale image has no palette"), nullptr);
  EXPECT_NE(Find(a.tree, "Red[1]"), nullptr);
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Chunk type[1]")), "PLTE");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Order type[1]")), "0x02(2) before IDAT and/or JDAT or JDAA");
}

TEST(Warnings, ADamagedExifStructureStaysInsideItsChunk) {
  // An IFD of 50 entries in a chunk that holds one.
  auto a =
      AnalyseBytes(ChunkFile()
                       .Ihdr(2)
                       .Add("eXIf", Bytes().Text("MM").BE16(42).BE32(8).BE16(50).BE16(0x112).BE16(3).BE32(1).BE32(0))
                       .Add("IDAT")
                       .End());
  ASSERT_TRUE(a.ok) << a.error;
  const auto* fault = Find(a.tree, "[HPI_PLUGIN] Wrong file format!");
  ASSERT_NE(fault, nullptr);
  EXPECT_EQ(RangeOf(a.tree, *fault).offset, 8u + 25 + 8 + 8) << "at the IFD the chunk cannot hold";
  EXPECT_NE(Find(a.tree, "IDAT Chunk"), nullptr) << "the PNG walk goes on";
}

}  // namespace
