#include <gtest/gtest.h>

#include "png_builder.h"

namespace {

using namespace testing_support;
using pendrix_test::ChunkFile;
using pendrix_test::Kind;
using pendrix_test::Wrong;

constexpr const char* kFormatError = "[HPI_PLUGIN] Wrong file format!";

TEST(Png, SmallestFileShowsSignatureHeaderAndEnd) {
  auto a = AnalyseBytes(ChunkFile().Ihdr(2).End(), "tiny.png");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "PNG signaure")), (Range{0, 8}));
  const auto* ihdr = Find(a.tree, "IHDR Chunk");
  ASSERT_NE(ihdr, nullptr);
  EXPECT_EQ(RangeOf(a.tree, *ihdr), (Range{12, 4}));
  EXPECT_EQ(ValueOf(a.tree, *ihdr), "0x49484452(1229472850)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Chunk data size")), (Range{8, 4}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Color type")), "0x02(2) RGB");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Compression method")), "0x00(0) deflate/inflate compression");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Interlace method")), "0x00(0) NO INTERLACING");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "CRC")), (Range{29, 4}));
  const auto* iend = Find(a.tree, "IEND Chunk");
  ASSERT_NE(iend, nullptr);
  auto fields = ChildTexts(a.tree, *iend);
  EXPECT_EQ(std::count(fields.begin(), fields.end(), "Data"), 0) << "an empty chunk has no Data";
  EXPECT_EQ(fields.back(), "CRC");
}

TEST(Png, EndOfFileAndTrailingBytes) {
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(2)).error, kFormatError) << "no IEND";
  ChunkFile trailing;
  trailing.Ihdr(2).End().Raw().Text("junk after the end");
  EXPECT_TRUE(AnalyseBytes(trailing).ok) << "bytes after IEND are not read";
  ChunkFile cut;
  cut.Ihdr(2).Raw().BE32(20).Text("IDAT").Zeros(10);
  EXPECT_EQ(AnalyseBytes(cut).error, kFormatError) << "data cut short";
  ChunkFile noCrc;
  noCrc.Ihdr(2).Raw().BE32(2).Text("IDAT").Zeros(4);
  EXPECT_EQ(AnalyseBytes(noCrc).error, kFormatError) << "CRC cut short";
}

// A hostile length must neither be read nor allocated: the walk fails at once.
TEST(Png, LengthBeyondTheFileIsAFormatError) {
  for (std::uint32_t length : {0x7FFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFF8u}) {
    for (const char* type : {"IDAT", "tEXt", "sPLT", "PLTE", "hIST"}) {
      ChunkFile f;
      f.Ihdr(3).Raw().BE32(length).Text(type).Zeros(16);
      auto a = AnalyseBytes(f);
      EXPECT_FALSE(a.ok) << type;
      EXPECT_EQ(a.error, kFormatError) << type << " " << length;
    }
  }
}

TEST(Png, SignatureAndSupport) {
  Bytes bad;
  bad.U8(0x89).Text("PNG").U8(0x0A).U8(0x1A).U8(0x0A).Zeros(30);
  EXPECT_EQ(AnalyseBytes(bad).error, "[HPI_PLUGIN] Wrong file signature!");
  EXPECT_EQ(AnalyseBytes(Bytes().Text("abc")).error, "[HPI_PLUGIN] File read error!");
  EXPECT_EQ(AnalyseBytes(bad, "bad.png", 0).error,
            "[HPI_PLUGIN] 不正なファイルシグネチャーです。\nPNG/MNG/JNGのいずれのファイルでもありません。");
  EXPECT_EQ(Supports(ChunkFile(Kind::Png)), 1);
  EXPECT_EQ(Supports(ChunkFile(Kind::Mng)), 1);
  EXPECT_EQ(Supports(ChunkFile(Kind::Jng)), 1);
  EXPECT_EQ(Supports(bad), 0);
}

TEST(Png, WrongLengthsFailWithTheChunksCode) {
  ChunkFile longHeader;
  longHeader.Add("IHDR", Bytes().Zeros(14)).End();
  EXPECT_EQ(AnalyseBytes(longHeader).error, Wrong("IHDR"));
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(3).Add("PLTE", Bytes().Zeros(770)).End()).error, Wrong("PLTE"));
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(6).Add("sBIT", Bytes().Zeros(3)).End()).error, Wrong("sBIT"));
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(2).Add("hIST", Bytes().Zeros(3)).End()).error, Wrong("hIST"));
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(2).Add("tIME", Bytes().Zeros(8)).End()).error, Wrong("tIME"));
  Bytes longKeyword;
  longKeyword.Text(std::string(80, 'k')).U8(0).Text("text");
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(2).Add("tEXt", longKeyword).End()).error, Wrong("tEXt"));
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(2).Add("zTXt", Bytes().Text("k").U8(0)).End()).error, Wrong("zTXt"));
  // A Japanese message names the chunk too.
  EXPECT_EQ(AnalyseBytes(longHeader, "h.png", 0).error, "[HPI_PLUGIN] IHDRチャンクが不正です");
}

