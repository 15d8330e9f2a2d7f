// APP0 JFIF/JFXX, APP2 ICC_PROFILE and MPF, APP13 Photoshop and APP14 Adobe.
#include <gtest/gtest.h>

#include "builders.h"
#include "hpi/hpi.h"
#include "plugin_harness.h"
#include "tree_helpers.h"

namespace {

using namespace testing_support;
using namespace tiffjpeg_test;

Blob Jfif(std::uint8_t xThumb, std::uint8_t yThumb, std::size_t thumbnailBytes) {
  Blob p{'J', 'F', 'I', 'F', 0, 1, 2, 1, 0, 72, 0, 72, xThumb, yThumb};
  p.resize(p.size() + thumbnailBytes, 0x80);
  return JpegSegment(0xE0, p);
}

TEST(App0, JfifHeaderAndThumbnail) {
  auto a = AnalyseBytes(Jpeg(Jfif(0, 0, 0)));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Identifier")), std::string("JFIF"));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Units")), "0x01(1) dots per inch");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "YThumbnail")), (Range{19, 1}));
  EXPECT_EQ(Find(a.tree, "Thumbnail Image"), nullptr);
  auto thumb = AnalyseBytes(Jpeg(Jfif(2, 2, 12)));
  ASSERT_TRUE(thumb.ok) << thumb.error;
  EXPECT_EQ(RangeOf(thumb.tree, *Find(thumb.tree, "Thumbnail Image")), (Range{20, 12}));
  EXPECT_EQ(AnalyseBytes(Jpeg(Jfif(2, 2, 11))).error, "[HPI_PLUGIN] Wrong APP0 segment!");
  auto noZero = AnalyseBytes(Jpeg(JpegSegment(0xE0, {'J', 'F', 'I', 'F', 1, 2, 3})));
  ASSERT_TRUE(noZero.ok);
  EXPECT_EQ(RangeOf(noZero.tree, *Find(noZero.tree, "AP(Application data)")), (Range{6, 7}));
}

TEST(App0, JfxxThumbnailIsWalkedAsJpeg) {
  Blob p{'J', 'F', 'X', 'X', 0, 0x10};
  Blob inner = Join({Marker(0xD8), Marker(0xD9)});
  p.insert(p.end(), inner.begin(), inner.end());
  auto a = AnalyseBytes(Jpeg(JpegSegment(0xE0, p)));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Extension_code")), "0x10(16) Thumbnail used JPEG");
  const auto* app0 = Find(a.tree, "APP0(Application type 0 segment)");
  auto children = ChildTexts(a.tree, *app0);
  EXPECT_NE(std::find(children.begin(), children.end(), "SOI(Start of Image)"), children.end());
  auto unknown = AnalyseBytes(Jpeg(JpegSegment(0xE0, {'J', 'F', 'X', 'X', 0, 0x12, 1, 2})));
  ASSERT_TRUE(unknown.ok) << unknown.error;
  EXPECT_EQ(ValueOf(unknown.tree, *Find(unknown.tree, "Extension_code")), "0x12(18) Unkown");
  auto palette = AnalyseBytes(Jpeg(JpegSegment(0xE0, Join({Blob{'J', 'F', 'X', 'X', 0, 0x11, 2, 1}, Blob(770, 0)}))));
  ASSERT_TRUE(palette.ok) << palette.error;
  EXPECT_EQ(RangeOf(palette.tree, *Find(palette.tree, "Palette")), (Range{14, 768}));
  EXPECT_EQ(RangeOf(palette.tree, *Find(palette.tree, "Thumbnail Image")), (Range{14 + 768, 2}));
}

TEST(App2, IccProfileHeaderFields) {
  Blob profile(140, 0);
  profile[3] = 140;
  std::copy_n("appl", 4, profile.begin() + 4);
  profile[8] = 2;
  profile[9] = 0x10;
  std::copy_n("mntrRGB XYZ ", 12, profile.begin() + 12);
  profile[25] = 2026 & 0xFF;
  profile[24] = 2026 >> 8;
  std::copy_n("acsp", 4, profile.begin() + 36);
  Blob payload = Join({Blob{'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, 1, 1}, profile});
  auto a = AnalyseBytes(Jpeg(JpegSegment(0xE2, payload)));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Profile data")), (Range{20, 140}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Profile size")), "0x0000008c(140)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Profile version number")), "0x02100000(34603008) 2.1.0");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Profile/Device class")), "mntr");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Profile file signature")), "acsp");
}

