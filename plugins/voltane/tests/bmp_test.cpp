#include <gtest/gtest.h>

#include <algorithm>

#include "bmp_builder.h"
#include "tree_notes.h"

namespace {

using namespace testing_support;
using voltane_test::BmpShape;
using voltane_test::MakeBmp;
using voltane_test::NoteOf;

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

// Sizes and offsets that disagree are noted at the item of what they place;
// the bytes they leave over are ranges of their own.
TEST(Bmp, InconsistentSizesAreNotedWithTheirRanges) {
  auto padded = AnalyseBytes(MakeBmp({.bitCount = 24, .paletteEntries = 0, .sizeAdjust = 2, .pixelBytes = 3074}));
  ASSERT_TRUE(padded.ok) << padded.error;
  EXPECT_EQ(NoteOf(padded.tree, *Find(padded.tree, "Image Data")),
            "bfSize - bfOffBits is 3074; the rows need 3072: 2 bytes follow the pixel rows");
  EXPECT_EQ(RangeOf(padded.tree, *Find(padded.tree, "Image Data")), (Range{54, 3072}));
  EXPECT_EQ(RangeOf(padded.tree, *Find(padded.tree, "Padding")), (Range{3126, 2}));

  auto gap = AnalyseBytes(MakeBmp({.bitCount = 8, .clrUsed = 2, .paletteEntries = 4}));
  ASSERT_TRUE(gap.ok) << gap.error;
  EXPECT_EQ(NoteOf(gap.tree, *Find(gap.tree, "BITMAPINFO")),
            "bfOffBits is 70; the headers and the palette end at 62: 8 bytes before the pixels");
  EXPECT_EQ(RangeOf(gap.tree, *Find(gap.tree, "BITMAPINFO")), (Range{14, 48}));
  EXPECT_EQ(RangeOf(gap.tree, *Find(gap.tree, "Gap")), (Range{62, 8}));
  EXPECT_EQ(Find(gap.tree, "bmiColors[2]"), nullptr);

  // A palette that would run into the pixels is shown as far as it goes.
  auto overlap = AnalyseBytes(MakeBmp({.bitCount = 8, .paletteEntries = 255}));
  ASSERT_TRUE(overlap.ok) << overlap.error;
  EXPECT_EQ(NoteOf(overlap.tree, *Find(overlap.tree, "BITMAPINFO")),
            "bfOffBits is 1074; the headers and a palette of 256 entries need 1078: 255 entries shown");
  EXPECT_NE(Find(overlap.tree, "bmiColors[254]"), nullptr);
  EXPECT_EQ(Find(overlap.tree, "bmiColors[255]"), nullptr);

  // A hostile palette count cannot make the walk read on: only entries before the pixels are read.
  auto hostile = AnalyseBytes(MakeBmp({.bitCount = 8, .clrUsed = 0x10000, .paletteEntries = 0}));
  ASSERT_TRUE(hostile.ok) << hostile.error;
  EXPECT_EQ(NoteOf(hostile.tree, *Find(hostile.tree, "biClrUsed")), "more than 65535 colours; taken as 0");
  EXPECT_EQ(Find(hostile.tree, "bmiColors[0]"), nullptr);
}

// Pixel data that the file cuts short is shown as far as it goes, with the
// file's real size in the note and the report.
TEST(Bmp, ImageDataIsClippedToTheFile) {
  auto bytes = MakeBmp({});
  bytes.resize(100);
  auto a = AnalyseBytes(bytes, "short.bmp");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "bfSize")), "");
  const auto* image = Find(a.tree, "Image Data");
  EXPECT_EQ(RangeOf(a.tree, *image), (Range{62, 38}));
  EXPECT_EQ(NoteOf(a.tree, *image), "128 bytes stated; the file ends after 38: 90 bytes missing");
  EXPECT_NE(a.report.find("File size\t: 100 bytes (bfSize says 190)\r\n"), std::string::npos) << a.report;
  // Pixels past the end of the file: an empty item at the end, with the note.
  auto far = MakeBmp({});
  far[10] = 0xF0;
  auto b = AnalyseBytes(far);
  ASSERT_TRUE(b.ok) << b.error;
  EXPECT_EQ(RangeOf(b.tree, *Find(b.tree, "Gap")), (Range{62, 128}));
  EXPECT_EQ(RangeOf(b.tree, *Find(b.tree, "Image Data")), (Range{190, 0}));
  EXPECT_EQ(NoteOf(b.tree, *Find(b.tree, "Image Data")), "128 bytes stated at 240; the file ends at 190");
  // A bfSize that ends before the rows do.
  auto c = AnalyseBytes(MakeBmp({.sizeAdjust = -8}));
  EXPECT_EQ(NoteOf(c.tree, *Find(c.tree, "Image Data")),
            "bfSize - bfOffBits is 120; the rows need 128: bfSize ends 8 bytes before them");
  // Rows of a negative width have no size: the walk stops there.
  EXPECT_EQ(AnalyseBytes(MakeBmp({.width = -32})).error, "[HPI_PLUGIN] Wrong file format!");
}

