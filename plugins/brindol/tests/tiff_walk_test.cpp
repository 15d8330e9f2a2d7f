#include <gtest/gtest.h>

#include "builders.h"
#include "hpi/hpi.h"
#include "plugin_harness.h"
#include "tree_helpers.h"

namespace {

using namespace testing_support;
using namespace tiffjpeg_test;

Analysed AnalyseTiff(const std::vector<Directory>& dirs, bool big = false, const std::vector<Blob>& blobs = {}) {
  return AnalyseBytes(TiffBuilder(big).Build(dirs, blobs), "t.tif");
}

TEST(TiffSupport, ByteOrderMarkAndVersionMustAgree) {
  EXPECT_EQ(Supports(Blob{'I', 'I', 42, 0}), 1);
  EXPECT_EQ(Supports(Blob{'M', 'M', 0, 42}), 1);
  EXPECT_EQ(Supports(Blob{'I', 'I', 0, 42}), 0);
  EXPECT_EQ(Supports(Blob{'M', 'M', 42, 0}), 0);
  EXPECT_EQ(Supports(Blob{'M', 'M', 0, 43}), 0) << "BigTIFF";
}

TEST(TiffWalk, EmptyDirectory) {
  auto a = AnalyseBytes(Blob{0x49, 0x49, 0x2A, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "a.tif");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "IFH(Image File Header)")), (Range{0, 8}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Byte Order")), "0x4949(18761)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "IFD Ofset")), "0x00000008(8)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "IFD 0")), (Range{8, 6}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, " Ofset of Next IFD")), (Range{10, 4}));
}

TEST(TiffWalk, HeaderFaults) {
  EXPECT_EQ(AnalyseBytes(Blob{'I', 'I', 43, 0, 8, 0, 0, 0}).error, "[HPI_PLUGIN] Wrong TIFF IFH(Image File Header)");
  EXPECT_EQ(AnalyseBytes(Blob{'I', 'M', 42, 0, 8, 0, 0, 0}).error, "[HPI_PLUGIN] Wrong TIFF IFH(Image File Header)");
  EXPECT_EQ(AnalyseBytes(Blob{'I', 'I', 42, 0, 8}).error, "[HPI_PLUGIN] Wrong TIFF IFH(Image File Header)");
  EXPECT_EQ(AnalyseBytes(Blob{'I'}).error, "[HPI_PLUGIN] This file is not TIFF");
  EXPECT_EQ(AnalyseBytes(Blob{'I'}, "x.tif", 0).error, "[HPI_PLUGIN] TIFF ファイルではありません");
  EXPECT_EQ(AnalyseBytes(Blob{'I', 'I', 42, 0, 8, 0, 0, 0, 5, 0}).error, "[HPI_PLUGIN] Wrong file format!")
      << "five entries announced, none present";
}

// A fault is placed at the field whose value does not fit: the directory
// offset that points past the end, the entry count that overruns it, the
// thumbnail offset without its length.
TEST(TiffWalk, FaultsSitAtTheFieldThatHoldsTheWrongValue) {
  auto fault = [](const Blob& file) { return AnalyseBytes(file, "f.tif", 1, hpi::kRequestPartial).faults.last; };
  EXPECT_EQ(fault(Blob{'I', 'I', 42, 0, 0x40, 0, 0, 0}).offset, 4u);
  EXPECT_EQ(fault(Blob{'I', 'I', 42, 0, 8, 0, 0, 0, 5, 0}).offset, 8u);
  TiffBuilder tiff;
  Blob chained = tiff.Build({{{{256, 3, 1, {1}}}}});
  tiff.Patch32(chained, 8 + 2 + 12, 0x400);  // the next IFD's offset
  auto next = AnalyseBytes(chained, "n.tif", 1, hpi::kRequestPartial);
  ASSERT_TRUE(next.partial);
  EXPECT_EQ(next.faults.last.offset, 8u + 2 + 12);
  EXPECT_EQ(next.faults.last.size, chained.size() - next.faults.last.offset);
  EXPECT_EQ(fault(TiffBuilder().Build({{{{513, 4, 1, {8}}}}})).offset, 8u + 2 + 8) << "513's value field";
}

