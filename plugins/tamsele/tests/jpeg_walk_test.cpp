#include <gtest/gtest.h>

#include "builders.h"
#include "hpi/hpi.h"
#include "plugin_harness.h"

namespace {

using namespace testing_support;
using namespace tiffjpeg_test;

const strataview::Item& Root(const Analysed& a) { return a.tree.At(a.tree.TopLevel()[0]); }

std::vector<std::string> Segments(const Analysed& a) { return ChildTexts(a.tree, Root(a)); }

TEST(JpegSupport, NeedsSoiAndAMarker) {
  EXPECT_EQ(Supports(Blob{0xFF, 0xD8, 0xFF, 0xE0}), 1);
  EXPECT_EQ(Supports(Blob{0xFF, 0xD8, 0xFF, 0xDB}), 1);
  EXPECT_EQ(Supports(Blob{0xFF, 0xD8, 0x00}), 0);
  EXPECT_EQ(Supports(Blob{0x89, 'P', 'N', 'G'}), 0);
}

TEST(JpegWalk, SoiAndEoiAlone) {
  auto a = AnalyseBytes(Join({Marker(0xD8), Marker(0xD9)}), "a.jpg");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(Root(a).text, "a.jpg");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "SOI(Start of Image)")), (Range{0, 2}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "EOI(End of image)")), (Range{2, 2}));
}

TEST(JpegWalk, BaselineFileShowsEverySegmentAndTheScanData) {
  Blob file = Jpeg();
  auto a = AnalyseBytes(file, "b.jpg");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(Segments(a),
            (std::vector<std::string>{"SOI(Start of Image)", "DQT(Define quantization table segment)",
                                      "SOF0(Start of frame type 0 segment)", "DHT(Define Huffman table segmet)",
                                      "SOS(Start of scan segment)", "EOI(End of image)"}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "QF Table0")), "");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "QF Table0")), (Range{7, 64}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Y(Image pixel height)")), "0x0008(8)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "C1")), "0x01(1) for Y");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "H/V Sampling factor1")), "H1:0x1(1),V1:0x1(1)");
  EXPECT_EQ(ChildTexts(a.tree, *Find(a.tree, "Tc/Th(HT class/HT number)")).back(), "Th:0x0(0) DC Table");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Table 0:Symbols")).size, 2u);
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Cs1(Scan component selector 1)")), "0x01(1) for Y");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Ah/Al")), "Ah:0x0(0),Al:0x0(0)");
  // The entropy-coded data runs from the end of the scan header to EOI; FF 00 is data.
  std::uint64_t eoi = file.size() - 2;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Compressed image data")), (Range{eoi - 5, 5}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "EOI(End of image)")).offset, eoi);
}

TEST(JpegWalk, FillBytesBeforeMarkersArePassedOver) {
  Blob file = Join({Marker(0xD8), Blob{0xFF, 0xFF}, Dqt(), Blob{0xFF}, Marker(0xD9)});
  auto a = AnalyseBytes(file);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "DQT(Define quantization table segment)")).offset, 4u);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "EOI(End of image)")).offset, file.size() - 2);
}

// Bytes outside every segment get a range: junk before a marker (its fill
// bytes excepted) and whatever follows EOI.
TEST(JpegWalk, BytesOutsideTheSegmentsAreShown) {
  Blob file =
      Join({Marker(0xD8), Blob{1, 2, 3, 0xFF, 0x00, 4}, Blob{0xFF}, Dqt(), Marker(0xD9), Marker(0xD8), Blob{9}});
  auto a = AnalyseBytes(file);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Bytes between segments")), (Range{2, 6}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "DQT(Define quantization table segment)")).offset, 9u);
  const auto* after = Find(a.tree, "Bytes after EOI");
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(RangeOf(a.tree, *after), (Range{file.size() - 3, 3}));
  EXPECT_EQ(ChildTexts(a.tree, *after).back(), "0x00000003(3) starts with SOI");
  EXPECT_EQ(Segments(a).back(), "Bytes after EOI");
  // Junk up to a cut is shown before the fault.
  Blob cut = Join({Marker(0xD8), Dqt(), Blob{7, 7}});
  auto b = AnalyseBytes(cut, "j.jpg", 1, hpi::kRequestPartial);
  ASSERT_TRUE(b.partial);
  EXPECT_EQ(RangeOf(b.tree, *Find(b.tree, "Bytes between segments")), (Range{cut.size() - 2, 2}));
  EXPECT_EQ(b.faults.last.offset, cut.size());
}

