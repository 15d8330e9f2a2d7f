#include <gtest/gtest.h>

#include "bmp_builder.h"

namespace {

using namespace testing_support;
using voltane_test::BmpShape;
using voltane_test::MakeBmp;

TEST(Bmp, OneBitBitmapHasItsPaletteAndImageData) {
  auto a = AnalyseBytes(MakeBmp({}), "one.bmp");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  const auto& root = a.tree.At(a.tree.TopLevel()[0]);
  EXPECT_EQ(root.text, "one.bmp");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "BITMAPFILEHEADER")), (Range{0, 14}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "bfType")), "0x4d42(19778) 'BM'");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "BITMAPINFO")), (Range{14, 48}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "bmiColors[0]")), (Range{54, 4}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "bmiColors[1]")), (Range{58, 4}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Image Data")), (Range{62, 128}));
  // The palette entries are children of BITMAPINFO, after bmiHeader.
  const auto* info = Find(a.tree, "BITMAPINFO");
  ASSERT_EQ(info->children.size(), 2u + 1 + 2);
  EXPECT_EQ(a.tree.At(info->children[2]).text, "bmiHeader");
  EXPECT_EQ(a.tree.At(info->children[3]).text, "bmiColors[0]");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "biCompression")), "0x00000000(0) BI_RGB");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "bmiColors[1]")), "0x00040303(262915) RGBA(  4,  3,  3,  0)");
  EXPECT_NE(a.report.find("Image type\t: 1 bits/pixel paletted color\r\nPallette number\t: 2\r\n"), std::string::npos);
  EXPECT_NE(a.report.find("File size\t: 190 bytes\r\n"), std::string::npos);
}

TEST(Bmp, InconsistentSizesAndOffsetsAreFormatErrors) {
  BmpShape padded{.bitCount = 24, .paletteEntries = 0, .sizeAdjust = 1};
  EXPECT_EQ(AnalyseBytes(MakeBmp(padded)).error, "[HPI_PLUGIN] Wrong file format!");
  BmpShape gap{.bitCount = 8, .paletteEntries = 255};
  EXPECT_EQ(AnalyseBytes(MakeBmp(gap)).error, "[HPI_PLUGIN] Wrong file format!");
  // A hostile palette count cannot make the walk read on: bfOffBits must agree with it.
  BmpShape hostile{.bitCount = 8, .clrUsed = 0xFFFFFFFF, .paletteEntries = 0};
  EXPECT_EQ(AnalyseBytes(MakeBmp(hostile)).error, "[HPI_PLUGIN] Wrong file format!");
}

TEST(Bmp, ShortFilesAndWrongMarkers) {
  EXPECT_EQ(AnalyseBytes(Bytes().Text("BM").Zeros(8)).error, "[HPI_PLUGIN] File read error!");
  EXPECT_EQ(AnalyseBytes(Bytes().Text("BM").Zeros(20)).error, "[HPI_PLUGIN] File read error!");
  EXPECT_EQ(AnalyseBytes(Bytes()).error, "[HPI_PLUGIN] File read error!") << "empty file";
  EXPECT_EQ(AnalyseBytes(Bytes().Text("XYZXYZXYZ")).error, "[HPI_PLUGIN] Wrong file format!");
  EXPECT_EQ(AnalyseBytes(Bytes().Text("BM")).error, "[HPI_PLUGIN] Wrong file format!") << "fewer than 6 bytes";
  EXPECT_EQ(AnalyseBytes(Bytes().Text("BM").Zeros(8), "a.bmp", 0).error, "[HPI_PLUGIN] ファイルリードエラー");
}

TEST(Bmp, SixteenBitMasksShowAsThreePaletteEntries) {
  auto a = AnalyseBytes(MakeBmp({.bitCount = 16, .compression = 3, .paletteEntries = 3}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "bmiColors[2]")), (Range{62, 4}));
  EXPECT_NE(a.report.find("Image type\t: 16 bits/pixel RGB color\r\nPallette number\t: 3\r\n"), std::string::npos);
  auto thirtyTwo = AnalyseBytes(MakeBmp({.bitCount = 32, .compression = 3, .paletteEntries = 3}));
  EXPECT_TRUE(thirtyTwo.ok) << thirtyTwo.error;
}