TEST(TiffWalk, EntriesAndTheirValues) {
  for (bool big : {false, true}) {
    auto a = AnalyseTiff({{{{256, 3, 1, {640}},
                            {258, 3, 2, {8, 8}},
                            {259, 3, 1, {99}},
                            {270, 2, 4, {}, -1, -1, "abc"},
                            {271, 2, 5, {}, -1, -1, "Make"},
                            {273, 4, 5, {10, 20, 30, 40, 50}},
                            {274, 3, 1, {6}},
                            {279, 4, 0},
                            {282, 5, 2, {72, 1, 1, 0}},
                            {296, 3, 1, {4}},
                            {318, 10, 1, {0x80000000u, 0xFFFFFFFFu}},
                            {339, 9, 1, {0xFFFFFFFEu}},
                            {340, 11, 1, {0x3FC00000u}}}}},
                         big);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.readerFault, 0);
    EXPECT_EQ(EntryValue(a.tree, "ImageWidth"), "0x0280(640)");
    EXPECT_EQ(EntryValue(a.tree, "ImageWidth", "Type"), "0x0003(3) SHORT");
    // The entry after a one-SHORT value is read 12 bytes after the entry's start.
    EXPECT_EQ(EntryValue(a.tree, "BitsPerSample", "Tag"), "0x0102(258)");
    EXPECT_EQ(EntryValue(a.tree, "Compression"), "0x0063(99) Unkown Compression");
    auto text4 = ChildTexts(a.tree, *ChildNamed(a.tree, Find(a.tree, "ImageDescription"), "Value"));
    EXPECT_EQ(std::vector<std::string>(text4.begin() + 2, text4.end()),
              (std::vector<std::string>{"0x61(97)", "0x62(98)", "0x63(99)", "0x00(0)"}));
    EXPECT_EQ(NotesOf(a.tree, "Make"), (std::vector<std::string>{"Make"}));
    EXPECT_EQ(EntryValue(a.tree, "Make", "Offset").find("real offset"), std::string::npos)
        << "no absolute-address comment in a TIFF file";
    EXPECT_EQ(NotesOf(a.tree, "StripOffsets"),
              (std::vector<std::string>{"0x0000000a(10)", "0x00000014(20)", "0x0000001e(30)", "     ・・・"}));
    EXPECT_EQ(EntryValue(a.tree, "Orientation"), "0x0006(6) RightTop");
    auto empty = ChildTexts(a.tree, *ChildNamed(a.tree, Find(a.tree, "StripByteCounts"), "Value"));
    EXPECT_EQ(empty.size(), 2u) << "a count of 0 has no value";
    EXPECT_NE(Find(a.tree, "0x00000048/0x00000001=0x00000048(72)"), nullptr);
    EXPECT_NE(Find(a.tree, "0x00000001/0x00000000"), nullptr);
    EXPECT_EQ(EntryValue(a.tree, "ResolutionUnit"), "0x0004(4)");
    EXPECT_NE(Find(a.tree, "0x80000000/0xffffffff=0x80000000(2147483648)"), nullptr) << "no trap in 64 bits";
    EXPECT_EQ(EntryValue(a.tree, "SampleFormat"), "0xfffffffe(-2)");
    EXPECT_EQ(EntryValue(a.tree, "SMinSampleValue", "Type"), "0x000b(11) FLOAT");
  }
}