TEST(JpegWalk, RestartMarkersStandAlone) {
  // Inside scan data they belong to the entropy-coded data; elsewhere they are
  // items without a length, and the bytes after them are the next marker.
  Blob scan{0x11, 0xFF, 0xD0, 0x22, 0xFF, 0xD1, 0x33};
  Blob file = Join({Marker(0xD8), Marker(0xD3), Marker(0x01), Dqt(), Sof0(), Dht(), Sos(), scan, Marker(0xD9)});
  auto a = AnalyseBytes(file);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "RST3")), (Range{2, 2}));
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "RST3")), "0xffd3(65491)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "TEM")), (Range{4, 2}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "DQT(Define quantization table segment)")).offset, 6u);
  const auto* data = Find(a.tree, "Compressed image data");
  EXPECT_EQ(RangeOf(a.tree, *data), (Range{file.size() - 2 - scan.size(), scan.size()}));
  EXPECT_EQ(ChildTexts(a.tree, *data).back(), "0x00000007(7) 2 restart markers (RST0-RST7) inside");
}

TEST(JpegWalk, ProgressiveScanDataStartsAfterTheScanHeader) {
  Blob header = JpegSegment(0xDA, {1, 1, 0x00, 1, 5, 0x12});
  Blob file = Join({Marker(0xD8), header, Blob{0xAA, 0xBB}, Marker(0xD9)});
  auto a = AnalyseBytes(file);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Se(End of spectral selection)")), "0x05(5)");
  EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "Ah/Al")), "Ah:0x1(1),Al:0x2(2)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Compressed image data")), (Range{2 + header.size(), 2}));
}

TEST(JpegWalk, EndOfFileWithoutEoiMarker) {
  // A segment running past the final FF D9 (an Exif thumbnail's EOI, say) is a
  // segment cut short, not the end of the image: the fault is its length.
  Blob overrun = Join({Marker(0xD8), Blob{0xFF, 0xE5, 0x00, 0x40, 'a'}, Marker(0xD9)});
  EXPECT_EQ(AnalyseBytes(overrun).error, "[HPI_PLUGIN] Wrong file format!");
  auto cut = AnalyseBytes(overrun, "o.jpg", 1, hpi::kRequestPartial);
  ASSERT_TRUE(cut.partial);
  EXPECT_EQ(cut.faults.last.offset, 4u);
  EXPECT_EQ(cut.faults.last.size, overrun.size() - 4);
  EXPECT_NE(Find(cut.tree, "AP(Application data)"), nullptr);
  EXPECT_EQ(Find(cut.tree, "EOI(End of image)"), nullptr);
  // Cut after a whole segment, or inside a marker: the fault is where the stream stops.
  Blob truncated = Join({Marker(0xD8), Dqt()});
  EXPECT_EQ(AnalyseBytes(truncated).error, "[HPI_PLUGIN] Wrong file format!");
  EXPECT_EQ(AnalyseBytes(truncated, "t.jpg", 0).error, "[HPI_PLUGIN] 不正なファイルフォーマットです");
  EXPECT_EQ(AnalyseBytes(truncated, "t.jpg", 1, hpi::kRequestPartial).faults.last.offset, truncated.size());
  Blob inMarker = Join({Marker(0xD8), Dqt(), Blob{0xFF}});
  EXPECT_EQ(AnalyseBytes(inMarker, "m.jpg", 1, hpi::kRequestPartial).faults.last.offset, truncated.size());
  EXPECT_EQ(AnalyseBytes(Join({Marker(0xD8), Marker(0xD8), Marker(0xD9)})).error, "[HPI_PLUGIN] Wrong file format!");
  EXPECT_EQ(AnalyseBytes(Blob{0xFF, 0xD9, 0xFF, 0xD9}).error, "[HPI_PLUGIN] This file is not Jpeg!");
}