TEST(Bmp, GrayRampIsReportedAsGrayscale) {
  auto a = AnalyseBytes(MakeBmp({.bitCount = 8, .paletteEntries = 256}, 1));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_NE(a.report.find("Image type\t: 8 bits/pixel grayscale\r\n"), std::string::npos);
  EXPECT_NE(a.report.find("Image size \t: 32 × 32\r\n"), std::string::npos);
  EXPECT_NE(a.report.find("Resolution X\t: 2835 pixel/m\r\n"), std::string::npos);
}

TEST(Bmp, RleImageDataCoversTheCompressedBytes) {
  BmpShape rle{
      .bitCount = 8, .compression = 1, .paletteEntries = 256, .sizeAdjust = -1000, .sizeImage = 24, .pixelBytes = 24};
  auto a = AnalyseBytes(MakeBmp(rle));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Image Data")), (Range{14 + 40 + 1024, 24}));
  EXPECT_NE(a.report.find("Compression\t: RLE8 compression\r\n"), std::string::npos);
}

TEST(Bmp, TopDownAndV5HeadersAreAnalysed) {
  auto top = AnalyseBytes(MakeBmp({.height = -32, .bitCount = 24, .paletteEntries = 0}));
  ASSERT_TRUE(top.ok) << top.error;
  EXPECT_EQ(ValueOf(top.tree, *Find(top.tree, "biHeight")), "0xffffffe0(-32) top-down");
  EXPECT_EQ(RangeOf(top.tree, *Find(top.tree, "Image Data")), (Range{54, 3072}));

  auto v5 = AnalyseBytes(MakeBmp({.bitCount = 32, .compression = 3, .headerSize = 124, .paletteEntries = 0}));
  ASSERT_TRUE(v5.ok) << v5.error;
  EXPECT_EQ(RangeOf(v5.tree, *Find(v5.tree, "bmiHeader")), (Range{14, 124}));
  EXPECT_EQ(RangeOf(v5.tree, *Find(v5.tree, "bV5RedMask")), (Range{54, 4}));
  EXPECT_EQ(RangeOf(v5.tree, *Find(v5.tree, "bV5Endpoints")), (Range{74, 36}));
  EXPECT_EQ(RangeOf(v5.tree, *Find(v5.tree, "bV5Reserved")), (Range{134, 4}));
  EXPECT_EQ(ValueOf(v5.tree, *Find(v5.tree, "bV5CSType")), "0x00000000(0) LCS_CALIBRATED_RGB");
}

TEST(Bmp, Os2CoreHeaderHasTripletPalette) {
  Bytes b;
  b.Text("BM").LE32(26 + 6 + 8).LE32(0).LE32(32);
  b.LE32(12).LE16(2).LE16(2).LE16(1).LE16(1);
  b.U8(0).U8(0).U8(0).U8(255).U8(255).U8(255);
  b.Zeros(8);
  auto a = AnalyseBytes(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "bmciColors[1]")), (Range{29, 3}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Image Data")), (Range{32, 8}));
}

// Every corpus bitmap is analysed into a valid stream or refused with one of the plug-in's messages.
TEST(Bmp, CorpusFilesAreAnalysedOrRefusedWithAMessage) {
  auto files = CorpusFiles("bmp");
  if (files.empty()) GTEST_SKIP() << "no corpus at " << CorpusDir();
  const std::vector<std::string> known = {"[HPI_PLUGIN] File read error!", "[HPI_PLUGIN] Wrong file format!",
                                          "[HPI_PLUGIN] Wrong BMP marker. This file is not BMP!"};
  int analysed = 0;
  for (const auto& file : files) {
    auto a = AnalysePath(file);
    if (a.ok) {
      ++analysed;
      EXPECT_EQ(a.readerFault, 0) << file;
      EXPECT_NE(Find(a.tree, "Image Data"), nullptr) << file;
    } else {
      EXPECT_NE(std::find(known.begin(), known.end(), a.error), known.end()) << file << ": " << a.error;
    }
  }
  EXPECT_GT(analysed, static_cast<int>(files.size()) / 2);
}

}  // namespace