TEST(Bmp, ShortFilesAndWrongMarkers) {
  EXPECT_EQ(AnalyseBytes(Bytes().Text("BM").Zeros(8)).error, "[HPI_PLUGIN] File read error!");
  EXPECT_EQ(AnalyseBytes(Bytes().Text("BM").Zeros(20)).error, "[HPI_PLUGIN] File read error!");
  EXPECT_EQ(AnalyseBytes(Bytes()).error, "[HPI_PLUGIN] File read error!") << "empty file";
  EXPECT_EQ(AnalyseBytes(Bytes().Text("XYZXYZXYZ")).error, "[HPI_PLUGIN] Wrong file format!");
  EXPECT_EQ(AnalyseBytes(Bytes().Text("BM")).error, "[HPI_PLUGIN] Wrong file format!") << "fewer than 6 bytes";
  EXPECT_EQ(AnalyseBytes(Bytes().Text("BM").Zeros(8), "a.bmp", 0).error, "[HPI_PLUGIN] ファイルリードエラー");
}

// The colour masks after a 40-byte header are the first bmiColors entries,
// decoded into shift and width; a palette may follow them.
TEST(Bmp, BitFieldMasksAreDecoded) {
  auto bytes = MakeBmp({.bitCount = 16, .compression = 3, .paletteEntries = 3});
  Bytes masks;
  masks.LE32(0xF800).LE32(0x07E0).LE32(0x001F);
  std::copy(masks.Vector().begin(), masks.Vector().end(), bytes.begin() + 54);
  auto a = AnalyseBytes(bytes);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "bmiColors[2]")), (Range{62, 4}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "bmiColors[0]")), "0x0000f800(63488) red mask: shift 11, width 5");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "bmiColors[1]")), "0x000007e0(2016) green mask: shift 5, width 6");
  EXPECT_NE(a.report.find("Image type\t: 16 bits/pixel RGB color (bit fields)\r\nImage size"), std::string::npos)
      << a.report;

  auto palette = AnalyseBytes(MakeBmp({.bitCount = 16, .compression = 3, .clrUsed = 2, .paletteEntries = 5}));
  ASSERT_TRUE(palette.ok) << palette.error;
  EXPECT_EQ(ValueOf(palette.tree, *Find(palette.tree, "bmiColors[4]")), "0x000d0c0c(855052) RGBA( 13, 12, 12,  0)");
  EXPECT_NE(palette.report.find("(bit fields)\r\nPallette number\t: 2\r\n"), std::string::npos);

  auto alpha = AnalyseBytes(MakeBmp({.bitCount = 32, .compression = 6, .paletteEntries = 4}));
  ASSERT_TRUE(alpha.ok) << alpha.error;
  EXPECT_EQ(RangeOf(alpha.tree, *Find(alpha.tree, "Image Data")), (Range{70, 4096}));
  EXPECT_NE(alpha.report.find("Image type\t: 32 bits/pixel RGB color (alpha bit fields)\r\n"), std::string::npos);
}

