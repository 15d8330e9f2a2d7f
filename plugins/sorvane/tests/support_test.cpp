#include <gtest/gtest.h>

#include "plugin_harness.h"

namespace {

using testing_support::AnalyseBytes;
using testing_support::Bytes;
using testing_support::Supports;

TEST(SorvaneSupport, KnowsTheSoundFileKinds) {
  EXPECT_EQ(Supports(Bytes().Text("RIFF").LE32(4).Text("WAVE")), 1);
  EXPECT_EQ(Supports(Bytes().Text("RIFX").BE32(4).Text("WAVE")), 1);
  EXPECT_EQ(Supports(Bytes().Text("RF64").LE32(0xFFFFFFFF).Text("WAVE")), 1);
  EXPECT_EQ(Supports(Bytes().Text("BW64").LE32(0xFFFFFFFF).Text("WAVE")), 1);
  EXPECT_EQ(Supports(Bytes().Text("FORM").BE32(4).Text("AIFF")), 1);
  EXPECT_EQ(Supports(Bytes().Text("FORM").BE32(4).Text("AIFC")), 1);
  EXPECT_EQ(Supports(Bytes().Text(".snd").BE32(24).BE32(0)), 1);
  EXPECT_EQ(Supports(Bytes().Text("dns.").LE32(24).LE32(0)), 1) << "little-endian AU";
}

TEST(SorvaneSupport, RefusesOtherRiffAndIffForms) {
  EXPECT_EQ(Supports(Bytes().Text("RIFF").LE32(4).Text("AVI ")), 0);
  EXPECT_EQ(Supports(Bytes().Text("FORM").BE32(4).Text("ILBM")), 0);
  EXPECT_EQ(Supports(Bytes().Text("\x89PNG\r\n\x1a\n")), 0);
}

TEST(SorvaneSupport, AnalysisOfShortOrForeignFilesFails) {
  auto cut = AnalyseBytes(Bytes().Text("RIFF").LE32(4), "sorvane-short.wav");
  EXPECT_EQ(cut.error, "[HPI_PLUGIN] Wrong RIFF WAVE header!") << "a header cut short is walked as far as it goes";
  EXPECT_EQ(AnalyseBytes(Bytes().Text("RI"), "sorvane-short.wav").error, "[HPI_PLUGIN] File read error!");
  EXPECT_EQ(AnalyseBytes(Bytes().Text("GIF89a").Zeros(20), "sorvane-foreign.wav").error,
            "[HPI_PLUGIN] Wrong file format!");
  EXPECT_TRUE(AnalyseBytes(Bytes().Text("FORM").BE32(4).Text("AIFF"), "sorvane-empty.aiff").ok)
      << "a FORM without chunks is complete";
}

}  // namespace