// Readers take a directory's entries as they stand: a tag out of order or met
// twice is a note on its entry, and the walk goes on.
TEST(TiffWalk, TagOrderAndTypes) {
  auto order = AnalyseTiff({{{{257, 3, 1, {1}}, {256, 3, 1, {1}}, {258, 3, 1, {8}}, {257, 3, 1, {2}}}}});
  ASSERT_TRUE(order.ok) << order.error;
  std::vector<const strataview::Item*> lengths = FindAll(order.tree, "ImageLength");
  ASSERT_EQ(lengths.size(), 2u);
  EXPECT_EQ(EntryNotes(order.tree, *Find(order.tree, "ImageWidth")),
            (std::vector<std::string>{"Tag 256 comes after tag 257: the tags are not in ascending order"}));
  EXPECT_TRUE(EntryNotes(order.tree, *lengths[0]).empty());
  EXPECT_TRUE(EntryNotes(order.tree, *Find(order.tree, "BitsPerSample")).empty());
  EXPECT_EQ(EntryNotes(order.tree, *lengths[1]),
            (std::vector<std::string>{"Tag 257 appears a second time in this directory"}));
  // A type outside 1 to 13: the value field as its bytes, and a note.
  auto unknown = AnalyseTiff({{{{256, 14, 1, {1}}, {257, 3, 1, {1}}}}});
  ASSERT_TRUE(unknown.ok) << unknown.error;
  const auto* type = ChildNamed(unknown.tree, Find(unknown.tree, "ImageWidth"), "Type");
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(ValueOf(unknown.tree, *type), "0x000e(14)");
  EXPECT_EQ(ChildTexts(unknown.tree, unknown.tree.At(type->children.back())),
            (std::vector<std::string>{"Unknown field type: the value field is shown as its bytes"}));
  EXPECT_EQ(EntryValue(unknown.tree, "ImageWidth"), "0x00000001");
  EXPECT_EQ(EntryValue(unknown.tree, "ImageLength"), "0x0001(1)");
  // Type 13 (IFD) is a LONG that points to a directory.
  auto ifdType = AnalyseTiff({{{{330, 13, 1, {8}}}}});
  ASSERT_TRUE(ifdType.ok) << ifdType.error;
  EXPECT_EQ(EntryValue(ifdType.tree, "SubIFD", "Type"), "0x000d(13) IFD");
  // Tag 0 outside a GPS directory is an unknown tag, not a failure.
  auto zero = AnalyseTiff({{{{0, 3, 1, {1}}, {256, 3, 1, {1}}}}});
  ASSERT_TRUE(zero.ok) << zero.error;
  EXPECT_NE(Find(zero.tree, "Unkown Tag"), nullptr);
}

TEST(TiffWalk, HugeCountsAreNotTakenForInlineValues) {
  // 4 x 0x40000001 wraps to 4 in 32 bits; the values lie at an offset.
  Entry huge{273, 4, 3, {7, 8, 9}};
  TiffBuilder tiff;
  Blob file = tiff.Build({{{huge}}});
  tiff.Patch32(file, tiff.Offsets()[0] + 2 + 4, 0x40000001u);
  auto a = AnalyseBytes(file);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ChildNamed(a.tree, Find(a.tree, "StripOffsets"), "Value"), nullptr);
  // Three values, the ellipsis, and the part past the end of the file.
  std::vector<std::string> notes = NotesOf(a.tree, "StripOffsets");
  ASSERT_EQ(notes.size(), 5u);
  EXPECT_EQ(notes.back(), "The value runs past the end of the data: 12 of its 4294967300 bytes are there");
}

TEST(TiffWalk, ExifAndGpsDirectories) {
  Directory ifd0{{{256, 3, 1, {1}}, {34665, 4, 1, {}, 1}, {34853, 4, 1, {}, 2}}};
  Directory exif{{{33434, 5, 1, {1, 60}}, {40965, 4, 1, {}, 3}, {0xA420, 2, 4, {}, -1, -1, "abc"}}, false};
  Directory gps{{{0, 1, 4, {2, 3, 0, 0}}, {1, 2, 2, {}, -1, -1, "N"}}, false};
  Directory interop{{{1, 2, 4, {}, -1, -1, "R98"}}, false};
  TiffBuilder tiff(true);
  auto a = AnalyseBytes(tiff.Build({ifd0, exif, gps, interop}));
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "ExifIFD")).offset, tiff.Offsets()[1]);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "GpsIFD")).offset, tiff.Offsets()[2]);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "InteroperabilityIFD")).offset, tiff.Offsets()[3]);
  EXPECT_NE(Find(a.tree, "GPSVersionID"), nullptr);
  EXPECT_NE(Find(a.tree, "GPSLatitudeRef"), nullptr);
  EXPECT_NE(Find(a.tree, "InteroperabilityIndex"), nullptr);
  EXPECT_EQ(Find(a.tree, "UniqueImageID"), nullptr) << "an Exif 2.2 name the TIFF plug-in does not use";
  EXPECT_EQ(FindAll(a.tree, "Unkown Tag").size(), 1u);
}