TEST(Bmp, JpegAndPngBitmapsAreReportedAsSuch) {
  auto jpeg = AnalyseBytes(MakeBmp({.bitCount = 0, .compression = 4, .paletteEntries = 0, .pixelBytes = 20}));
  ASSERT_TRUE(jpeg.ok) << jpeg.error;
  EXPECT_EQ(RangeOf(jpeg.tree, *Find(jpeg.tree, "Image Data")), (Range{54, 20}));
  EXPECT_NE(jpeg.report.find("Image type\t: JPEG image\r\n"), std::string::npos) << jpeg.report;
  EXPECT_NE(jpeg.report.find("Compression\t: JPEG compression\r\n"), std::string::npos);
  auto png = AnalyseBytes(MakeBmp({.bitCount = 0, .compression = 5, .paletteEntries = 0, .pixelBytes = 20}));
  EXPECT_NE(png.report.find("Image type\t: PNG image\r\n"), std::string::npos) << png.report;
  EXPECT_NE(png.report.find("Compression\t: PNG compression\r\n"), std::string::npos);
}

// A BITMAPV5HEADER's profile, embedded or linked by a file name, wherever bV5ProfileData points.
TEST(Bmp, IccProfileIsShownWhereTheHeaderPoints) {
  auto withProfile = [](std::uint32_t type, std::string_view profile) {
    auto bytes = MakeBmp({.bitCount = 24, .headerSize = 124, .paletteEntries = 0});
    std::uint32_t at = static_cast<std::uint32_t>(bytes.size()) + 4;  // 4 bytes of padding first
    Bytes fields;
    fields.LE32(type);
    std::copy(fields.Vector().begin(), fields.Vector().end(), bytes.begin() + 14 + 56);
    fields = Bytes().LE32(at - 14).LE32(static_cast<std::uint32_t>(profile.size()));
    std::copy(fields.Vector().begin(), fields.Vector().end(), bytes.begin() + 14 + 112);
    bytes.insert(bytes.end(), 4, 0);
    bytes.insert(bytes.end(), profile.begin(), profile.end());
    return bytes;
  };
  auto embedded = AnalyseBytes(withProfile(0x4D424544, std::string(200, 'p')));
  ASSERT_TRUE(embedded.ok) << embedded.error;
  EXPECT_EQ(ValueOf(embedded.tree, *Find(embedded.tree, "bV5CSType")), "0x4d424544(1296188740) PROFILE_EMBEDDED");
  EXPECT_EQ(RangeOf(embedded.tree, *Find(embedded.tree, "Image Data")), (Range{138, 3072}));
  EXPECT_EQ(RangeOf(embedded.tree, *Find(embedded.tree, "Padding")), (Range{3210, 4}));
  EXPECT_EQ(RangeOf(embedded.tree, *Find(embedded.tree, "ICC Profile")), (Range{3214, 200}));

  auto far = withProfile(0x4D424544, "p");
  far[14 + 114] = 0x10;  // bV5ProfileData 1 MiB on
  auto lost = AnalyseBytes(far);
  ASSERT_TRUE(lost.ok) << lost.error;
  EXPECT_EQ(RangeOf(lost.tree, *Find(lost.tree, "ICC Profile")), (Range{3215, 0}));
  EXPECT_EQ(NoteOf(lost.tree, *Find(lost.tree, "ICC Profile")), "1 bytes stated at 1051790; the file ends at 3215");

  auto linked = AnalyseBytes(withProfile(0x4C494E4B, std::string("C:\\sRGB.icc\0", 12)));
  ASSERT_TRUE(linked.ok) << linked.error;
  const auto* profile = Find(linked.tree, "ICC Profile");
  EXPECT_EQ(RangeOf(linked.tree, *profile), (Range{3214, 12}));
  EXPECT_EQ(ValueOf(linked.tree, *profile), "C:\\sRGB.icc linked profile file");
}