TEST(Png, PaletteTransparencyAndBackgroundFollowTheColourType) {
  Bytes palette;
  for (int i = 0; i < 6; ++i) palette.U8(i);
  auto a = AnalyseBytes(ChunkFile()
                            .Ihdr(3)
                            .Add("PLTE", palette)
                            .Add("tRNS", Bytes().U8(0).U8(255))
                            .Add("bKGD", Bytes().U8(1))
                            .Add("sBIT", Bytes().U8(5).U8(6).U8(5))
                            .End());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Blue[1]")), (Range{8 + 25 + 8 + 5, 1}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Alpha[1]")), "0xff(255)");
  EXPECT_NE(Find(a.tree, "Palette index"), nullptr);
  const auto* bits = Find(a.tree, "Significant bits");
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(ChildTexts(a.tree, *bits).size(), 2u + 3u);

  auto gray = AnalyseBytes(ChunkFile().Ihdr(0).Add("tRNS", Bytes().BE16(7)).Add("bKGD", Bytes().BE16(9)).End());
  ASSERT_TRUE(gray.ok) << gray.error;
  EXPECT_EQ(ValueOf(gray.tree, *Find(gray.tree, "Gray")), "0x0007(7)");
  // Before any IHDR the palette type applies.
  EXPECT_TRUE(AnalyseBytes(ChunkFile().Add("bKGD", Bytes().U8(0)).Ihdr(3).End()).ok);
}

TEST(Png, TextChunks) {
  Bytes text;
  text.Text("Comment").U8(0).Text(std::string(300, 'x'));
  auto a = AnalyseBytes(ChunkFile().Ihdr(2).Add("tEXt", text).Add("IDAT").End());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Keyword")), "Comment");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Keyword")), (Range{41, 7}));
  const auto* body = Find(a.tree, "Text");
  EXPECT_EQ(RangeOf(a.tree, *body), (Range{49, 300}));
  EXPECT_EQ(ValueOf(a.tree, *body), std::string(255, 'x'));
  EXPECT_NE(Find(a.tree, "IDAT Chunk"), nullptr) << "the walk goes on after the text";

  Bytes itxt;
  itxt.Text("Title").U8(0).U8(1).U8(0).Text("ja").U8(0).Text("tt").U8(0).Text("body");
  auto i = AnalyseBytes(ChunkFile().Ihdr(2).Add("iTXt", itxt).End());
  ASSERT_TRUE(i.ok) << i.error;
  EXPECT_EQ(ValueOf(i.tree, *Find(i.tree, "Language tag")), "ja");
  EXPECT_EQ(RangeOf(i.tree, *Find(i.tree, "Translated keyword")), (Range{52, 2}));
  EXPECT_EQ(RangeOf(i.tree, *Find(i.tree, "Text")), (Range{55, 4}));

  // An iTXt whose tag, translated keyword and text are all empty is valid.
  auto empty = AnalyseBytes(ChunkFile().Ihdr(2).Add("iTXt", Bytes().Text("k").U8(0).U8(0).U8(0).U8(0).U8(0)).End());
  ASSERT_TRUE(empty.ok) << empty.error;
  EXPECT_EQ(Find(empty.tree, "Text"), nullptr);
  auto unterminated = ChunkFile().Ihdr(2).Add("iTXt", Bytes().Text("k").U8(0).U8(0).U8(0).Text("en")).End();
  EXPECT_EQ(AnalyseBytes(unterminated).error, Wrong("iTXt"));

  auto z = AnalyseBytes(ChunkFile().Ihdr(2).Add("zTXt", Bytes().Text("k").U8(0).U8(0).Zeros(5)).End());
  ASSERT_TRUE(z.ok) << z.error;
  EXPECT_EQ(RangeOf(z.tree, *Find(z.tree, "Compressed text")), (Range{44, 5}));
}

