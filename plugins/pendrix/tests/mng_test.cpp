#include <gtest/gtest.h>

#include "png_builder.h"

namespace {

using namespace testing_support;
using pendrix_test::ChunkFile;
using pendrix_test::Kind;
using pendrix_test::Wrong;

Bytes Mhdr() {
  Bytes b;
  for (std::uint32_t v : {64u, 48u, 100u, 1u, 2u, 3u, 1u}) b.BE32(v);
  return b;
}

// An MNG of MHDR, the given chunks and MEND.
Analysed AnalyseMng(std::initializer_list<std::pair<std::string_view, Bytes>> chunks) {
  ChunkFile f(Kind::Mng);
  f.Add("MHDR", Mhdr());
  for (const auto& [type, data] : chunks) f.Add(type, data);
  return AnalyseBytes(f.Add("MEND"), "a.mng");
}

TEST(Mng, HeaderAndEnd) {
  auto a = AnalyseMng({});
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "MNG signaure")), (Range{0, 8}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Ticks per second")), "0x00000064(100)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Simplicity profile")), (Range{40, 4}));
  EXPECT_NE(Find(a.tree, "MEND Chunk"), nullptr);
  // IEND does not end an MNG; bytes after MEND are not read.
  ChunkFile f(Kind::Mng);
  f.Add("MHDR", Mhdr()).Ihdr(2).End().Add("MEND").Raw().Text("trailing");
  EXPECT_TRUE(AnalyseBytes(f).ok);
  EXPECT_EQ(AnalyseBytes(ChunkFile(Kind::Mng).Add("MHDR", Mhdr()).Ihdr(2).End()).error,
            "[HPI_PLUGIN] Wrong file format!");
}

TEST(Mng, AcceptedLengths) {
  EXPECT_EQ(AnalyseMng({{"BACK", Bytes().Zeros(8)}}).error, Wrong("BACK"));
  EXPECT_EQ(AnalyseMng({{"DISC", Bytes().Zeros(5)}}).error, Wrong("DISC"));
  EXPECT_EQ(AnalyseMng({{"ORDR", Bytes().Text("IDAT")}}).error, Wrong("ORDR")) << "entries are 5 bytes";
  EXPECT_EQ(AnalyseMng({{"DEFI", Bytes().Zeros(5)}}).error, Wrong("DEFI")) << "a byte left over";
  EXPECT_EQ(AnalyseMng({{"MAGN", Bytes().Zeros(19)}}).error, Wrong("MAGN"));
  EXPECT_EQ(AnalyseMng({{"PAST", Bytes().Zeros(42)}}).error, Wrong("PAST"));
  EXPECT_EQ(AnalyseMng({{"DROP", Bytes().Text("tEXtab")}}).error, Wrong("DROP"));
  EXPECT_EQ(AnalyseMng({{"evNT", Bytes().Zeros(4)}}).error, Wrong("evNT"));
  EXPECT_EQ(AnalyseMng({{"SAVE", Bytes().U8(5)}}).error, Wrong("SAVE"));
  EXPECT_EQ(AnalyseMng({{"pHYg", Bytes().Zeros(8)}}).error, Wrong("pHYg"));
  // pHYg is shown by the pHYs handler under the pHYs name, with its own type.
  auto phyg = AnalyseMng({{"pHYg", Bytes().BE32(1).BE32(1).U8(1)}});
  ASSERT_TRUE(phyg.ok) << phyg.error;
  EXPECT_EQ(ValueOf(phyg.tree, *Find(phyg.tree, "pHYs Chunk")), "0x70485967(1883789671)");
  auto back = AnalyseMng({{"BACK", Bytes().BE16(1).BE16(2).BE16(3).U8(2).BE16(9).U8(1)}});
  ASSERT_TRUE(back.ok) << back.error;
  EXPECT_EQ(ValueOf(back.tree, *Find(back.tree, "Background tiling")), "0x01(1) Tile the background ");
}

TEST(Mng, TermActions) {
  EXPECT_EQ(AnalyseMng({{"TERM", Bytes().U8(3)}}).error, Wrong("TERM"));
  auto repeat = AnalyseMng({{"TERM", Bytes().U8(3).U8(0).BE32(10).BE32(0x7FFFFFFF)}});
  ASSERT_TRUE(repeat.ok) << repeat.error;
  EXPECT_EQ(ValueOf(repeat.tree, *Find(repeat.tree, "Termination_action")),
            "0x03(3) Repeat between TERM chunk and MEND chunk");
  EXPECT_EQ(RangeOf(repeat.tree, *Find(repeat.tree, "Iteration max")), (Range{62, 4}));
  // Ten bytes with another action: the iteration fields are shown all the same
  // and the CRC is read after them.
  auto other = AnalyseMng({{"TERM", Bytes().U8(0).U8(1).BE32(10).BE32(5)}});
  ASSERT_TRUE(other.ok) << other.error;
  EXPECT_EQ(ValueOf(other.tree, *Find(other.tree, "Action after iterations")), "0x01(1) Cease displaying anything");
  EXPECT_EQ(RangeOf(other.tree, *Find(other.tree, "CRC", false)), (Range{44, 4}));
}

