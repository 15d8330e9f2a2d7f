#include <gtest/gtest.h>

#include "hpi/hpi.h"
#include "sound_builder.h"

namespace {

using namespace testing_support;
using namespace sorvane_test;

ByteVector Samples16(std::initializer_list<std::int16_t> samples) {
  Bytes b;
  for (std::int16_t s : samples) b.LE16(static_cast<std::uint16_t>(s));
  return b.Vector();
}

TEST(Wave, MinimalPcmShowsHeaderFmtAndAPreviewOfFourFrames) {
  auto file = Wave({PcmFmt(1, 8000, 16), Chunk("data", Samples16({1, -2, 3, -4, 5, 6}))});
  auto a = AnalyseBytes(file, "sorvane-tone.wav");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "groupID")), "0x46464952(1179011410) 'RIFF'");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "FileSize")), "0x00000030(48) file size-8");
  const auto* fmt = Find(a.tree, "fmt Chunk");
  EXPECT_EQ(RangeOf(a.tree, *fmt), (Range{12, 4}));
  EXPECT_EQ(FieldNames(a.tree, *fmt),
            (std::vector<std::string>{"ChunkSize", "wFormatTag", "nChannels", "nSamplesPerSec", "nAvgBytesPerSec",
                                      "nBlockAlign", "wBitsPerSamples"}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "wFormatTag")), "0x0001(1) PCM");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "nChannels")), "0x0001(1) Monoral");
  const auto* data = Find(a.tree, "Wave Form Data");
  EXPECT_EQ(RangeOf(a.tree, *data), (Range{44, 12}));
  auto values = ChildTexts(a.tree, *data);
  ASSERT_EQ(values.size(), 2u + 4 + 1);
  EXPECT_NE(values[3].find("(-2) Sample[1]"), std::string::npos) << values[3];
  EXPECT_EQ(values[6], "・・・");
}

TEST(Wave, PreviewStaysInsideAShortDataChunk) {
  // Two stereo frames at the end of the file, and one followed by another chunk.
  auto atEnd = AnalyseSound(Wave({PcmFmt(2, 8000, 8), Chunk("data", {10, 20, 30, 40})}));
  ASSERT_TRUE(atEnd.ok) << atEnd.error;
  auto values = ChildTexts(atEnd.tree, *Find(atEnd.tree, "Wave Form Data"));
  ASSERT_EQ(values.size(), 2u + 4) << "two frames, no ellipsis";
  EXPECT_EQ(values[5], "0x28(40) Sample[1] right");

  auto followed = AnalyseSound(Wave({PcmFmt(1, 8000, 16), Chunk("data", Samples16({7})), Chunk("abcd", {1, 2})}));
  ASSERT_TRUE(followed.ok) << followed.error;
  EXPECT_EQ(ChildTexts(followed.tree, *Find(followed.tree, "Wave Form Data")).size(), 2u + 1);
  EXPECT_NE(Find(followed.tree, "abcd chunk"), nullptr);
}

