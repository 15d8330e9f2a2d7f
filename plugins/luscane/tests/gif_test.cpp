#include <gtest/gtest.h>

#include "gif_builder.h"

namespace {

using namespace testing_support;
using namespace luscane_test;

const strataview::Item& Nth(const strataview::ItemTree& tree, std::string_view text, int n) {
  for (const strataview::Item& item : tree.Items()) {
    if (item.text == text && n-- == 0) return item;
  }
  ADD_FAILURE() << "no " << text;
  return tree.Items().front();
}

std::vector<std::string> TopTexts(const strataview::ItemTree& tree) {
  return ChildTexts(tree, tree.At(tree.TopLevel()[0]));
}

TEST(Gif, AnimatedFileShowsEveryBlockAsAFlatList) {
  Bytes b = Screen();
  Application(b, "NETSCAPE", "2.0").U8(3).U8(1).LE16(0).U8(0);
  GraphicControl(b, 25);
  Image(b, 4, 0x80);
  b.U8(0x3B);
  auto a = AnalyseBytes(b, "luscane-anim.gif");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(TopTexts(a.tree),
            (std::vector<std::string>{"GIF Signaure", "GIF Version", "Logical Screen Descriptor", "Global Color Table",
                                      "Application Extension", "Data Sub Block", "Block Terminator",
                                      "Graphic Control Extension", "Data Sub Block", "Block Terminator",
                                      "Image Descriptor", "Local Color Table", "Table Based Image Data",
                                      "Data Sub Block", "Block Terminator", "GIF Trailer"}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "GIF Version")), "89a");
  EXPECT_EQ(
      ChildTexts(a.tree, *Find(a.tree, "Packed Fields")),
      (std::vector<std::string>{"0x0000000a", "0x00000001(1)", "0x01(1) Global Color Table Flag",
                                "0x07(7) Color Resolution", "0x01(1) Sort Flag", "0x00(0) Global Color Table Size"}));
  EXPECT_NE(Find(a.tree, "Pixel Aspect Ratio"), nullptr);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Global Color Table")), (Range{13, 6}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Blue[1]")), (Range{18, 1}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Application Identifier")), "NETSCAPE");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "NetScape Extension Code")), "0x01(1)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Loop Count")), (Range{35, 2}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Graphic Control Extension")), (Range{38, 2}));
  EXPECT_EQ(RangeOf(a.tree, Nth(a.tree, "Data Sub Block", 1)), (Range{40, 5}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Delay Time")), "0x0019(25)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Image Descriptor")), (Range{46, 10}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Local Color Table")), (Range{56, 6}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Table Based Image Data")), (Range{62, 1}));
  EXPECT_EQ(RangeOf(a.tree, Nth(a.tree, "Data Sub Block", 2)), (Range{63, 5}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Image Data")), (Range{64, 4}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "GIF Trailer")), (Range{69, 1}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "GIF Trailer")), "0x3b(59)");
  EXPECT_TRUE(a.report.empty());
}

TEST(Gif, Version87aNamesReservedBitsAndNotesExtensions) {
  Bytes plain = Screen("87a");
  Image(plain).U8(0x3B);
  auto a = AnalyseBytes(plain, "luscane-test.gif");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(Find(a.tree, "Pixel Aspect Ratio"), nullptr);
  EXPECT_EQ(a.tree.At(Find(a.tree, "Packed Fields")->children[4]).text, "0x01(1) Reserved");
  EXPECT_EQ(a.tree.At(Nth(a.tree, "Packed Fields", 1).children[4]).text, "0x00(0) Reserved");

  // Decoders read extensions in 87a files too: the first one carries a note on the version.
  Bytes extended = Screen("87a");
  GraphicControl(extended);
  extended.U8(0x21).U8(0xFE).U8(2).Text("hi").U8(0);
  Image(extended).U8(0x3B);
  auto e = AnalyseBytes(extended, "luscane-test.gif");
  ASSERT_TRUE(e.ok) << e.error;
  const auto* note = Find(e.tree, "the GIF Version is 87a; extension blocks came with 89a");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(e.tree.At(e.tree.At(note->parent).parent).text, "Graphic Control Extension");
  EXPECT_EQ(RangeOf(e.tree, *Find(e.tree, "Comment Data")), (Range{30, 2}));
  int notes = 0;
  for (const auto& item : e.tree.Items()) notes += item.text.starts_with("the GIF Version is 87a");
  EXPECT_EQ(notes, 1);
}

TEST(Gif, SignatureAndVersionAreChecked) {
  EXPECT_EQ(AnalyseBytes(Screen("89A"), "luscane-test.gif").error, "[HPI_PLUGIN] Wrong GIF version!");
  EXPECT_EQ(AnalyseBytes(Screen("8xa"), "luscane-test.gif").error, "[HPI_PLUGIN] Wrong GIF version!");
  EXPECT_EQ(AnalyseBytes(Bytes().Text("GIT89a").Zeros(7), "luscane-test.gif").error,
            "[HPI_PLUGIN] Wrong GIF signature. This file is not GIF!");
  EXPECT_EQ(AnalyseBytes(Bytes().Text("GIF8"), "luscane-test.gif").error, "[HPI_PLUGIN] Wrong file format!");
  EXPECT_EQ(Supports(Bytes().Text("GIF")), 1);
  EXPECT_EQ(Supports(Bytes().Text("GIT")), 0);
}

TEST(Gif, FullGlobalTableHas768Fields) {
  Bytes b = Screen("89a", true, 7);
  b.U8(0x3B);
  auto a = AnalyseBytes(b, "luscane-test.gif");
  ASSERT_TRUE(a.ok) << a.error;
  const auto* table = Find(a.tree, "Global Color Table");
  EXPECT_EQ(RangeOf(a.tree, *table), (Range{13, 768}));
  EXPECT_EQ(table->children.size(), 2u + 768);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Blue[255]")), (Range{13 + 767, 1}));
}

TEST(Gif, ApplicationSubBlocks) {
  Bytes b = Screen();
  Application(b, "ANIMEXTS", "1.0").U8(5).U8(2).LE32(70000).U8(0);
  Application(b, "NETSCAPE", "2.0").U8(4).Zeros(4).U8(0);
  Application(b, "XMP Data", "XMP").U8(2).Zeros(2).U8(0);
  b.U8(0x3B);
  auto a = AnalyseBytes(b, "luscane-test.gif");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "NetScape Extension Code")), "0x02(2)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Buffering Size")), "0x00011170(70000)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Buffering Size")), (Range{13 + 6 + 14 + 2, 4}));
  EXPECT_EQ(RangeOf(a.tree, Nth(a.tree, "Application Data", 0)), (Range{13 + 6 + 21 + 15, 4}));
  EXPECT_EQ(RangeOf(a.tree, Nth(a.tree, "Application Data", 1)), (Range{13 + 6 + 21 + 20 + 15, 2}));
}