TEST(Mng, LoopsAndMagnification) {
  auto loop =
      AnalyseMng({{"LOOP", Bytes().U8(0).BE32(3).U8(0).BE32(1).BE32(2).BE32(3).BE32(4)}, {"ENDL", Bytes().U8(0)}});
  ASSERT_TRUE(loop.ok) << loop.error;
  EXPECT_EQ(ValueOf(loop.tree, *Find(loop.tree, "Termination condition")), "0x00(0) Unkown value");
  EXPECT_NE(Find(loop.tree, "Additional signal_number"), nullptr);
  EXPECT_EQ(AnalyseMng({{"LOOP", Bytes().U8(0).BE32(3).U8(4).Zeros(2)}}).error, Wrong("LOOP"));

  // Even lengths up to 16 and 20 carry two-byte methods whose second byte counts.
  auto wide = AnalyseMng({{"MAGN", Bytes().BE16(1).BE16(2).U8(0).U8(1)}});
  ASSERT_TRUE(wide.ok) << wide.error;
  EXPECT_EQ(ValueOf(wide.tree, *Find(wide.tree, "X method")), "0x01(1) Replication");
  EXPECT_EQ(RangeOf(wide.tree, *Find(wide.tree, "X method")), (Range{61, 1}));
  auto full = AnalyseMng({{"MAGN", Bytes().BE16(1).BE16(2).U8(2).Zeros(12).U8(3)}});
  ASSERT_TRUE(full.ok) << full.error;
  EXPECT_EQ(ValueOf(full.tree, *Find(full.tree, "Y method")), "0x03(3) Closest pixel");
}

TEST(Mng, ObjectChunks) {
  auto a =
      AnalyseMng({{"DEFI", Bytes().BE16(1).U8(0).U8(1).BE32(0xFFFFFFFF).BE32(2)},
                  {"CLON", Bytes().BE16(1).BE16(2).U8(1)},
                  {"MOVE", Bytes().BE16(1).BE16(2).U8(1).BE32(3).BE32(4)},
                  {"CLIP", Bytes().BE16(1).BE16(2).U8(0).Zeros(16)},
                  {"SHOW", Bytes().BE16(1).BE16(2).U8(6)},
                  {"DHDR", Bytes().BE16(1).U8(1).U8(7)},
                  {"PROM", Bytes().U8(6).U8(16).U8(1)},
                  {"fPRI", Bytes().U8(1).U8(0xFF)},
                  {"DISC", Bytes().BE16(3).BE16(4)},
                  {"DROP", Bytes().Text("tEXtzTXt")},
                  {"PAST", Bytes().BE16(1).U8(0).BE32(0).BE32(0).BE16(2).U8(1).U8(8).U8(0).Zeros(8).U8(1).Zeros(16)}});
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "X location")), "0xffffffff(-1)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Clone type")), "0x01(1) Partial clone");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Show mode")),
            "0x06(6) Potentially visible and display(All images in range)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Delta_type")), "0x07(7) No change");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Fill method")), "0x01(1) Zero fill");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Priority or delta priority")), "0xff(-1)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Orientation")), "0x08(8) Tiled with source image");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Chunk name")), "tEXt");
  EXPECT_NE(Find(a.tree, "Bottom past cb"), nullptr);
}

TEST(Mng, FramesAndSaves) {
  Bytes fram;
  fram.U8(1).Text("intro").U8(0).U8(2).U8(0).U8(1).U8(1).BE32(10).U8(0).Zeros(16).BE32(7).BE32(8);
  auto a = AnalyseMng({{"FRAM", fram}, {"FRAM", Bytes()}, {"FRAM", Bytes().U8(0).Text("only name")}});
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Framing mode")), "0x01(1)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Subframe name")), "intro");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Interframe delay")), "0x0000000a(10)");
  EXPECT_EQ(Find(a.tree, "Timeout"), nullptr);
  EXPECT_NE(Find(a.tree, "Bottom layer cb or Delta bottom layer cb"), nullptr);
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Sync id")), "0x00000007(7)");

  // 8-byte offsets are Long values; the last name ends with the chunk.
  Bytes save;
  save.U8(8).U8(0).BE32(0).BE32(0x1234).BE32(0).BE32(5).BE32(1).BE32(2).Text("first").U8(0).U8(3).Text("last");
  auto s = AnalyseMng({{"SAVE", save}, {"SEEK", Bytes().Text("first")}, {"eXPI", Bytes().BE16(4).Text("snap")}});
  ASSERT_TRUE(s.ok) << s.error;
  EXPECT_EQ(s.readerFault, 0);
  EXPECT_EQ(RangeOf(s.tree, *Find(s.tree, "Offset")), (Range{58, 8}));
  EXPECT_NE(ValueOf(s.tree, *Find(s.tree, "Offset")).find("4660"), std::string::npos);
  EXPECT_EQ(ValueOf(s.tree, *Find(s.tree, "Entry name")), "first");
  auto names = ChildTexts(s.tree, *Find(s.tree, "SAVE Chunk"));
  EXPECT_EQ(std::count(names.begin(), names.end(), "Entry name"), 2);
  EXPECT_EQ(ValueOf(s.tree, *Find(s.tree, "Segment name")), "first");
  EXPECT_EQ(ValueOf(s.tree, *Find(s.tree, "Snapshot name")), "snap");
  EXPECT_EQ(AnalyseMng({{"SAVE", Bytes().U8(4).U8(2).Text(std::string(80, 'n'))}}).error, Wrong("SAVE"));
}