// A segment cut inside its fields keeps the fields before the cut, and the
// fault sits where the bytes run out; a wrong length is a fault of "Length".
TEST(JpegWalk, CutSegmentsKeepTheirFieldsBeforeTheCut) {
  Blob file = Join({Marker(0xD8), Sof0()});
  Blob cut(file.begin(), file.begin() + 8);  // up to Y(Image pixel height)'s first byte
  auto a = AnalyseBytes(cut, "c.jpg", 1, hpi::kRequestPartial);
  ASSERT_TRUE(a.partial);
  EXPECT_EQ(a.readerFault, 0);
  EXPECT_NE(Find(a.tree, "P(Data precision)"), nullptr);
  EXPECT_EQ(Find(a.tree, "Y(Image pixel height)"), nullptr);
  EXPECT_EQ(a.faults.last.offset, 7u);
  EXPECT_EQ(a.faults.last.size, 1u);
  Blob lengthCut{0xFF, 0xD8, 0xFF, 0xDB, 0x00};
  auto b = AnalyseBytes(lengthCut, "l.jpg", 1, hpi::kRequestPartial);
  EXPECT_NE(Find(b.tree, "DQT(Define quantization table segment)"), nullptr);
  EXPECT_EQ(b.faults.last.offset, 4u);
  Blob badSof{0xFF, 0xD8, 0xFF, 0xC0, 0, 18, 8, 0, 8, 0, 8, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1, 0, 0xFF, 0xD9};
  auto c = AnalyseBytes(badSof, "s.jpg", 1, hpi::kRequestPartial);
  EXPECT_EQ(c.error, "[HPI_PLUGIN] Wrong SOF0 segment!");
  EXPECT_NE(Find(c.tree, "Nf(Number of components)"), nullptr);
  EXPECT_EQ(c.faults.last.offset, 4u);
  auto tiny = AnalyseBytes(Blob{0xFF, 0xD8, 0xFF, 0xE5, 0, 1, 0xFF, 0xD9}, "n.jpg", 1, hpi::kRequestPartial);
  ASSERT_TRUE(tiny.partial) << "a length that does not count itself";
  EXPECT_EQ(tiny.faults.last.offset, 4u);
}

TEST(JpegWalk, MalformedTablesAndFrames) {
  auto sof = [](std::uint8_t lengthLow) {
    return Blob{0xFF, 0xC0, 0, lengthLow, 8, 0, 8, 0, 8, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1, 0};
  };
  EXPECT_TRUE(AnalyseBytes(Join({Marker(0xD8), sof(17), Marker(0xD9)})).ok);
  EXPECT_EQ(AnalyseBytes(Join({Marker(0xD8), sof(18), Marker(0xD9)})).error, "[HPI_PLUGIN] Wrong SOF0 segment!");
  Blob dht(17, 0);
  dht[0] = 0x24;  // class 2
  EXPECT_EQ(AnalyseBytes(Join({Marker(0xD8), JpegSegment(0xC4, dht), Marker(0xD9)})).error,
            "[HPI_PLUGIN] Wrong DHT segment!");
  dht[0] = 0x00;
  dht[1] = 5;  // five symbols that the segment does not hold
  EXPECT_EQ(AnalyseBytes(Join({Marker(0xD8), JpegSegment(0xC4, dht), Marker(0xD9)})).error,
            "[HPI_PLUGIN] Wrong DHT segment!");
  auto emptyDht = AnalyseBytes(Join({Marker(0xD8), JpegSegment(0xC4, {}), Marker(0xD9)}));
  ASSERT_TRUE(emptyDht.ok);
  EXPECT_EQ(ChildTexts(emptyDht.tree, *Find(emptyDht.tree, "DHT(Define Huffman table segmet)")).back(), "Length");
  Blob dqt(65, 0);
  dqt[0] = 0x04;
  EXPECT_EQ(AnalyseBytes(Join({Marker(0xD8), JpegSegment(0xDB, dqt), Marker(0xD9)})).error,
            "[HPI_PLUGIN] Wrong DQT segment!");
  EXPECT_EQ(
      AnalyseBytes(Join({Marker(0xD8), JpegSegment(0xDA, {5, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 63, 0}), Marker(0xD9)}))
          .error,
      "[HPI_PLUGIN] Wrong SOS segment!");
}

TEST(JpegWalk, CommentsAndUnhandledMarkers) {
  Blob text(298, 'c');
  Blob file = Join(
      {Marker(0xD8), JpegSegment(0xFE, text), JpegSegment(0xC2, {1, 2, 3}), JpegSegment(0xE5, {9, 9}), Marker(0xD9)});
  auto a = AnalyseBytes(file);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  const auto* comment = Find(a.tree, "Cm(Comment data)");
  EXPECT_EQ(RangeOf(a.tree, *comment), (Range{6, 298}));
  EXPECT_EQ(ValueOf(a.tree, *comment), std::string(255, 'c'));
  const auto* sof2 = Find(a.tree, "SOF2(Start of frame type 2 segment)");
  ASSERT_NE(sof2, nullptr);
  EXPECT_EQ(ValueOf(a.tree, *sof2), "0x00c2(194)");
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Data")).size, 3u);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "AP(Application data)")).size, 2u);
  EXPECT_NE(Find(a.tree, "APP5(Application type 5 segment)"), nullptr);
}

}  // namespace
