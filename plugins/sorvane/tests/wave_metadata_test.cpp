// Metadata chunks of recording and editing programs, and the values derived from
// the format: frame counts, durations and byte rates.
#include <gtest/gtest.h>

#include <cstring>

#include "sound_builder.h"

namespace {

using namespace testing_support;
using namespace sorvane_test;

std::uint32_t FloatBits(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TEST(WaveMetadata, PeakAcidDispAndXmlChunks) {
  Bytes peak;
  peak.LE32(1).LE32(1234).LE32(FloatBits(0.5f)).LE32(100).LE32(FloatBits(0.25f)).LE32(7);
  Bytes acid;
  acid.LE32(0x3).LE16(60).LE16(0).LE32(0).LE32(8).LE16(4).LE16(4).LE32(FloatBits(120.0f));
  Bytes list;
  list.Text("wavl");
  auto a = AnalyseSound(Wave({PcmFmt(2, 8000, 16), Chunk("PEAK", peak.Vector()), Chunk("acid", acid.Vector()),
                              Chunk("DISP", Bytes().LE32(1).Text("Title").Vector()), Chunk("iXML", Text("<BWFXML/>")),
                              Chunk("_PMX", Text("<x:xmpmeta/>")), Chunk("LIST", list.Vector())}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Child(a.tree, *Find(a.tree, "peak[1]"), "value")), "0x3e800000(1048576000) 0.25");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "flags")), "0x00000003(3) one-shot, root note set");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "tempo")), "0x42f00000(1123024896) 120");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "dwType")), "0x00000001(1) CF_TEXT");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Data")), "Title");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "iXML")), "<BWFXML/>");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "XMP")), "<x:xmpmeta/>");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "typeID")),
            "0x6c766177(1819697527) 'wavl'--Wave list (data and silence chunks)");
}

TEST(WaveMetadata, CartChunkFieldsAndTagText) {
  Bytes cart;
  cart.Text("0101").Text("A title").Zeros(57);
  for (int i = 0; i < 6; ++i) cart.Zeros(64);
  cart.Zeros(36).Zeros(64 * 3).LE32(0x8000).Zeros(64).Zeros(276).Zeros(1024).Text("tag");
  auto a = AnalyseSound(Wave({Chunk("cart", cart.Vector())}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Title")), "A title");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "LevelReference")), "0x00008000(32768)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "TagText")), "tag");
}

TEST(DerivedValues, FramesDurationAndByteRates) {
  Bytes fmt;
  fmt.LE16(1).LE16(2).LE32(8000).LE32(1000).LE16(3).LE16(16);
  auto a = AnalyseSound(Wave({Chunk("fmt ", fmt.Vector()), Chunk("data", Bytes().Zeros(12).Vector())}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "nAvgBytesPerSec")),
            "nSamplesPerSec x nBlockAlign give 24000 bytes per second");
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "nBlockAlign")), "nChannels x wBitsPerSamples give 4 bytes per frame");
  const auto* data = Find(a.tree, "data Chunk");
  EXPECT_EQ(NoteOf(a.tree, *Child(a.tree, *data, "ChunkSize")), "4 sample frames of 3 bytes, 0.000500 seconds");
  auto good = AnalyseSound(Wave({PcmFmt(1, 8000, 16), Chunk("data", Bytes().Zeros(16000).Vector())}));
  ASSERT_TRUE(good.ok) << good.error;
  EXPECT_EQ(NotesOf(good.tree, *Find(good.tree, "nBlockAlign")), std::vector<std::string>{});
  EXPECT_EQ(NoteOf(good.tree, *Child(good.tree, *Find(good.tree, "data Chunk"), "ChunkSize")),
            "8000 sample frames of 2 bytes, 1.000000 seconds");

  Bytes au;
  au.Text(".snd").BE32(24).BE32(16).BE32(3).BE32(8000).BE32(2).Zeros(16);
  auto sun = AnalyseSound(au);
  ASSERT_TRUE(sun.ok) << sun.error;
  EXPECT_EQ(NoteOf(sun.tree, *Find(sun.tree, "sound data")), "4 sample frames of 4 bytes, 0.000500 seconds");
}

TEST(AiffMetadata, VersionTimeCompressionNamesAndLayouts) {
  Bytes sowt;
  sowt.Text("sowt").U8(0).U8(0);
  Bytes chan;
  chan.BE32(0x650002).BE32(0).BE32(0);
  auto a = AnalyseSound(Aiff(
      "AIFC", {IffChunk("FVER", Bytes().BE32(0xA2805140).Vector()), Comm(1, 0, 16, {0x40, 0x0B, 0xFA}, sowt.Vector()),
               IffChunk("CHAN", chan.Vector()), IffChunk("basc", Bytes().Zeros(6).Vector())}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "timestamp")), "0xa2805140(2726318400) 1990-05-23 14:40:00 (AIFC Version 1)");
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "compressionType")), "little-endian two's complement PCM");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "mChannelLayoutTag")), "0x00650002(6619138)");
  EXPECT_NE(Find(a.tree, "Apple Loops Chunk"), nullptr);
}

}  // namespace