// An OS/2 2.x header may stop after its first 16 bytes; the palette follows it.
TEST(Bmp, ShortOs2InfoHeaderIsReadAsFarAsItGoes) {
  Bytes b;
  b.Text("BM").LE32(14 + 16 + 8 + 128).LE32(0).LE32(14 + 16 + 8);
  b.LE32(16).LE32(32).LE32(32).LE16(1).LE16(1);
  b.LE32(0).LE32(0x00FFFFFF).Zeros(128);
  auto a = AnalyseBytes(b);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "bmiHeader")), (Range{14, 16}));
  EXPECT_EQ(Find(a.tree, "biCompression"), nullptr);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "bmiColors[1]")), (Range{34, 4}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Image Data")), (Range{38, 128}));
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

// An RLE bitmap whose pixel data is the given codes.
std::vector<std::uint8_t> RleBitmap(const std::vector<std::uint8_t>& codes, std::uint32_t compression = 1) {
  auto bytes = MakeBmp({.width = 4,
                        .height = 2,
                        .bitCount = static_cast<std::uint16_t>(compression == 1 ? 8 : 4),
                        .compression = compression,
                        .paletteEntries = compression == 1 ? 256u : 16u,
                        .sizeImage = static_cast<std::uint32_t>(codes.size()),
                        .pixelBytes = static_cast<std::uint32_t>(codes.size())});
  std::copy(codes.begin(), codes.end(), bytes.end() - static_cast<std::ptrdiff_t>(codes.size()));
  return bytes;
}

TEST(Bmp, RleCodesAreWalked) {
  auto a = AnalyseBytes(RleBitmap({3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 0, 0, 1}));
  ASSERT_TRUE(a.ok) << a.error;
  const auto* image = Find(a.tree, "Image Data");
  EXPECT_EQ(ChildTexts(a.tree, *image),
            (std::vector<std::string>{"0x00000436", "0x00000010(16)", "Encoded Run", "Absolute Run", "End of Line",
                                      "Delta", "End of Bitmap"}));
  // A code's comment stands beside its size.
  EXPECT_EQ(ChildTexts(a.tree, *Find(a.tree, "Encoded Run"))[1], "0x00000002(2) 3 pixels of index 7");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Absolute Run")), (Range{1080, 6}));  // 3 pixels and a pad byte
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Delta")), (Range{1088, 4}));
  EXPECT_EQ(ChildTexts(a.tree, *Find(a.tree, "Delta"))[1], "0x00000004(4) right 1, down 0");
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "Absolute Run")), "runs past the end of the row (4 pixels)");

  auto rle4 = AnalyseBytes(RleBitmap({4, 0x12, 0, 3, 0x45, 0x60, 0, 1}, 2));
  ASSERT_TRUE(rle4.ok) << rle4.error;
  EXPECT_EQ(ChildTexts(rle4.tree, *Find(rle4.tree, "Encoded Run"))[1], "0x00000002(2) 4 pixels of indexes 1 and 2");
  EXPECT_EQ(RangeOf(rle4.tree, *Find(rle4.tree, "Absolute Run")), (Range{14 + 40 + 64 + 2, 4}));

  // Data that ends inside a code is noted; the walk stops there.
  auto cut = AnalyseBytes(RleBitmap({0, 5, 1, 2}));
  ASSERT_TRUE(cut.ok) << cut.error;
  EXPECT_EQ(NoteOf(cut.tree, *Find(cut.tree, "Absolute Run")), "the pixel data ends after 4 of its 8 bytes");
}

// A hostile bitmap of many codes makes a bounded number of items.
TEST(Bmp, RleWalkIsBounded) {
  std::vector<std::uint8_t> codes(2 * 10000, 1);
  auto a = AnalyseBytes(RleBitmap(codes));
  ASSERT_TRUE(a.ok) << a.error;
  const auto* image = Find(a.tree, "Image Data");
  EXPECT_EQ(image->children.size(), 2u + 4096 + 1);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "More Codes")), (Range{1078 + 2 * 4096, 2 * (10000 - 4096)}));
}

// Header values no bitmap can have are noted at their field.
TEST(Bmp, ImpossibleHeaderValuesAreNoted) {
  auto bytes = MakeBmp({.bitCount = 1, .clrUsed = 3, .paletteEntries = 3});
  bytes[26] = 2;  // biPlanes
  auto a = AnalyseBytes(bytes);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "biPlanes")), "biPlanes must be 1");
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "biClrUsed")), "more colours than 1 bits per pixel can index");
  auto odd = AnalyseBytes(MakeBmp({.bitCount = 3, .paletteEntries = 0}));
  EXPECT_EQ(NoteOf(odd.tree, *Find(odd.tree, "biBitCount")), "no bitmap has 3 bits per pixel");
  auto rle = RleBitmap({0, 1});
  std::fill_n(rle.begin() + 22, 4, 0xFF);  // biHeight -1
  auto topDown = AnalyseBytes(rle);
  EXPECT_EQ(NoteOf(topDown.tree, *Find(topDown.tree, "biHeight")), "an RLE bitmap is stored bottom-up only");
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