TEST(App2, MultiPictureIndexListsTheImages) {
  Blob entries;
  auto le32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) entries.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  le32(0x20030000), le32(5000), le32(0), le32(0);
  le32(0x00020002), le32(3000), le32(0x1234), le32(0);
  Entry mpEntry{0xB002, 7, 32};
  mpEntry.values.assign(entries.begin(), entries.end());
  TiffBuilder tiff;
  Blob mp = tiff.Build({{{{0xB000, 7, 4, {'0', '1', '0', '0'}}, {0xB001, 4, 1, {2}}, mpEntry}}});
  Blob file = Jpeg(JpegSegment(0xE2, Join({Blob{'M', 'P', 'F', 0}, mp})));
  auto a = AnalyseBytes(file);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "IFH(Image File Header)")).offset, 10u);
  ASSERT_NE(Find(a.tree, "MP Index IFD"), nullptr);
  EXPECT_EQ(EntryValue(a.tree, "NumberOfImages"), "0x00000002(2)");
  EXPECT_NE(Find(a.tree, "MP Entry 1: attribute 0x20030000, size 5000, the file's first image"), nullptr);
  EXPECT_NE(Find(a.tree, "MP Entry 2: attribute 0x00020002, size 3000, offset 0x00001234 (file offset 0x0000123e)"),
            nullptr);
}

// A fault in the multi-picture index stays inside its APP2 segment: a fault
// item there, and the walk goes on to EOI.
TEST(App2, MultiPictureFaultsStayInsideTheSegment) {
  TiffBuilder tiff;
  Blob mp = tiff.Build({{{{0xB000, 7, 4, {'0', '1', '0', '0'}}, {0xB001, 4, 1, {2}}}}});
  mp[8] = 0xFF;  // an entry count that runs far past the segment
  Blob mpf = JpegSegment(0xE2, Join({Blob{'M', 'P', 'F', 0}, mp}));
  auto a = AnalyseBytes(Jpeg(mpf), "mpf.jpg", 1, hpi::kRequestPartial);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  ASSERT_EQ(a.faults.count, 1u);
  EXPECT_EQ(a.faults.last.message, "[HPI_PLUGIN] Wrong file format!");
  EXPECT_EQ(a.faults.last.offset, 2u + 4 + 4 + 8);  // the entry count
  EXPECT_NE(Find(a.tree, "MP Index IFD"), nullptr);
  EXPECT_NE(Find(a.tree, "EOI(End of image)"), nullptr);
  // Tags out of order are a note, not a fault.
  Blob unsorted = tiff.Build({{{{0xB001, 4, 1, {2}}, {0xB000, 7, 4, {'0', '1', '0', '0'}}}}});
  auto b = AnalyseBytes(Jpeg(JpegSegment(0xE2, Join({Blob{'M', 'P', 'F', 0}, unsorted}))));
  ASSERT_TRUE(b.ok) << b.error;
  EXPECT_EQ(b.faults.count, 0u);
  EXPECT_EQ(EntryNotes(b.tree, *Find(b.tree, "MPFVersion")),
            (std::vector<std::string>{"Tag 45056 comes after tag 45057: the tags are not in ascending order"}));
}

TEST(App13, PhotoshopResourceBlocks) {
  Blob p{'P', 'h', 'o', 't', 'o', 's', 'h', 'o', 'p', ' ', '3', '.', '0', 0};
  Blob iptc{'8', 'B', 'I', 'M', 0x04, 0x04, 0, 0, 0, 0, 0, 3, 1, 2, 3, 0};
  Blob named{'8', 'B', 'I', 'M', 0x04, 0x25, 2, 'a', 'b', 0, 0, 0, 0, 1, 7};
  auto a = AnalyseBytes(Jpeg(JpegSegment(0xED, Join({p, iptc, named}))));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Resource ID")), "0x0404(1028) IPTC-NAA record");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Image resource block")), (Range{20, 16}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Resource data")), (Range{32, 3}));
  EXPECT_NE(Find(a.tree, "ab"), nullptr) << "the second block's name";
}

TEST(App14, AdobeFields) {
  auto a = AnalyseBytes(Jpeg(JpegSegment(0xEE, {'A', 'd', 'o', 'b', 'e', 0, 100, 0x80, 0, 0, 0, 2})));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "DCTEncodeVersion")), "0x0064(100)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "ColorTransform")), "0x02(2) YCCK");
  auto other = AnalyseBytes(Jpeg(JpegSegment(0xEE, {'A', 'd', 'o', 'b', 'x'})));
  ASSERT_TRUE(other.ok);
  EXPECT_NE(Find(other.tree, "AP(Application data)"), nullptr);
  // Cut after its identifier, the segment is still Adobe's, up to the cut.
  Blob cut = Join({Marker(0xD8), JpegSegment(0xEE, {'A', 'd', 'o', 'b', 'e', 0, 100, 0x80, 0, 0, 0, 2})});
  cut.resize(2 + 4 + 5 + 3);
  auto part = AnalyseBytes(cut, "a.jpg", 1, hpi::kRequestPartial);
  ASSERT_TRUE(part.partial);
  EXPECT_NE(Find(part.tree, "DCTEncodeVersion"), nullptr);
  EXPECT_EQ(Find(part.tree, "APP14Flags0"), nullptr);
  EXPECT_EQ(part.faults.last.offset, 2u + 4 + 5 + 2);
}

}  // namespace
