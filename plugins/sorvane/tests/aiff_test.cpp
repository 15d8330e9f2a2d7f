#include <gtest/gtest.h>

#include "sound_builder.h"

namespace {

using namespace testing_support;
using namespace sorvane_test;

const std::initializer_list<std::uint8_t> k44100 = {0x40, 0x0E, 0xAC, 0x44};
const std::initializer_list<std::uint8_t> k8000 = {0x40, 0x0B, 0xFA};

ByteVector Ssnd(std::size_t soundBytes) { return IffChunk("SSND", Bytes().BE32(0).BE32(0).Zeros(soundBytes).Vector()); }

TEST(Aiff, CommonAndSoundDataChunks) {
  auto a = AnalyseBytes(Aiff("AIFF", {Comm(2, 3, 16, k44100), Ssnd(12)}), "sorvane-tone.aiff");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "formType")), "0x41494646(1095321158) 'AIFF'");
  const auto* comm = Find(a.tree, "Common Chunk");
  EXPECT_EQ(FieldNames(a.tree, *comm),
            (std::vector<std::string>{"ckSize", "numChannels", "numSampleFrames", "sampleSize", "sampleRate"}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "sampleRate")), "0x400eac44000000000000(44100Hz) 44100 Hz");
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "sampleRate")), "3 sample frames of 4 bytes, 0.000068 seconds");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "sampleRate")), (Range{28, 10}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "offset")), "0x00000000(0)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Sound data")), (Range{54, 12}));
}

// The whole number in the value is rounded as the old plug-in did; the comment
// gives the rate the 80 bits stand for.
TEST(Aiff, ExtendedRatesAreRoundedWholeNumbers) {
  auto rate = [](std::initializer_list<std::uint8_t> bytes) {
    auto a = AnalyseSound(Aiff("AIFF", {Comm(1, 0, 8, bytes)}));
    return ValueOf(a.tree, *Find(a.tree, "sampleRate"));
  };
  EXPECT_EQ(rate(k8000), "0x400bfa00000000000000(8000Hz) 8000 Hz");
  // 22254.5454...: the Macintosh rate, rounded half up.
  EXPECT_EQ(rate({0x40, 0x0D, 0xAD, 0xDD, 0x17, 0x45, 0xD1, 0x74, 0x5D, 0x17}).substr(22), "(22255Hz) 22254.545455 Hz");
  EXPECT_EQ(rate({0x40, 0x1E, 0x12, 0x34, 0x56, 0x78}).substr(22), "(305419896Hz) 305419896 Hz") << "exponent 30";
  EXPECT_EQ(rate({0x40, 0x20, 0xFF}).substr(22), "(0Hz) 17112760320 Hz") << "exponent bytes above 30 give 0";
}

TEST(Aiff, CompressionTypeOnlyInAifc) {
  ByteVector none = Bytes().Text("NONE").U8(0).U8(0).Vector();
  EXPECT_EQ(AnalyseSound(Aiff("AIFF", {Comm(1, 0, 16, k8000, Bytes().Zeros(4).Vector())})).error,
            "[HPI_PLUGIN] Wrong Common chunk!");
  auto a = AnalyseSound(Aiff("AIFC", {Comm(1, 0, 16, k8000, none)}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "compressionType")), "0x4e4f4e45(1313820229) NONE");
  const auto* name = Find(a.tree, "compressionName");
  EXPECT_EQ(RangeOf(a.tree, *name), (Range{42, 1}));
  EXPECT_EQ(ValueOf(a.tree, *name), "");
  ByteVector named = Bytes().Text("fl32").U8(5).Text("Float").Vector();
  auto f = AnalyseSound(Aiff("AIFC", {Comm(1, 0, 32, k8000, named), Ssnd(0)}));
  ASSERT_TRUE(f.ok) << f.error;
  EXPECT_EQ(ValueOf(f.tree, *Find(f.tree, "compressionName")), "Float");
  EXPECT_NE(Find(f.tree, "Sound Data Chunk"), nullptr);
}

TEST(Aiff, MarkersCommentsAndTheChunksAfterThem) {
  Bytes mark;
  mark.BE16(1).BE16(1).BE32(100).U8(3).Text("one");
  Bytes comt;
  comt.BE16(2).BE32(0).BE16(1).BE16(3).Text("abc").U8(0).BE32(0).BE16(0).BE16(0);
  auto a = AnalyseSound(Aiff("AIFF", {IffChunk("MARK", mark.Vector()), IffChunk("MIDI", {1, 2, 3}),
                                      IffChunk("COMT", comt.Vector()), Comm(1, 0, 8, k8000)}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_NE(Find(a.tree, "MarkerID"), nullptr) << "one marker: no index";
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "markerName")), "one");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "MIDIdata")), (Range{40, 3}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "text[0]")), "abc");
  EXPECT_NE(Find(a.tree, "count[1]"), nullptr);
  EXPECT_NE(Find(a.tree, "Common Chunk"), nullptr);
}

TEST(Aiff, ShortApplicationChunkShowsAnEmptyDataAndTheWalkGoesOn) {
  auto a = AnalyseSound(Aiff("AIFF", {IffChunk("APPL", {'a', 'b'}), Comm(1, 0, 8, k8000)}));
  ASSERT_TRUE(a.ok) << a.error;
  const auto* appl = Find(a.tree, "Application Specific");
  EXPECT_EQ(RangeOf(a.tree, *Child(a.tree, *appl, "Data")), (Range{20, 0}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Common Chunk")), (Range{22, 4}));
  auto full = AnalyseSound(Aiff("AIFF", {IffChunk("APPL", Bytes().Text("pdos").Text("xyz").Vector())}));
  ASSERT_TRUE(full.ok) << full.error;
  EXPECT_EQ(ValueOf(full.tree, *Find(full.tree, "applicationSignature")), "0x70646f73(1885630323) pdos");
  EXPECT_EQ(RangeOf(full.tree, *Find(full.tree, "Data")), (Range{24, 3}));
}

TEST(Aiff, BrokenChunksGiveTheirOwnCodes) {
  EXPECT_EQ(AnalyseSound(Aiff("AIFF", {IffChunk("SSND", {0, 0}, 4000)})).error,
            "[HPI_PLUGIN] Wrong Sound Data Version chunk!");
  EXPECT_EQ(AnalyseSound(Aiff("AIFF", {IffChunk("FVER", {0, 0})})).error, "[HPI_PLUGIN] Wrong Format Version chunk!");
  EXPECT_EQ(AnalyseSound(Aiff("AIFF", {IffChunk("INST", Bytes().Zeros(18).Vector())})).error,
            "[HPI_PLUGIN] Wrong inst chunk!");
  EXPECT_EQ(AnalyseSound(Aiff("AIFF", {IffChunk("AESD", Bytes().Zeros(20).Vector())})).error,
            "[HPI_PLUGIN] Wrong Audio Recording chunk!");
  Bytes mark;
  mark.BE16(3).BE16(1).BE32(0).U8(0).U8(0);
  EXPECT_EQ(AnalyseSound(Aiff("AIFF", {IffChunk("MARK", mark.Vector())})).error, "[HPI_PLUGIN] Wrong Marker chunk!")
      << "more markers than the chunk holds";
  EXPECT_EQ(AnalyseSound(Bytes().Text("FORM").BE32(4).Text("AIFF").Text("COMM").BE32(18).Zeros(4)).error,
            "[HPI_PLUGIN] Wrong Common chunk!");
}

}  // namespace