TEST(Mng, NameListsMayEndWithTheChunk) {
  auto a = AnalyseMng({{"nEED", Bytes().Text("draft 100").U8(0).Text("CACHEOFF")},
                       {"DBYK", Bytes().Text("tEXt").U8(1).Text("Title").U8(0).Text("iTXt").U8(0).Text("Author")},
                       {"evNT", Bytes().U8(1).U8(4).BE32(0).BE32(9).BE32(0).BE32(9).BE16(3).Text("seg")}});
  ASSERT_TRUE(a.ok) << a.error;
  auto need = ChildTexts(a.tree, *Find(a.tree, "nEED Chunk"));
  EXPECT_EQ(std::count(need.begin(), need.end(), "Keyword"), 2);
  auto dbyk = ChildTexts(a.tree, *Find(a.tree, "DBYK Chunk"));
  EXPECT_EQ(std::count(dbyk.begin(), dbyk.end(), "Chunk name"), 1) << "one chunk name, then keywords";
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Keywords[2]")), "Author");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Mask type")), "0x04(4) mask by frame and object");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Segment name")), "seg");
  EXPECT_EQ(Find(a.tree, "Index"), nullptr);
  EXPECT_EQ(AnalyseMng({{"DBYK", Bytes().Text("tEXt").U8(1)}}).error, Wrong("DBYK"));
  EXPECT_EQ(AnalyseMng({{"nEED", Bytes().Text(std::string(80, 'k'))}}).error, Wrong("nEED"));
}

TEST(Mng, PaletteDeltas) {
  auto a = AnalyseMng({{"PPLT", Bytes().U8(0).U8(1).U8(2).Text("abcdef").U8(5).U8(5).Text("xyz")}});
  ASSERT_TRUE(a.ok) << a.error;
  const auto* sample = Find(a.tree, "Group 0 sample[2]");
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(RangeOf(a.tree, *sample), (Range{62, 3}));
  EXPECT_EQ(ValueOf(a.tree, *sample), "0x646566(100,101,102)");
  EXPECT_NE(Find(a.tree, "Group 1 sample[5]"), nullptr);
  EXPECT_EQ(AnalyseMng({{"PPLT", Bytes().U8(2).U8(3).U8(1).Zeros(3)}}).error, Wrong("PPLT"));
  EXPECT_EQ(AnalyseMng({{"PPLT", Bytes().U8(4).U8(0).U8(1).Zeros(7)}}).error, Wrong("PPLT"));
}

TEST(Jng, HeaderSetsTheColourTypeForLaterChunks) {
  auto jhdr = Bytes().BE32(70).BE32(46).U8(8).U8(8).U8(8).U8(0).U8(0).U8(0).U8(0).U8(0);
  auto a = AnalyseBytes(ChunkFile(Kind::Jng)
                            .Add("JHDR", jhdr)
                            .Add("bKGD", Bytes().BE16(7))
                            .Add("sBIT", Bytes().U8(8))
                            .Add("JDAT", Bytes().Zeros(4))
                            .End(),
                        "a.jng");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "JNG signaure")), (Range{0, 8}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Color type")), "0x08(8) Grayscale");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Image compression method")),
            "0x08(8) ISO-10918-1 Huffman-coded baseline JPEG");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Gray")), "0x0007(7)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Data")), (Range{71, 4}));
  auto trns = AnalyseBytes(ChunkFile(Kind::Jng).Add("JHDR", jhdr).Add("tRNS", Bytes().Zeros(2)).End());
  ASSERT_TRUE(trns.ok) << trns.error;
  EXPECT_NE(Find(trns.tree, "tRNS does not fit color type 8"), nullptr);
}

TEST(Mng, BackgroundOutsideImagesIsRgb) {
  auto a = AnalyseBytes(ChunkFile(Kind::Mng)
                            .Add("MHDR", Mhdr())
                            .Add("bKGD", Bytes().BE16(1).BE16(2).BE16(3))
                            .Ihdr(3)
                            .Add("bKGD", Bytes().U8(0))
                            .End()
                            .Add("bKGD", Bytes().BE16(1).BE16(2).BE16(3))
                            .Add("MEND"));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_NE(Find(a.tree, "Palette index"), nullptr);
}

}  // namespace