TEST(Wave, OriginalWaveFormatHasNoBitsPerSample) {
  auto fmt = Fmt(1, 1, 8000, 8);
  fmt.resize(14);
  auto a = AnalyseSound(Wave({Chunk("fmt ", fmt), Chunk("data", {1, 2, 3, 4, 5})}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(FieldNames(a.tree, *Find(a.tree, "fmt Chunk")).back(), "nBlockAlign");
  EXPECT_EQ(ChildTexts(a.tree, *Find(a.tree, "Wave Form Data")).size(), 2u) << "no preview without sample width";
}

TEST(Wave, UnknownChunksAreSkippedWithTheirPadByte) {
  auto a = AnalyseSound(Wave({Chunk("odd!", {1, 2, 3}), PcmFmt(1, 8000, 8), Chunk("data", {})}));
  ASSERT_TRUE(a.ok) << a.error;
  const auto* odd = Find(a.tree, "odd! chunk");
  ASSERT_NE(odd, nullptr);
  EXPECT_EQ(ValueOf(a.tree, *odd), "0x2164646f(560227439) odd!--Unkown Chunk");
  EXPECT_EQ(RangeOf(a.tree, *Child(a.tree, *odd, "Data")), (Range{20, 3}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "fmt Chunk")), (Range{24, 4}));
  const auto* empty = Find(a.tree, "Wave Form Data");
  EXPECT_EQ(RangeOf(a.tree, *empty), (Range{56, 0}));
  EXPECT_EQ(ChildTexts(a.tree, *empty).size(), 2u) << "no preview of an empty chunk";
}

TEST(Wave, FileEndingInsideAnIdentifierIsComplete) {
  auto file = Wave({PcmFmt(1, 8000, 8)});
  Bytes b;
  Append(b, file).Text("da");
  auto a = AnalyseSound(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_NE(Find(a.tree, "fmt Chunk"), nullptr);
}

TEST(Wave, RiffSizeDisagreeingWithTheFileGetsANote) {
  auto file = Wave({PcmFmt(1, 8000, 8)});
  file[4] = 0xF0;
  auto a = AnalyseSound(file);
  ASSERT_TRUE(a.ok) << a.error;
  // Written after the walk: it depends on where the file ends.
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "FileSize")), std::vector<std::string>{});
  const auto* note = Find(a.tree, "FileSize says 240 bytes follow it; the file holds 28");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note, &a.tree.At(a.tree.Items().size() - 1)) << "the last item";
}

// A chunk whose fields are all there is shown with a note on its size; a header
// cut by the end of the file still fails with its chunk's code.
TEST(Wave, AHeaderCutByTheEndOfTheFileFailsWithTheChunksCode) {
  auto fmt = AnalyseBytes(Wave({Chunk("fmt ", Fmt(1, 1, 8000, 8), false, 0x7FFFFFF0)}), "sorvane-cut.wav", 1,
                          hpi::kRequestPartial);
  EXPECT_EQ(fmt.error, "[HPI_PLUGIN] Wrong fmt chunk!") << "the stored size asks for cbSize";
  EXPECT_NE(Find(fmt.tree, "wBitsPerSamples"), nullptr) << "the fields before the cut are kept";
  auto cutFmt = Wave({Chunk("fmt ", Bytes().Zeros(10).Vector(), false, 16)});
  EXPECT_EQ(AnalyseBytes(cutFmt, "sorvane-x.wav", 0).error, "[HPI_PLUGIN] fmtチャンクが不正です");
}

TEST(Wave, SizeChecksOfTheFixedChunks) {
  EXPECT_EQ(AnalyseSound(Wave({Chunk("fmt ", Bytes().Zeros(12).Vector())})).error, "[HPI_PLUGIN] Wrong fmt chunk!");
  EXPECT_EQ(AnalyseSound(Wave({Chunk("fact", Bytes().Zeros(6).Vector())})).error, "[HPI_PLUGIN] Wrong fact chunk!");
  EXPECT_EQ(AnalyseSound(Wave({Chunk("cue ", Bytes().LE32(2).Zeros(24).Vector())})).error,
            "[HPI_PLUGIN] Wrong cue chunk!");
  EXPECT_EQ(AnalyseSound(Wave({Chunk("inst", Bytes().Zeros(6).Vector())})).error, "[HPI_PLUGIN] Wrong inst chunk!");
  Bytes smpl;
  smpl.Zeros(28).LE32(0).LE32(4).Zeros(4);
  EXPECT_EQ(AnalyseSound(Wave({Chunk("smpl", smpl.Vector())})).error, "[HPI_PLUGIN] Wrong smpl chunk!")
      << "sampler data is refused";
  auto emptyCue = AnalyseSound(Wave({Chunk("cue ", Bytes().LE32(0).Vector())}));
  ASSERT_TRUE(emptyCue.ok) << emptyCue.error;
  EXPECT_EQ(FieldNames(emptyCue.tree, *Find(emptyCue.tree, "cue Chunk")),
            (std::vector<std::string>{"ChunkSize", "dwCuePoints"}));
}