TEST(Gif, PlainTextAndCommentCarryTheirText) {
  Bytes b = Screen();
  b.U8(0x21).U8(0x01).U8(12).LE16(1).LE16(2).LE16(40).LE16(8).U8(8).U8(8).U8(1).U8(0);
  b.U8(5).Text("Hello").U8(0);
  b.U8(0x21).U8(0xFE).U8(3).Text("abc").U8(0);
  b.U8(0x3B);
  auto a = AnalyseBytes(b, "luscane-test.gif");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Plain Text Extension")), (Range{19, 15}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Text Grid Width")), "0x0028(40)");
  EXPECT_EQ(RangeOf(a.tree, Nth(a.tree, "Data Sub Block", 0)), (Range{34, 6}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Plain Text Data")), "Hello");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Comment Extension")), (Range{41, 2}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Comment Data")), "abc");
}

TEST(Gif, MalformedBlocksNameTheirFault) {
  auto withBlock = [](auto add) {
    Bytes b = Screen();
    add(b);
    b.U8(0x3B);
    return AnalyseBytes(b, "luscane-test.gif").error;
  };
  EXPECT_EQ(withBlock([](Bytes& b) { GraphicControl(b, 1, 5); }),
            "[HPI_PLUGIN] Wrong Graphic Control Extension block!");
  EXPECT_EQ(withBlock([](Bytes& b) { GraphicControl(b, 1, 4, 7); }),
            "[HPI_PLUGIN] Wrong Graphic Control Extension block!");
  EXPECT_EQ(withBlock([](Bytes& b) { b.U8(0x21).U8(0x01).U8(11).Zeros(12); }),
            "[HPI_PLUGIN] Wrong Plain Text Extension block!");
  EXPECT_EQ(withBlock([](Bytes& b) { b.U8(0x21).U8(0xFF).U8(10).Zeros(12); }),
            "[HPI_PLUGIN] Wrong Application Extension block!");
  EXPECT_EQ(withBlock([](Bytes& b) { b.U8(0x21).U8(0x02).U8(0); }), "[HPI_PLUGIN] Wrong file format!");
  EXPECT_EQ(withBlock([](Bytes& b) { b.U8(0x00); }), "[HPI_PLUGIN] Wrong file format!");
}

