// Real bitmaps that image libraries read: each is analysed, and where its
// sizes disagree a note says by how much: at Image Data for bfSize against the
// rows, at BITMAPINFO for bfOffBits against the palette.
#include <gtest/gtest.h>

#include "tree_notes.h"

namespace {

using namespace testing_support;
using voltane_test::NoteOf;

struct Expected {
  const char* file;
  const char* item;
  const char* note;
};

constexpr Expected kNoted[] = {
    {"imagers-Info_4_Bit_Top_Down.bmp", "Image Data",
     "bfSize - bfOffBits is 26; the rows need 24: 2 bytes follow the pixel rows"},
    {"imagers-Info_8_Bit_Top_Down.bmp", "Image Data",
     "bfSize - bfOffBits is 50; the rows need 48: 2 bytes follow the pixel rows"},
    {"imagers-Info_A8_R8_G8_B8.bmp", "Image Data",
     "bfSize - bfOffBits is 146; the rows need 144: 2 bytes follow the pixel rows"},
    {"imagers-V3_A1_R5_G5_B5.bmp", "Image Data",
     "bfSize - bfOffBits is 74; the rows need 72: 2 bytes follow the pixel rows"},
    {"imagers-V3_A4_R4_G4_B4_Top_Down.bmp", "Image Data",
     "bfSize - bfOffBits is 74; the rows need 72: 2 bytes follow the pixel rows"},
    {"imagers-V3_R5_G6_B5.bmp", "Image Data",
     "bfSize - bfOffBits is 74; the rows need 72: 2 bytes follow the pixel rows"},
    {"imagers-V3_X8_R8_G8_B8_Top_Down.bmp", "Image Data",
     "bfSize - bfOffBits is 146; the rows need 144: 2 bytes follow the pixel rows"},
    {"imagers-Core_4_Bit.bmp", "Image Data",
     "bfSize - bfOffBits is 77662; the rows need 77660: 2 bytes follow the pixel rows"},
    {"imagers-pal8os2-hs.bmp", "bfSize", "bfSize is 26, less than bfOffBits (794)"},
    {"imagers-pal8os2-sz.bmp", "bfSize", "bfSize is 26, less than bfOffBits (794)"},
    {"bmpsuite-pal8offs.bmp", "BITMAPINFO",
     "bfOffBits is 1162; the headers and the palette end at 1062: 100 bytes before the pixels"},
    {"bmpsuite-shortfile.bmp", "Image Data", "1024 bytes stated; the file ends after 211: 813 bytes missing"},
};

std::filesystem::path Bitmap(const char* name) { return CorpusDir() / "bmp" / name; }

TEST(BmpCorpus, DisagreeingSizesAreNoted) {
  for (const Expected& e : kNoted) {
    SCOPED_TRACE(e.file);
    if (!std::filesystem::exists(Bitmap(e.file))) GTEST_SKIP() << "no BMP corpus";
    auto a = AnalysePath(Bitmap(e.file));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.readerFault, 0);
    EXPECT_EQ(NoteOf(a.tree, *Find(a.tree, e.item)), e.note);
  }
}

TEST(BmpCorpus, ProfilesMasksAndShortHeaders) {
  if (!std::filesystem::exists(Bitmap("bmpsuite-rgb24lprof.bmp"))) GTEST_SKIP() << "no BMP corpus";
  auto linked = AnalysePath(Bitmap("bmpsuite-rgb24lprof.bmp"));
  ASSERT_TRUE(linked.ok) << linked.error;
  EXPECT_EQ(RangeOf(linked.tree, *Find(linked.tree, "Padding")), (Range{24714, 10}));
  EXPECT_EQ(RangeOf(linked.tree, *Find(linked.tree, "ICC Profile")), (Range{24724, 19}));
  auto embedded = AnalysePath(Bitmap("imagers-rgb24prof2.bmp"));
  ASSERT_TRUE(embedded.ok) << embedded.error;
  EXPECT_EQ(RangeOf(embedded.tree, *Find(embedded.tree, "ICC Profile")), (Range{24714, 540}));

  // Masks and a palette together.
  auto pal = AnalysePath(Bitmap("bmpsuite-rgb16-565pal.bmp"));
  ASSERT_TRUE(pal.ok) << pal.error;
  EXPECT_EQ(ValueOf(pal.tree, *Find(pal.tree, "bmiColors[0]")), "0x0000f800(63488) red mask: shift 11, width 5");
  EXPECT_EQ(RangeOf(pal.tree, *Find(pal.tree, "bmiColors[258]")), (Range{1086, 4}));
  EXPECT_EQ(RangeOf(pal.tree, *Find(pal.tree, "Image Data")), (Range{1090, 16384}));
  // A 16-byte OS/2 2.x header.
  auto os2 = AnalysePath(Bitmap("bmpsuite-pal8os2v2-16.bmp"));
  ASSERT_TRUE(os2.ok) << os2.error;
  EXPECT_EQ(RangeOf(os2.tree, *Find(os2.tree, "bmiHeader")), (Range{14, 16}));
  EXPECT_EQ(RangeOf(os2.tree, *Find(os2.tree, "Image Data")), (Range{1054, 8192}));
}

TEST(BmpCorpus, ReportsDescribeBitFieldsAndJpeg) {
  if (!std::filesystem::exists(Bitmap("bmpsuite-rgb32bf.bmp"))) GTEST_SKIP() << "no BMP corpus";
  auto bitFields = AnalysePath(Bitmap("bmpsuite-rgb32bf.bmp"));
  EXPECT_NE(bitFields.report.find("Image type\t: 32 bits/pixel RGB color (bit fields)\r\nImage size"),
            std::string::npos)
      << bitFields.report;
  auto alpha = AnalysePath(Bitmap("bmpsuite-rgba32abf.bmp"));
  EXPECT_NE(alpha.report.find("Image type\t: 32 bits/pixel RGB color (alpha bit fields)\r\n"), std::string::npos);
  auto jpeg = AnalysePath(Bitmap("bmpsuite-rgb24jpeg.bmp"));
  EXPECT_NE(jpeg.report.find("Image type\t: JPEG image\r\n"), std::string::npos) << jpeg.report;
  EXPECT_NE(jpeg.report.find("Compression\t: JPEG compression\r\n"), std::string::npos);
  auto shortFile = AnalysePath(Bitmap("bmpsuite-shortfile.bmp"));
  EXPECT_NE(shortFile.report.find("File size\t: 273 bytes (bfSize says 1086)\r\n"), std::string::npos);
}

}  // namespace
