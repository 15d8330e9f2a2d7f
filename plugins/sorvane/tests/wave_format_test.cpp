#include <gtest/gtest.h>

#include "sound_builder.h"

namespace {

using namespace testing_support;
using namespace sorvane_test;

ByteVector ExtensibleFmt(std::uint32_t mask, std::uint32_t subFormatTag, std::size_t extra = 0) {
  Bytes b;
  Append(b, Fmt(0xFFFE, 6, 48000, 24)).LE16(static_cast<std::uint32_t>(22 + extra)).LE16(20).LE32(mask);
  b.LE32(subFormatTag).LE16(0x0000).LE16(0x0010).U8(0x80).U8(0).U8(0).U8(0xAA).U8(0).U8(0x38).U8(0x9B).U8(0x71);
  return Chunk("fmt ", b.Zeros(extra).Vector());
}

TEST(WaveFormat, ExtensibleFieldsWithSpeakersAndSubFormat) {
  auto a = AnalyseSound(Wave({ExtensibleFmt(0x3F, 3)}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "wFormatTag")), "0xfffe(65534) SubFormat");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "wValidBitsPerSample")), "0x0014(20)");
  const auto* mask = Find(a.tree, "dwChannelMask");
  EXPECT_EQ(ValueOf(a.tree, *mask), "0x0000003f(63) FL FR FC LFE BL BR");
  const auto& value = a.tree.At(mask->children[2]);
  ASSERT_EQ(value.children.size(), 6u);
  EXPECT_EQ(a.tree.At(value.children[3]).text, "SPEAKER_LOW_FREQUENCY");
  const auto* sub = Find(a.tree, "SubFormat");
  EXPECT_EQ(RangeOf(a.tree, *sub), (Range{44, 16}));
  EXPECT_EQ(ValueOf(a.tree, *sub), "{00000003-0000-0010-8000-00AA00389B71} KSDATAFORMAT_SUBTYPE_IEEE_FLOAT");

  auto longer = AnalyseSound(Wave({ExtensibleFmt(0, 0x1234, 4)}));
  ASSERT_TRUE(longer.ok) << longer.error;
  EXPECT_EQ(ValueOf(longer.tree, *Find(longer.tree, "dwChannelMask")), "0x00000000(0) no speaker positions");
  EXPECT_EQ(ValueOf(longer.tree, *Find(longer.tree, "SubFormat")), "{00001234-0000-0010-8000-00AA00389B71}");
  EXPECT_EQ(RangeOf(longer.tree, *Find(longer.tree, "ExtensionData")), (Range{60, 4}));
}

TEST(WaveFormat, ExtensionDataByFormatTag) {
  Bytes adpcm;
  Append(adpcm, Fmt(2, 1, 8000, 4)).LE16(12).LE16(500).LE16(2).LE16(256).LE16(0).LE16(512).LE16(0xFF00);
  auto a = AnalyseSound(Wave({Chunk("fmt ", adpcm.Vector())}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "iCoef[1][1]")), (Range{48, 2}));
  EXPECT_NE(ValueOf(a.tree, *Find(a.tree, "iCoef[1][1]")).find("(-256)"), std::string::npos);

  // A coefficient count whose 16-bit product wraps to the extension's size is refused.
  Bytes wrapped;
  Append(wrapped, Fmt(2, 1, 8000, 4)).LE16(8).LE16(500).LE16(16385).LE32(0);
  EXPECT_EQ(AnalyseSound(Wave({Chunk("fmt ", wrapped.Vector())})).error, "[HPI_PLUGIN] Wrong extension data!");

  Bytes ima;
  Append(ima, Fmt(0x11, 1, 8000, 4)).LE16(2).LE16(505);
  auto imaWave = AnalyseSound(Wave({Chunk("fmt ", ima.Vector())}));
  ASSERT_TRUE(imaWave.ok) << imaWave.error;
  EXPECT_EQ(ValueOf(imaWave.tree, *Find(imaWave.tree, "wSamplesPerBlock")), "0x01f9(505)");
  Bytes imaLong;
  Append(imaLong, Fmt(0x11, 1, 8000, 4)).LE16(4).LE32(505);
  EXPECT_EQ(AnalyseSound(Wave({Chunk("fmt ", imaLong.Vector())})).error, "[HPI_PLUGIN] Wrong extension data!");
  Bytes cbTooLarge;
  Append(cbTooLarge, Fmt(0x55, 1, 8000, 0)).LE16(12).Zeros(4);
  EXPECT_EQ(AnalyseSound(Wave({Chunk("fmt ", cbTooLarge.Vector())})).error, "[HPI_PLUGIN] Wrong fmt chunk!");
}