TEST(Wave, CuePointsAndSampleLoopsAreRecords) {
  Bytes cue;
  cue.LE32(1).LE32(1).LE32(100).Text("data").LE32(0).LE32(0).LE32(100);
  Bytes smpl;
  smpl.Zeros(28).LE32(1).LE32(0).LE32(7).LE32(1).LE32(10).LE32(20).LE32(0).LE32(0);
  auto a = AnalyseSound(Wave({Chunk("cue ", cue.Vector()), Chunk("smpl", smpl.Vector())}));
  ASSERT_TRUE(a.ok) << a.error;
  const auto* point = Find(a.tree, "CuePoints[0]");
  EXPECT_EQ(RangeOf(a.tree, *point), (Range{24, 24}));
  EXPECT_EQ(ValueOf(a.tree, *Child(a.tree, *point, "fccChunk")), "0x61746164(1635017060) data");
  const auto* loop = Find(a.tree, "SampleLoop[0]");
  EXPECT_EQ(ValueOf(a.tree, *Child(a.tree, *loop, "dwType")), "0x00000001(1) Alternating loop");
}

TEST(Wave, ListChunksAndTheirTexts) {
  Bytes info;
  info.Text("INFO");
  Append(info, Chunk("IGNR", Text("Folk")));
  Append(info, Chunk("IXYZ", Text("odd")));
  Bytes adtl;
  adtl.Text("adtl");
  Append(adtl, Chunk("labl", Bytes().LE32(1).Text("Intro").Vector()));
  Append(adtl, Chunk("ltxt", Bytes().LE32(1).LE32(400).Text("rgn ").Zeros(8).Vector()));
  Append(adtl, Chunk("file", {1, 2, 3, 4}));
  auto a = AnalyseSound(Wave({Chunk("LIST", info.Vector()), Chunk("LIST", adtl.Vector()), PcmFmt(1, 8000, 8)}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "IGNR Chunk")), "0x524e4749(1380861769) 'IGNR'--genre");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "IXYZ Chunk")), "0x5a595849(1515804745) IXYZ--Unkown value");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "dwText")), "Folk");
  const auto* label = Find(a.tree, "labl Chunk");
  EXPECT_EQ(ValueOf(a.tree, *Child(a.tree, *label, "dwText")), "Intro");
  EXPECT_EQ(RangeOf(a.tree, *Child(a.tree, *label, "dwText")), (Range{72, 5}));
  EXPECT_NE(Find(a.tree, "wCodePage"), nullptr);
  const auto* other = Find(a.tree, "file Chunk");
  EXPECT_EQ(ValueOf(a.tree, *other), "0x656c6966(1701603686) file--Unkown chunk");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Data")), (Range{114, 4})) << "a field, its size and data side by side";
  // The walk resumes after the second LIST's padded end.
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "fmt Chunk")), (Range{118, 4}));
}

TEST(Wave, ListContentsAreCutAtTheListsEnd) {
  Bytes info;
  info.Text("INFO");
  Append(info, Chunk("INAM", Text("Name"), false, 40));
  auto a = AnalyseSound(Wave({Chunk("LIST", info.Vector()), PcmFmt(1, 8000, 8)}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "dwText")), (Range{32, 4}));
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "dwText")), "ChunkSize says 40 bytes; the enclosing chunk ends after 4");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "fmt Chunk")), (Range{36, 4})) << "the walk goes on after the LIST";
  EXPECT_EQ(AnalyseSound(Wave({Chunk("LIST", {'I', 'N'})})).error, "[HPI_PLUGIN] Wrong list chunk!");
  Bytes ltxt;
  ltxt.Text("adtl");
  Append(ltxt, Chunk("ltxt", Bytes().Zeros(12).Vector()));
  EXPECT_EQ(AnalyseSound(Wave({Chunk("LIST", ltxt.Vector())})).error, "[HPI_PLUGIN] Wrong ltxt chunk!");
}

}  // namespace
