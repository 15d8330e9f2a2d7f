// The corpus JPEGs against an independent marker scan and exiv2's view of the
// Exif directories.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "corpus_tools.h"
#include "hpi/hpi.h"

namespace {

using namespace testing_support;
using namespace tiffjpeg_test;

// Marker positions from SOI to EOI as the JPEG standard lays them out: fill
// bytes skipped, standalone markers without a length, entropy-coded data after
// SOS passed over up to a marker other than RSTn.
std::vector<std::uint64_t> ScanMarkers(const std::vector<std::uint8_t>& b) {
  std::vector<std::uint64_t> found{0};
  std::size_t i = 2;
  while (i + 1 < b.size()) {
    if (b[i] != 0xFF) return found;  // not at a marker: the walk's search takes over
    while (i + 1 < b.size() && b[i + 1] == 0xFF) ++i;
    if (i + 1 >= b.size()) break;
    std::uint8_t m = b[i + 1];
    found.push_back(i);
    if (m == 0xD9) break;
    if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {
      i += 2;
      continue;
    }
    if (i + 3 >= b.size()) break;
    i += 2 + (b[i + 2] << 8 | b[i + 3]);
    if (m != 0xDA) continue;
    while (i + 1 < b.size() && !(b[i] == 0xFF && b[i + 1] != 0 && !(b[i + 1] >= 0xD0 && b[i + 1] <= 0xD7))) ++i;
  }
  return found;
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(JpegCorpus, EveryFileIsAnalysedOrNamesItsFault) {
  auto files = CorpusFiles("jpeg");
  if (files.empty()) GTEST_SKIP() << "no corpus";
  int analysed = CheckCorpus("jpeg", [](const std::filesystem::path& file, const Analysed& a) {
    std::vector<std::uint64_t> walked;
    for (auto h : a.tree.At(a.tree.TopLevel()[0]).children) walked.push_back(RangeOf(a.tree, a.tree.At(h)).offset);
    auto scanned = ScanMarkers(ReadFile(file));
    // The independent scan stops where a file leaves the standard's layout.
    ASSERT_LE(scanned.size(), walked.size()) << file;
    EXPECT_EQ(scanned, std::vector<std::uint64_t>(walked.begin(), walked.begin() + scanned.size())) << file;
  });
  EXPECT_GE(analysed, static_cast<int>(files.size()) - 8);
}

TEST(JpegCorpus, CameraFilesWithGpsDataAreAnalysed) {
  for (const char* name : {"exifsamples-45-gps_ifd.jpg", "gen-exif-gps-mm.jpg", "exifsamples-Canon_40D.jpg"}) {
    auto path = CorpusDir() / "jpeg" / name;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus";
    auto a = AnalysePath(path);
    ASSERT_TRUE(a.ok) << name << ": " << a.error;
  }
  auto a = AnalysePath(CorpusDir() / "jpeg" / "gen-exif-gps-mm.jpg");
  EXPECT_NE(Find(a.tree, "GPSVersionID"), nullptr);
  EXPECT_NE(Find(a.tree, "GPSLatitude"), nullptr);
}

// Files that readers take with a warning: tags out of order, Exif data that
// goes on in a second APP1 segment (exiv2 -pS: APP1 at 61, length 15).
TEST(JpegCorpus, UnsortedTagsAndSplitExifAreAnalysed) {
  auto gps = CorpusDir() / "jpeg" / "pillow-exif_gps.jpg";
  auto split = CorpusDir() / "jpeg" / "pillow-multiple_exif.jpg";
  if (!std::filesystem::exists(gps) || !std::filesystem::exists(split)) GTEST_SKIP() << "no corpus";
  auto a = AnalysePath(gps);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(EntryNotes(a.tree, *Find(a.tree, "ExifIFDPointer")),
            (std::vector<std::string>{"Tag 34665 comes after tag 50715: the tags are not in ascending order"}));
  auto b = AnalysePath(split);
  ASSERT_TRUE(b.ok) << b.error;
  EXPECT_EQ(FindAll(b.tree, "IFH(Image File Header)").size(), 1u);
  EXPECT_EQ(RangeOf(b.tree, *Find(b.tree, "Exif continuation")), (Range{61 + 4 + 6, 15 - 2 - 6}));
}

// The second image of an MPO follows the first one's EOI: its MPF index
// (exiftool: MPImageLength 4226, then 10348) and the range agree.
TEST(JpegCorpus, SecondImageOfAnMpoIsShownAfterTheFirstEoi) {
  auto path = CorpusDir() / "jpeg" / "pillow-frame_size-mpo.jpg";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus";
  auto a = AnalysePath(path);
  ASSERT_TRUE(a.ok) << a.error;
  const auto* after = Find(a.tree, "Bytes after EOI");
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(RangeOf(a.tree, *after), (Range{4226, 10348}));
  EXPECT_EQ(ChildTexts(a.tree, *after).back(), "0x0000286c(10348) starts with SOI");
  EXPECT_NE(Find(a.tree, "MP Entry 2: attribute 0x00000000, size 10348, offset 0x00000618 (file offset 0x00001082)"),
            nullptr);
}

// Cut right after its APP1 segment, whose Exif thumbnail ends in FF D9, a file
// is a partial analysis ending at the cut, not a whole image.
TEST(JpegCorpus, ThumbnailEndIsNotTheFileEnd) {
  auto path = CorpusDir() / "jpeg" / "exifsamples-Canon_40D.jpg";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus";
  auto whole = AnalysePath(path);
  ASSERT_TRUE(whole.ok) << whole.error;
  const auto* app1 = Find(whole.tree, "APP1(Application type 1 segment)");
  ASSERT_NE(app1, nullptr);
  std::vector<std::uint8_t> bytes = ReadFile(path);
  std::uint64_t at = RangeOf(whole.tree, *app1).offset;
  std::uint64_t end = at + 2 + (bytes[at + 2] << 8 | bytes[at + 3]);
  ASSERT_EQ(bytes[end - 2], 0xFF);
  ASSERT_EQ(bytes[end - 1], 0xD9);
  bytes.resize(end);
  auto cut = AnalyseBytes(bytes, "cut.jpg", 1, hpi::kRequestPartial);
  EXPECT_FALSE(cut.ok);
  ASSERT_TRUE(cut.partial);
  EXPECT_EQ(cut.faults.last.offset, end);
  EXPECT_EQ(cut.faults.last.size, 0u);
  EXPECT_NE(Find(cut.tree, "Jpeg Thumbnail Image"), nullptr);
}

// The damaged files end in their fault, inside the segment that exiv2 -pS
// lists last at or before the fault's offset.
TEST(JpegCorpus, DamagedFilesEndAtTheirFault) {
  struct Damaged {
    const char* name;
    const char* message;
    std::uint64_t offset;
    std::uint64_t segment;  // the segment's address in exiv2 -pS
  };
  const Damaged kDamaged[] = {
      // A third table whose class byte is 0x6a.
      {"jpegdecoder-derive-huffman-codes-overflow.jpg", "[HPI_PLUGIN] Wrong DHT segment!", 5884, 5726},
      // A second table in the 3 bytes left of the segment.
      {"jpegdecoder-invalid-dimensions.jpg", "[HPI_PLUGIN] Wrong DHT segment!", 200, 177},
      // An APP14 length of 12,336 in an 8-byte file: its length field.
      {"jpegdecoder-missing-sof.jpg", "[HPI_PLUGIN] Wrong file format!", 4, 2},
      {"pillow-invalid-exif.jpg", "[HPI_PLUGIN] Wrong TIFF IFH(Image File Header)", 12, 2},
      // Cut in the scan data, on a marker's first byte.
      {"pillow-truncated_jpeg.jpg", "[HPI_PLUGIN] Wrong file format!", 6697, 231},
  };
  bool exiv2 = HaveTool("exiv2 --version");
  const std::regex segment(R"(^\s*(\d+) \| 0xff[0-9a-f]{2} )");
  for (const Damaged& d : kDamaged) {
    auto path = CorpusDir() / "jpeg" / d.name;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus";
    auto a = AnalysePath(path, 1, hpi::kRequestPartial);
    ASSERT_TRUE(a.partial) << d.name;
    EXPECT_EQ(a.faults.last.message, d.message) << d.name;
    EXPECT_EQ(a.faults.last.offset, d.offset) << d.name;
    EXPECT_EQ(a.faults.last.size, std::filesystem::file_size(path) - d.offset) << d.name;
    if (!exiv2) continue;
    std::istringstream lines(RunTool("exiv2 -pS " + Quoted(path) + " 2>/dev/null || true").value_or(""));
    std::string line;
    std::uint64_t containing = ~0ull;
    while (std::getline(lines, line)) {
      std::smatch m;
      if (std::regex_search(line, m, segment) && std::stoull(m[1]) <= d.offset) containing = std::stoull(m[1]);
    }
    EXPECT_EQ(containing, d.segment) << d.name;
  }
}

// exiv2 -pR prints each Exif entry with its address relative to the TIFF
// header; every entry the walk shows must be one of them, with the same tag,
// type and count.
TEST(JpegCorpus, ExifEntriesAgreeWithExiv2) {
  if (!HaveTool("exiv2 --version")) GTEST_SKIP() << "exiv2 (Debian package exiv2) is not installed";
  const std::regex app1(R"(^\s*(\d+) \| 0xffe1 APP1\s+\|\s+\d+ \| Exif)");
  const std::regex marker(R"(^\s*\d+ \| 0xff[0-9a-f]{2} )");
  const std::regex entry(R"(^\s+(\d+) \| 0x([0-9a-f]{4}) [^|]*\|\s+(\w+) \|\s+(\d+) \|)");
  const std::map<std::string, std::uint32_t> types{
      {"BYTE", 1},   {"ASCII", 2}, {"SHORT", 3},      {"LONG", 4},   {"RATIONAL", 5}, {"SBYTE", 6}, {"UNDEFINED", 7},
      {"SSHORT", 8}, {"SLONG", 9}, {"SRATIONAL", 10}, {"FLOAT", 11}, {"DOUBLE", 12},  {"IFD", 13}};
  int compared = 0;
  for (const auto& file : CorpusFiles("jpeg")) {
    auto a = AnalysePath(file);
    if (!a.ok) continue;
    auto out = RunTool("exiv2 -pR " + Quoted(file));
    if (!out) continue;
    std::istringstream lines(*out);
    std::string line;
    std::int64_t base = -1;
    std::map<std::uint64_t, EntryFacts> listed;
    while (std::getline(lines, line)) {
      std::smatch m;
      if (base < 0 && std::regex_search(line, m, app1)) {
        base = std::stoll(m[1]) + 4 + 6;
        continue;
      }
      if (base >= 0 && std::regex_search(line, marker)) break;  // the next segment's own structures
      if (base >= 0 && std::regex_search(line, m, entry) && types.count(m[3])) {
        listed[base + std::stoull(m[1])] = {static_cast<std::uint32_t>(std::stoul(m[2], nullptr, 16)), types.at(m[3]),
                                            static_cast<std::uint32_t>(std::stoul(m[4]))};
      }
    }
    if (listed.empty()) continue;
    ++compared;
    for (const auto& [offset, facts] : TreeEntries(a.tree)) {
      if (offset < static_cast<std::uint64_t>(base)) continue;
      auto it = listed.find(offset);
      if (it == listed.end()) continue;  // e.g. a thumbnail's own Exif, which exiv2 does not descend into
      EXPECT_EQ(it->second, facts) << file << " entry at " << offset;
    }
    std::size_t matched = 0;
    for (const auto& [offset, facts] : TreeEntries(a.tree)) matched += listed.count(offset);
    EXPECT_GT(matched, 0u) << file;
  }
  EXPECT_GT(compared, 10);
}

}  // namespace
