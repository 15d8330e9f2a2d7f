#include <gtest/gtest.h>

#include "icon_builder.h"
#include "tree_notes.h"

namespace {

using namespace testing_support;
using voltane_test::IconImage;
using voltane_test::MakeIcon;
using voltane_test::NoteOf;

std::vector<std::string> TopTexts(const strataview::ItemTree& tree) {
  std::vector<std::string> texts;
  for (auto h : tree.At(tree.TopLevel()[0]).children) {
    if (tree.At(h).image == strataview::kImageFolder) texts.emplace_back(tree.At(h).text);
  }
  return texts;
}

const std::string kWrongFormat = "[HPI_PLUGIN] Wrong file format!";

TEST(Icon, SixteenColourIconShowsHeaderPaletteAndMasks) {
  auto a = AnalyseBytes(MakeIcon({{}}), "voltane-a.ico");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "ICONDIR")), (Range{0, 22}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "idType")), "0x0001(1) icon");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "ICONDIRENTRY[0]")), (Range{6, 16}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "dwBytesInRes")), "0x000002e8(744)");
  EXPECT_NE(Find(a.tree, "wBitCount"), nullptr);
  const auto* image = Find(a.tree, "ICONIMAGE[0]");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(RangeOf(a.tree, *image), (Range{22, 744}));
  EXPECT_EQ(ChildTexts(a.tree, *image),
            (std::vector<std::string>{"0x00000016", "0x000002e8(744)", "BITMAPINFOHEADER", "PALETTE ENTRY",
                                      "icXOR(DIB image for XOR mask)", "icAND(DIB image for AND mask)"}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "PALETTE ENTRY")), (Range{62, 64}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "RGBQUAD[15]")), (Range{122, 4}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "icXOR(DIB image for XOR mask)")), (Range{126, 512}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "icAND(DIB image for AND mask)")), (Range{638, 128}));
  EXPECT_NE(a.report.find("File type\t: Windows ICON format file\r\nIcon number\t: 1\r\n\t\tIcon[0]\r\n"
                          "Image type\t: 4 bits/pixel paletted color\r\nPallette number\t: 16\r\n"
                          "Image size \t: 32 × 32\r\nCompression\t: No compression\r\n"),
            std::string::npos)
      << a.report;
  EXPECT_NE(a.report.find("File size\t: 766 bytes\r\n"), std::string::npos);
}

// The image's own header decides its sizes; where the directory disagrees, a note says so.
TEST(Icon, EntriesThatDisagreeWithTheirImageAreNoted) {
  auto sized = AnalyseBytes(MakeIcon({{.bytesAdjust = 1}}), "voltane-test.ico");
  ASSERT_TRUE(sized.ok) << sized.error;
  EXPECT_EQ(NoteOf(sized.tree, *Find(sized.tree, "ICONIMAGE[0]")),
            "dwBytesInRes is 745; header, palette and masks take 744 bytes");
  EXPECT_EQ(RangeOf(sized.tree, *Find(sized.tree, "ICONIMAGE[0]")), (Range{22, 744}));

  auto mismatch = MakeIcon({{}});
  mismatch.Vector()[6] = 16;  // bWidth disagrees with biWidth
  auto m = AnalyseBytes(mismatch, "voltane-test.ico");
  ASSERT_TRUE(m.ok) << m.error;
  EXPECT_EQ(NoteOf(m.tree, *Find(m.tree, "ICONIMAGE[0]")),
            "the entry says 16 x 32; the header says 32 x 32 (biHeight 64)");
  EXPECT_EQ(RangeOf(m.tree, *Find(m.tree, "icAND(DIB image for AND mask)")), (Range{638, 128}));
}

// Padding before an image and after the last one are ranges of their own; the
// support test finds the first image where its entry points.
TEST(Icon, GapsBetweenImagesAreShown) {
  auto icon = MakeIcon({{}, {}});
  auto& v = icon.Vector();
  v.insert(v.begin() + 38, 10, 0);
  v[6 + 12] += 10;
  v[6 + 16 + 12] += 10 + 6;
  v.insert(v.begin() + 38 + 10 + 744, 6, 0);
  v.insert(v.end(), 3, 0);
  EXPECT_EQ(Supports(icon), 1);
  auto a = AnalyseBytes(icon, "voltane-test.ico");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(TopTexts(a.tree),
            (std::vector<std::string>{"ICONDIR", "Gap", "ICONIMAGE[0]", "Gap", "ICONIMAGE[1]", "Padding"}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Gap")), (Range{38, 10}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "ICONIMAGE[1]")), (Range{798, 744}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Padding")), (Range{1542, 3}));
}

TEST(Icon, OverlappingOrMissingImagesAreFormatErrors) {
  auto overlapping = MakeIcon({{}, {}});
  overlapping.Vector()[6 + 16 + 12] -= 8;  // the second image starts inside the first
  EXPECT_EQ(AnalyseBytes(overlapping, "voltane-test.ico").error, kWrongFormat);
  auto pastTheEnd = MakeIcon({{}, {}});
  pastTheEnd.Vector()[6 + 16 + 15] = 1;  // the second image 16 MiB on
  EXPECT_EQ(AnalyseBytes(pastTheEnd, "voltane-test.ico").error, kWrongFormat);
}