TEST(Png, SuggestedPalettes) {
  Bytes eight;
  eight.Text("pal").U8(0).U8(8).U8(1).U8(2).U8(3).U8(4).BE16(5);
  auto a = AnalyseBytes(ChunkFile().Ihdr(2).Add("sPLT", eight).End());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Frequency[0]")), "0x0005(5)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Sample depth")), "0x08(8)");
  Bytes sixteen;
  sixteen.Text("pal").U8(0).U8(16).BE16(1).BE16(2).BE16(3).BE16(4).BE16(5);
  auto b = AnalyseBytes(ChunkFile().Ihdr(2).Add("sPLT", sixteen).End());
  ASSERT_TRUE(b.ok) << b.error;
  EXPECT_EQ(RangeOf(b.tree, *Find(b.tree, "Alpha[0]")), (Range{33 + 8 + 5 + 6, 2}));
  EXPECT_EQ(AnalyseBytes(ChunkFile().Ihdr(2).Add("sPLT", Bytes().Text("p").U8(0).U8(8).Zeros(7)).End()).error,
            Wrong("sPLT"));

  // A depth the PNG standard does not know: the entries are one range and the
  // CRC is read after them, not from them.
  Bytes odd;
  odd.Text("pal").U8(0).U8(4).Zeros(7);
  auto c = AnalyseBytes(ChunkFile().Ihdr(2).Add("sPLT", odd).Add("IDAT").End());
  ASSERT_TRUE(c.ok) << c.error;
  EXPECT_EQ(ValueOf(c.tree, *Find(c.tree, "Sample depth")), "0x04(4) Unkown value");
  EXPECT_EQ(RangeOf(c.tree, *Find(c.tree, "Palette entries")), (Range{46, 7}));
  EXPECT_NE(Find(c.tree, "IDAT Chunk"), nullptr);
}

TEST(Png, FixedLayoutChunks) {
  Bytes chrm;
  for (std::uint32_t i = 0; i < 8; ++i) chrm.BE32(1000 * i);
  auto a = AnalyseBytes(ChunkFile()
                            .Ihdr(2, 5)
                            .Add("cHRM", chrm)
                            .Add("gAMA", Bytes().BE32(45455))
                            .Add("sRGB", Bytes().U8(0))
                            .Add("pHYs", Bytes().BE32(2835).BE32(2835).U8(1))
                            .Add("tIME", Bytes().BE16(2026).U8(12).U8(7).U8(12).U8(0).U8(59))
                            .Add("IDAT", Bytes().U8(0x78).U8(0x9C).U8(0))
                            .Add("IDAT", Bytes().U8(0x78).U8(0x9C))
                            .End());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Filter method")), "0x05(5)") << "no remark above 4";
  // The zlib header of the first IDAT only; later ones continue the stream.
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "CMF")), "0x78(120) deflate, 32768-byte window");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "FLG")), "0x9c(156) level default");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Data")), (Range{8 + 25 + 44 + 16 + 13 + 21 + 19 + 8 + 2, 1}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Blue y")), "0x00001b58(7000)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Image gamma")), "0x0000b18f(45455)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Year")), "0x07ea(2026)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Unit specifier")), "0x01(1)");
}

}  // namespace

namespace {

using namespace testing_support;
using pendrix_test::ChunkFile;
using pendrix_test::Kind;

// A chunk out of place is shown with a note beneath its chunk item.
TEST(Png, ChunksOutOfPlaceAreNoted) {
  auto a = AnalyseBytes(ChunkFile()
                            .Add("gAMA", Bytes().BE32(1))
                            .Ihdr(3)
                            .Add("PLTE", Bytes().Zeros(3))
                            .Add("cHRM", Bytes().Zeros(32))
                            .Add("IDAT")
                            .Add("tEXt", Bytes().Text("k").U8(0))
                            .Add("IDAT")
                            .Add("acTL", Bytes().Zeros(8))
                            .End());
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  auto noteOf = [&](std::string_view text) -> const strataview::Item* {
    const auto* note = Find(a.tree, text);
    return note == nullptr ? nullptr : &a.tree.At(a.tree.At(note->parent).parent);
  };
  ASSERT_NE(noteOf("The first chunk must be IHDR"), nullptr);
  EXPECT_EQ(noteOf("The first chunk must be IHDR")->text, "gAMA Chunk");
  ASSERT_NE(noteOf("Must come before PLTE"), nullptr);
  EXPECT_EQ(noteOf("Must come before PLTE")->text, "cHRM Chunk");
  ASSERT_NE(noteOf("IDAT chunks must be consecutive"), nullptr);
  ASSERT_NE(noteOf("Must come before the first IDAT chunk"), nullptr);
  EXPECT_EQ(noteOf("Must come before the first IDAT chunk")->text, "acTL Chunk");

  auto clean = AnalyseBytes(ChunkFile().Ihdr(2).Add("gAMA", Bytes().BE32(1)).Add("IDAT").Add("IDAT").End());
  ASSERT_TRUE(clean.ok) << clean.error;
  EXPECT_EQ(Find(clean.tree, "Must", true), nullptr);
  EXPECT_EQ(Find(clean.tree, "The first", true), nullptr);
  auto mng = AnalyseBytes(ChunkFile(Kind::Mng).Ihdr(2).End().Add("MEND"));
  ASSERT_TRUE(mng.ok) << mng.error;
  EXPECT_NE(Find(mng.tree, "The first chunk must be MHDR"), nullptr);
}

}  // namespace