// A file cut short, or without its trailer, is not analysed to the end: it fails.
TEST(Gif, TruncatedFilesFail) {
  Bytes cut = Screen();
  GraphicControl(cut);
  cut.U8(0x2C).LE16(0).LE16(0).LE16(4).LE16(4).U8(0).U8(2).U8(200).Zeros(50);
  EXPECT_EQ(AnalyseBytes(cut, "luscane-test.gif").error, "[HPI_PLUGIN] Wrong file format!");
  Bytes noTrailer = Screen();
  Image(noTrailer);
  EXPECT_EQ(AnalyseBytes(noTrailer, "luscane-test.gif").error, "[HPI_PLUGIN] Wrong file format!");
  Bytes inDescriptor = Screen();
  GraphicControl(inDescriptor).U8(0x2C).LE16(0).LE16(0);
  EXPECT_EQ(AnalyseBytes(inDescriptor, "luscane-test.gif").error, "[HPI_PLUGIN] Wrong file format!");
}

// An XMP packet is raw bytes up to its 257-byte magic trailer; an ICC profile
// comes in ordinary sub-blocks.
TEST(Gif, XmpAndIccApplicationExtensions) {
  auto trailer = [](Bytes& b) -> Bytes& {
    b.U8(1);
    for (int i = 255; i >= 0; --i) b.U8(static_cast<std::uint32_t>(i));
    return b.U8(0);
  };
  Bytes b = Screen();
  Application(b, "XMP Data", "XMP").Text("<x:xmpmeta>\x01\xff</x:xmpmeta>");
  trailer(b);
  Application(b, "ICCRGBG1", "012").U8(3).Text("icc").U8(0);
  b.U8(0x3B);
  auto a = AnalyseBytes(b, "luscane-test.gif");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "XMP Packet")), (Range{33, 25}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "XMP Magic Trailer")), (Range{58, 257}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Block Terminator")), (Range{315, 1}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "ICC Profile Data")), (Range{331, 3}));
  EXPECT_EQ(Find(a.tree, "Application Data"), nullptr);

  // Without its trailer the packet is read as sub-blocks, and the file ends inside one.
  Bytes cut = Screen();
  Application(cut, "XMP Data", "XMP").Text("<x:xmpmeta/>").U8(0x3B);
  EXPECT_EQ(AnalyseBytes(cut, "luscane-test.gif").error, "[HPI_PLUGIN] Wrong file format!");
}

TEST(Gif, ImagesBeyondTheLogicalScreenAreNoted) {
  Bytes b = Screen();  // 16 x 8
  b.U8(0x2C).LE16(10).LE16(0).LE16(7).LE16(8).U8(0).U8(2).U8(0);
  b.U8(0x3B);
  auto a = AnalyseBytes(b, "luscane-test.gif");
  ASSERT_TRUE(a.ok) << a.error;
  const auto* note = Find(a.tree, "the image runs past the logical screen (16 x 8)");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(a.tree.At(a.tree.At(note->parent).parent).text, "Image Height");
  Bytes inside = Screen();
  Image(inside).U8(0x3B);
  EXPECT_EQ(Find(AnalyseBytes(inside, "luscane-test.gif").tree, "the image runs", true), nullptr);
}

TEST(Gif, BytesAfterTheTrailerAreShown) {
  Bytes b = Screen();
  b.U8(0x3B).Zeros(47);
  auto a = AnalyseBytes(b, "luscane-test.gif");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Trailing Data")), (Range{20, 47}));
}

}  // namespace