// Entry bytes that locate nothing are noted; the image header is what the
// support test looks for.
TEST(Icon, ImplausibleEntryBytesAreNoted) {
  auto icon = MakeIcon({{}});
  icon.Vector()[6 + 2] = 5;
  icon.Vector()[6 + 3] = 1;
  EXPECT_EQ(Supports(icon), 1);
  auto a = AnalyseBytes(icon, "voltane-test.ico");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "bColorCount")), "not 0, 2, 8 or 16");
  EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, "bReserved")), "bReserved must be 0");
}

TEST(Icon, TruncatedFilesAreRefused) {
  auto icon = MakeIcon({{}});
  icon.Vector().resize(600);  // inside the XOR mask
  EXPECT_EQ(AnalyseBytes(icon, "voltane-test.ico").error, kWrongFormat);
  icon.Vector().resize(100);  // inside the palette
  EXPECT_EQ(AnalyseBytes(icon, "voltane-test.ico").error, kWrongFormat);
  icon.Vector().resize(15);  // inside the directory
  EXPECT_EQ(AnalyseBytes(icon, "voltane-test.ico").error, "[HPI_PLUGIN] File read error!");
  auto hostile = Bytes().LE16(0).LE16(1).LE16(0xFFFF).Zeros(10);
  EXPECT_EQ(AnalyseBytes(hostile, "voltane-test.ico").error, "[HPI_PLUGIN] File read error!");
}

// A failed image does not hide the ones after it from the walk, but fails the analysis.
TEST(Icon, FailedImageFailsTheWholeAnalysis) {
  auto icon = MakeIcon({{}, {}});
  icon.Vector()[38] = 41;  // the first image's biSize
  EXPECT_EQ(AnalyseBytes(icon, "voltane-test.ico").error, kWrongFormat);
}

TEST(Icon, ModernIconsWith256PixelAndPngImages) {
  auto a = AnalyseBytes(MakeIcon({{.size = 256, .png = true}, {.size = 256, .bitCount = 32}, {.size = 16}}),
                        "voltane-test.ico");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "bWidth")), "0x00(0) 256");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "PNG image data[0]")), (Range{54, 60}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "ICONIMAGE[1]")), (Range{114, 40 + 262144 + 8192}));
  EXPECT_EQ(Find(a.tree, "ICONIMAGE[0]"), nullptr);
  EXPECT_NE(a.report.find("\t\tIcon[0]\r\nImage type\t: PNG image\r\nImage size \t: 256 × 256\r\n"
                          "Compression\t: PNG compression\r\n\t\tIcon[1]\r\nImage type\t: 32 bits/pixel RGB color\r\n"
                          "Image size \t: 256 × 256\r\n"),
            std::string::npos)
      << a.report;
}

TEST(Icon, CursorsShowHotspots) {
  auto a = AnalyseBytes(MakeIcon({{.bitCount = 1, .hotspotX = 7, .hotspotY = 9}}, 2), "voltane-a.cur");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "CURSORDIR")), (Range{0, 22}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "idType")), "0x0002(2) cursols");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "wXHotspot")), "0x0007(7)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "wYHotspot")), "0x0009(9)");
  EXPECT_NE(Find(a.tree, "CURSORDIRENTRY[0]"), nullptr);
  EXPECT_NE(a.report.find("Windows CURSOR format file\r\nCursor number\t: 1\r\n\t\tCursor[0]\r\n"), std::string::npos);
  EXPECT_NE(a.report.find("Compression\t: No compression\r\nHotspot X\t\t: 7\r\nHotspot Y\t\t: 9\r\n"),
            std::string::npos);
}

TEST(Icon, EmptyDirectoryIsAnIconWithoutImages) {
  auto a = AnalyseBytes(Bytes().LE16(0).LE16(1).LE16(0), "voltane-test.ico");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ChildTexts(a.tree, *Find(a.tree, "ICONDIR")),
            (std::vector<std::string>{"0x00000000", "0x00000006(6)", "idReserved", "idType", "idCount"}));
  EXPECT_TRUE(a.report.ends_with("Icon number\t: 0\r\n"));
}

TEST(Icon, ReportHoldsEveryImageOfALargeIcon) {
  auto a = AnalyseBytes(MakeIcon(std::vector<IconImage>(200, IconImage{.size = 16})), "voltane-test.ico");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_NE(Find(a.tree, "ICONIMAGE[199]"), nullptr);
  EXPECT_TRUE(
      a.report.ends_with("\t\tIcon[199]\r\nImage type\t: 4 bits/pixel paletted color\r\nPallette number\t: "
                         "16\r\nImage size \t: 16 × 16\r\nCompression\t: No compression\r\n"));
}

}  // namespace