TEST(TiffWalk, DirectoryLoopsAreShownOnce) {
  TiffBuilder tiff;
  std::vector<Directory> two{{{{256, 3, 1, {1}}}}, {{{256, 3, 1, {2}}}}};
  Blob toSelf = tiff.Build({two[0]});
  tiff.Patch32(toSelf, tiff.NextField(0, 1), tiff.Offsets()[0]);
  auto self = AnalyseBytes(toSelf);
  ASSERT_TRUE(self.ok) << self.error;
  EXPECT_EQ(self.readerFault, 0);
  ASSERT_NE(Find(self.tree, "IFD 1"), nullptr);
  EXPECT_EQ(ChildTexts(self.tree, *Find(self.tree, "IFD 1")).back(),
            "0x00000012(18) Overlaps a directory already shown: not walked again");
  Blob toFirst = tiff.Build(two);
  tiff.Patch32(toFirst, tiff.NextField(1, 1), tiff.Offsets()[0]);
  auto first = AnalyseBytes(toFirst);
  ASSERT_TRUE(first.ok) << first.error;
  EXPECT_EQ(FindAll(first.tree, "ImageWidth").size(), 2u);
  EXPECT_NE(Find(first.tree, "IFD 2"), nullptr);
  // A pointer to a directory already walked is not walked again either.
  auto pointer = AnalyseTiff({{{{256, 3, 1, {1}}, {34665, 4, 1, {}, 0}}}});
  ASSERT_TRUE(pointer.ok) << pointer.error;
  EXPECT_EQ(FindAll(pointer.tree, "ImageWidth").size(), 1u);
}

TEST(TiffWalk, JpegStreamOfTags513And514) {
  Blob jpeg = Jpeg();
  Directory ifd0{{{256, 3, 1, {8}}, {513, 4, 1, {}, -1, 0}, {514, 4, 1, {static_cast<std::uint32_t>(jpeg.size())}}}};
  TiffBuilder tiff;
  Blob file = tiff.Build({ifd0}, {jpeg});
  auto a = AnalyseBytes(file);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Jpeg Image")), (Range{file.size() - jpeg.size(), jpeg.size()}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "SOI(Start of Image)")).offset, file.size() - jpeg.size());
  EXPECT_NE(Find(a.tree, "EOI(End of image)"), nullptr);
  EXPECT_EQ(EntryValue(a.tree, "JPEGInterchangeFormat").find("※"), std::string::npos);
  auto notJpeg = AnalyseTiff({ifd0}, false, {Blob(jpeg.size(), 0)});
  ASSERT_TRUE(notJpeg.ok) << notJpeg.error;
  EXPECT_NE(Find(notJpeg.tree, "Jpeg Image"), nullptr);
  EXPECT_EQ(AnalyseTiff({{{{513, 4, 1, {8}}}}}).error, "[HPI_PLUGIN] Wrong file format!") << "513 without 514";
}

TEST(TiffWalk, ProgressiveScansEndTheJpegWalkOfATiffFile) {
  Blob progressive = Join({Marker(0xD8), Sof0(), JpegSegment(0xDA, {1, 1, 0, 1, 5, 0}), Blob{1, 2}, Marker(0xD9)});
  Directory ifd0{{{513, 4, 1, {}, -1, 0}, {514, 4, 1, {static_cast<std::uint32_t>(progressive.size())}}}};
  auto a = AnalyseTiff({ifd0}, false, {progressive});
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Ss(Start of spectral selection)")), "0x01(1)");
  EXPECT_EQ(Find(a.tree, "EOI(End of image)"), nullptr);
}

TEST(TiffWalk, NestedJpegAndExifStopBeforeTheFieldLevel) {
  Blob tiff = TiffBuilder().Build({{{{256, 3, 1, {1}}}}});
  for (int depth = 0; depth < 4; ++depth) {
    Blob jpeg = Jpeg(ExifApp1(tiff));
    tiff = TiffBuilder().Build({{{{513, 4, 1, {}, -1, 0}, {514, 4, 1, {static_cast<std::uint32_t>(jpeg.size())}}}}},
                               {jpeg});
  }
  auto a = AnalyseBytes(tiff);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  bool stopped = false;
  for (const auto& item : a.tree.Items()) stopped |= item.text.ends_with("Nested too deeply: not analysed");
  EXPECT_TRUE(stopped);
}

}  // namespace
