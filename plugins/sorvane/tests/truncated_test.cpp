// Cut-off and streamed recordings: a chunk that runs past the end of the file is
// shown up to the end with a note, sizes a streaming writer left open run to the
// end of the file, and the walk ends there with success.
#include <gtest/gtest.h>

#include "sound_builder.h"

namespace {

using namespace testing_support;
using namespace sorvane_test;

TEST(Truncated, WaveDataCutByTheEndOfTheFile) {
  auto file = Wave({PcmFmt(1, 8000, 16), Chunk("data", Bytes().Zeros(10).Vector(), false, 4000)});
  auto a = AnalyseSound(file);
  ASSERT_TRUE(a.ok) << a.error;
  const auto* data = Find(a.tree, "data Chunk");
  EXPECT_EQ(NoteOf(a.tree, *Child(a.tree, *data, "ChunkSize")), "2000 sample frames of 2 bytes, 0.250000 seconds")
      << "counted from the size as stored";
  const auto* wave = Child(a.tree, *data, "Wave Form Data");
  EXPECT_EQ(RangeOf(a.tree, *wave), (Range{44, 10}));
  EXPECT_EQ(NoteOf(a.tree, *wave), "ChunkSize says 4000 bytes; the file ends after 10") << "after the chunk's items";
}

TEST(Truncated, OpenSizesOfAStreamingWriterRunToTheEnd) {
  Bytes open;
  open.Text("RIFF").LE32(0xFFFFFFFF).Text("WAVE");
  Append(open, PcmFmt(1, 8000, 8));
  Append(open, Chunk("data", Bytes().Zeros(7).Vector(), false, 0xFFFFFFFF));
  auto a = AnalyseSound(open);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "FileSize")), "0xFFFFFFFF: size left open by a streaming writer");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "ChunkSize", false)), "0x00000010(16)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Wave Form Data")), (Range{44, 8})) << "the pad byte belongs to the data";

  // Size 0 counts as open only when the RIFF size is open too.
  Bytes zero;
  zero.Text("RIFF").LE32(0).Text("WAVE");
  Append(zero, PcmFmt(1, 8000, 8));
  zero.Text("data").LE32(0).Zeros(6);
  auto z = AnalyseSound(zero);
  ASSERT_TRUE(z.ok) << z.error;
  EXPECT_EQ(RangeOf(z.tree, *Find(z.tree, "Wave Form Data")), (Range{44, 6}));
  auto closed = AnalyseSound(Wave({PcmFmt(1, 8000, 8), Chunk("data", {}), Chunk("abcd", {1, 2})}));
  ASSERT_TRUE(closed.ok) << closed.error;
  EXPECT_NE(Find(closed.tree, "abcd chunk"), nullptr) << "an empty data chunk in a closed file is empty";
}

TEST(Truncated, AiffSoundDataCutAndItsOffsetHonoured) {
  Bytes ssnd;
  ssnd.BE32(4).BE32(8).Zeros(4).Zeros(20);
  auto a = AnalyseSound(Aiff("AIFF", {Comm(1, 10, 16, {0x40, 0x0B, 0xFA}), IffChunk("SSND", ssnd.Vector(), 100)}));
  ASSERT_TRUE(a.ok) << a.error;
  const auto* chunk = Find(a.tree, "Sound Data Chunk");
  EXPECT_EQ(NoteOf(a.tree, *Child(a.tree, *chunk, "Sound data")), "ckSize says 100 bytes; the file ends after 32");
  // The samples begin after the 4 bytes the offset field passes over.
  EXPECT_EQ(RangeOf(a.tree, *Child(a.tree, *chunk, "Sound data")), (Range{12 + 26 + 16 + 4, 20}));
}

TEST(Truncated, AHeaderCutInsideStillFails) {
  auto cut = Bytes().Text("FORM").BE32(30).Text("AIFF").Text("COMM").BE32(18).Zeros(6);
  EXPECT_EQ(AnalyseSound(cut).error, "[HPI_PLUGIN] Wrong Common chunk!");
}

TEST(Truncated, CorpusRecordingsAreShownUpToTheirEnd) {
  for (const char* name :
       {"wav/damaged-truncated-data.wav", "wav/scipy-test-44100Hz-le-1ch-4bytes-early-eof.wav",
        "wav/musicmeta-odd-list-type.wav", "aiff/damaged-truncated-ssnd.aiff", "aiff/goaudio-padded24b.aif",
        "au/crafted-dns-little-endian.au", "au/damaged-size-beyond-eof.au"}) {
    auto path = CorpusDir() / name;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus at " << CorpusDir();
    auto a = AnalysePath(path);
    EXPECT_TRUE(a.ok) << name << ": " << a.error;
  }
}

TEST(ChunkIds, RifxIdentifiersKeepTheirFileOrder) {
  Bytes b;
  b.Text("RIFX").BE32(20).Text("WAVE").Text("abcd").BE32(2).U8(1).U8(2);
  auto a = AnalyseSound(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "groupID")), "0x58464952(1481001298) 'RIFX'");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "abcd chunk")), "0x64636261(1684234849) abcd--Unkown Chunk");
}

TEST(ChunkIds, Id3TagHeaderInAiffAndWave) {
  Bytes tag;
  tag.Text("ID3").U8(3).U8(0).U8(0x40).U8(0).U8(0).U8(1).U8(1).Zeros(4);
  auto a = AnalyseSound(Aiff("AIFF", {IffChunk("ID3 ", tag.Vector())}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "ID3 Chunk")), "0x49443320(1229206304) 'ID3 '--ID3 tag");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "flags")), "0x40(64) extended header");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "tag size")), "0x00000101(257) 129 bytes after the header (synchsafe)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "ID3 frames")), (Range{30, 4}));
  auto w = AnalyseSound(Wave({Chunk("id3 ", tag.Vector())}));
  ASSERT_TRUE(w.ok) << w.error;
  EXPECT_EQ(ValueOf(w.tree, *Find(w.tree, "major version")), "0x03(3)");
}

}  // namespace
