#include <gtest/gtest.h>

#include "png_builder.h"

namespace {

using namespace testing_support;
using pendrix_test::ChunkFile;
using pendrix_test::Wrong;

TEST(Extensions, AnimationChunks) {
  Bytes fctl;
  fctl.BE32(0).BE32(1).BE32(1).BE32(0).BE32(0).BE16(1).BE16(10).U8(1).U8(1);
  auto a = AnalyseBytes(ChunkFile()
                            .Ihdr(6)
                            .Add("acTL", Bytes().BE32(2).BE32(0))
                            .Add("fcTL", fctl)
                            .Add("IDAT", Bytes().Zeros(2))
                            .Add("fdAT", Bytes().BE32(1).Zeros(5))
                            .End());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "num_frames")), "0x00000002(2)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "dispose_op")), "0x01(1) APNG_DISPOSE_OP_BACKGROUND");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "blend_op")), "0x01(1) APNG_BLEND_OP_OVER");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "frame_data")), (Range{8 + 25 + 20 + 38 + 14 + 12, 5}));
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(6).Add("fcTL", Bytes().Zeros(25)).End()).error, Wrong("fcTL"));
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(6).Add("acTL", Bytes().Zeros(4)).End()).error, Wrong("acTL"));
}

TEST(Extensions, ExifColourCodesAndSplitPoints) {
  auto a = AnalyseBytes(
      ChunkFile()
          .Ihdr(2)
          .Add("eXIf", Bytes().Text("MM").BE16(42).BE32(8).BE16(1).BE16(0x112).BE16(3).BE32(1).BE16(6).BE16(0).BE32(0))
          .Add("cICP", Bytes().U8(9).U8(16).U8(0).U8(1))
          .Add("iDOT", Bytes().Zeros(28))
          .End());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  // The Exif data is walked as TIFF, with file offsets.
  const auto* orientation = Find(a.tree, "Orientation", true);
  ASSERT_NE(orientation, nullptr);
  EXPECT_EQ(RangeOf(a.tree, *orientation).offset, 41u + 10);
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(2).Add("eXIf", Bytes().Text("not a tiff")).End()).ok, true);
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Transfer Function")), "0x10(16)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Video Full Range Flag")), "0x01(1)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Data")), (Range{8 + 25 + 38 + 16 + 8, 28}));
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(2).Add("cICP", Bytes().Zeros(3)).End()).error, Wrong("cICP"));
}

// Chunks of the PNG standard's third edition and of the registered extensions.
TEST(Extensions, RegisteredChunks) {
  Bytes mdcv;
  for (int i = 0; i < 8; ++i) mdcv.BE16(static_cast<std::uint16_t>(1000 * i));
  mdcv.BE32(10000000).BE32(50);
  Bytes pcal;
  pcal.Text("temp").U8(0).BE32(0).BE32(255).U8(0).U8(2).Text("K").U8(0).Text("0").U8(0).Text("1.5");
  Bytes itxt;
  itxt.Text("Title").U8(0).U8(0).U8(0).Text("fr").U8(0).Text("Titre").U8(0).Text("Bonjour");
  auto a = AnalyseBytes(ChunkFile()
                            .Ihdr(2)
                            .Add("mDCV", mdcv)
                            .Add("cLLI", Bytes().BE32(4000000).BE32(1000000))
                            .Add("oFFs", Bytes().BE32(0xFFFFFFFF).BE32(7).U8(1))
                            .Add("sCAL", Bytes().U8(1).Text("0.5").U8(0).Text("0.25"))
                            .Add("pCAL", pcal)
                            .Add("sTER", Bytes().U8(1))
                            .Add("gIFg", Bytes().U8(2).U8(0).BE16(10))
                            .Add("gIFx", Bytes().Text("NETSCAPE2.0").U8(1))
                            .Add("iTXt", itxt)
                            .Add("IDAT")
                            .End());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Min display luminance")), "0x00000032(50)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Max frame-average light level")), "0x000f4240(1000000)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "X position")), "0xffffffff(-1)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Pixel height")), "0.25");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Parameter[1]")), "1.5");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Mode")), "0x01(1) diverging-fuse layout");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Delay Time")), "0x000a(10)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Application Identifier")), "NETSCAPE");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Translated keyword")), "Titre");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Text")), "Bonjour") << "uncompressed iTXt text as text";
  EXPECT_EQ(Find(a.tree, "CMF"), nullptr) << "an empty IDAT has no zlib header";
}

}  // namespace
