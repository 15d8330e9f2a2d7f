#include <gtest/gtest.h>

#include "sound_builder.h"

namespace {

using namespace testing_support;
using namespace sorvane_test;

Bytes AuHeader(std::uint32_t headerSize, std::uint32_t dataSize, std::uint32_t encoding) {
  Bytes b;
  b.Text(".snd").BE32(headerSize).BE32(dataSize).BE32(encoding).BE32(8000).BE32(1);
  return b;
}

TEST(Au, HeaderFieldsAnnotationAndSoundData) {
  Bytes b = AuHeader(32, 100, 27);
  b.Text("a note").Zeros(2).Zeros(100);
  auto a = AnalyseBytes(b, "sorvane-a.au");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "magic number")), "0x2e736e64(779316836) '.snd'");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "encoding format")), "0x0000001b(27) 8-bit ISDN A-law");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "sample rate")), "0x00001f40(8000) samples/sec");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "comments")), "a note");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "comments")), (Range{24, 8}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "sound data")), (Range{32, 100}));
}

TEST(Au, UnknownDataSizeRunsToTheEndOfTheFile) {
  Bytes b = AuHeader(24, 0xFFFFFFFF, 99);
  b.Zeros(40);
  auto a = AnalyseSound(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "data size")), "0xffffffff(4294967295)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "encoding format")), "0x00000063(99) Unkown encoding format");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "sound data")), (Range{24, 40}));
}

TEST(Au, DataPastTheEndIsCutWithANote) {
  auto a = AnalyseSound(AuHeader(24, 1000, 1).Zeros(8));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "sound data")), (Range{24, 8}));
  EXPECT_EQ(NotesOf(a.tree, *Find(a.tree, "sound data")),
            (std::vector<std::string>{"1000 sample frames of 1 bytes, 0.125000 seconds",
                                      "data size says 1000 bytes; the file ends after 8"}));
}

TEST(Au, LittleEndianDnsHeader) {
  Bytes b;
  b.Text("dns.").LE32(28).LE32(6).LE32(3).LE32(22050).LE32(2).Text("abc").U8(0).Zeros(6);
  auto a = AnalyseSound(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "magic number")), "0x2e736e64(779316836) 'dns.'--little-endian");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "sample rate")), "0x00005622(22050) samples/sec");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "channels")), "0x00000002(2)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "sound data")), (Range{28, 6}));
}

TEST(Au, BrokenHeadersAreWrongFormat) {
  const std::string wrong = "[HPI_PLUGIN] Wrong file format!";
  EXPECT_EQ(AnalyseSound(AuHeader(16, 8, 1).Zeros(8)).error, wrong) << "header size below 24";
  EXPECT_EQ(AnalyseSound(AuHeader(0xFFFFFFF0, 0xFFFFFFFF, 1)).error, wrong) << "header beyond the end";
  EXPECT_EQ(AnalyseSound(Bytes().Text(".snd").BE32(24).BE32(0)).error, wrong) << "short header";
}

}  // namespace