TEST(WaveFormat, MsAdpcmPreviewShowsTheFirstBlockHeader) {
  Bytes adpcm;
  Append(adpcm, Fmt(2, 2, 8000, 4)).LE16(4).LE16(500).LE16(0);
  auto a = AnalyseSound(Wave({Chunk("fmt ", adpcm.Vector()), Chunk("data", Bytes().Zeros(20).Vector())}));
  ASSERT_TRUE(a.ok) << a.error;
  auto values = ChildTexts(a.tree, *Find(a.tree, "Wave Form Data"));
  ASSERT_EQ(values.size(), 2u + 10 + 1);
  EXPECT_EQ(values[2], "0x00(0) bPredictor L");
  EXPECT_EQ(values[5], "0x0000(0) iDelta R");
  EXPECT_EQ(values[11], "0x00(0) iSamp4(L),iSamp4(R)");
}

TEST(WaveFormat, Rf64TakesTheDataSizeFromDs64) {
  Bytes ds64;
  ds64.LE32(100).LE32(0).LE32(6).LE32(0).LE32(3).LE32(0).LE32(0);
  Bytes b;
  b.Text("RF64").LE32(0xFFFFFFFF).Text("WAVE");
  Append(b, Chunk("ds64", ds64.Vector()));
  Append(b, PcmFmt(1, 8000, 16));
  Append(b, Chunk("data", Bytes().Zeros(6).Vector(), false, 0xFFFFFFFF));
  auto a = AnalyseSound(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "FileSize")), "0xffffffff(4294967295) file size-8 in the ds64 chunk");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "dataSize")), (Range{28, 8}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Wave Form Data")), (Range{80, 6}));

  Bytes noDs64;
  noDs64.Text("RF64").LE32(0xFFFFFFFF).Text("WAVE");
  Append(noDs64, PcmFmt(1, 8000, 16));
  Append(noDs64, Chunk("data", Bytes().Zeros(6).Vector(), false, 0xFFFFFFFF));
  auto open = AnalyseSound(noDs64);
  ASSERT_TRUE(open.ok) << "without ds64 the open size runs to the end of the file: " << open.error;
  EXPECT_EQ(RangeOf(open.tree, *Find(open.tree, "Wave Form Data")), (Range{44, 6}));
}

TEST(WaveFormat, BroadcastExtensionFields) {
  Bytes bext;
  bext.Text("A take").Zeros(250).Text("Recorder").Zeros(24).Zeros(32).Text("2024-01-02").Text("10:20:30");
  bext.LE32(48000).LE32(0).LE16(2).Zeros(64).LE16(0xFF00).Zeros(8).Zeros(180).Text("A=PCM,F=48000");
  auto a = AnalyseSound(Wave({Chunk("bext", bext.Vector())}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Description")), "A take");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Description")), (Range{20, 256}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "OriginationDate")), "2024-01-02");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "UMID")), (Range{20 + 348, 64}));
  EXPECT_NE(ValueOf(a.tree, *Find(a.tree, "LoudnessValue")).find("(-256)"), std::string::npos);
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "CodingHistory")), "A=PCM,F=48000");
  auto shortBext = AnalyseSound(Wave({Chunk("bext", Bytes().Text("Only").Zeros(300).Vector())}));
  ASSERT_TRUE(shortBext.ok) << shortBext.error;
  EXPECT_EQ(Find(shortBext.tree, "UMID"), nullptr) << "fields the chunk does not hold are left out";
}

TEST(WaveFormat, PaddingAndId3ChunksAreRanges) {
  auto a = AnalyseSound(Wave({Chunk("JUNK", Bytes().Zeros(10).Vector()), Chunk("id3 ", Text("ID3abc"))}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Padding")), (Range{20, 10}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "id3 Chunk")), "0x20336469(540238953) 'id3 '--ID3 tag");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "ID3 tag")), (Range{38, 6}));
}

TEST(WaveFormat, RifxIsReadBigEndian) {
  Bytes fmt;
  fmt.BE16(1).BE16(1).BE32(8000).BE32(16000).BE16(2).BE16(16);
  Bytes b;
  b.Text("RIFX").BE32(4 + 24 + 12).Text("WAVE");
  Append(b, Chunk("fmt ", fmt.Vector(), true));
  Append(b, Chunk("data", Bytes().BE16(0xFFFE).BE16(3).Vector(), true));
  auto a = AnalyseSound(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "nSamplesPerSec")), "0x00001f40(8000) Hz");
  auto values = ChildTexts(a.tree, *Find(a.tree, "Wave Form Data"));
  ASSERT_EQ(values.size(), 4u);
  EXPECT_NE(values[2].find("(-2) Sample[0]"), std::string::npos) << values[2];
}

}  // namespace
