// The corpus TIFFs against tiffdump's directory chain and exiv2's entry addresses.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "corpus_tools.h"

namespace {

using namespace testing_support;
using namespace tiffjpeg_test;

TEST(TiffCorpus, EveryFileIsAnalysedOrNamesItsFault) {
  auto files = CorpusFiles("tiff");
  if (files.empty()) GTEST_SKIP() << "no corpus";
  EXPECT_GE(CheckCorpus("tiff"), static_cast<int>(files.size()) - 12);
}

TEST(TiffCorpus, LoopsAndGpsDirectoriesAreAnalysed) {
  for (const char* name : {"libtiff-test_ifd_loop_to_first.tif", "libtiff-test_ifd_loop_to_self.tif",
                           "gen-exif-gps.tif", "libtiff-custom_dir_EXIF_GPS.tiff"}) {
    auto path = CorpusDir() / "tiff" / name;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus";
    auto a = AnalysePath(path);
    EXPECT_TRUE(a.ok) << name << ": " << a.error;
  }
  auto gps = AnalysePath(CorpusDir() / "tiff" / "gen-exif-gps.tif");
  EXPECT_NE(Find(gps.tree, "GPSVersionID"), nullptr);
}

// tiffdump lists the chain's directories with their offsets and, per entry,
// tag, type and count in file order.
TEST(TiffCorpus, DirectoryChainAgreesWithTiffdump) {
  if (!HaveTool("command -v tiffdump")) GTEST_SKIP() << "tiffdump (Debian package libtiff-tools) is not installed";
  const std::regex directory(R"(^Directory (\d+): offset (\d+))");
  // A tag or a type without a name is printed as its number and its hex form;
  // tag names may hold spaces ("ICC Profile (34675)").
  const std::regex entry(
      R"(^(?:[^(]+ \((\d+)\)|(\d+) \(0x[0-9a-f]+\)) (?:\S+ \((\d+)\)|(\d+) \(0x[0-9a-f]+\)) (\d+)<)");
  int compared = 0;
  for (const auto& file : CorpusFiles("tiff")) {
    auto a = AnalysePath(file);
    auto out = RunTool("tiffdump " + Quoted(file));
    if (!a.ok || !out) continue;
    auto entries = TreeEntries(a.tree);
    std::istringstream lines(*out);
    std::string line;
    std::vector<EntryFacts> expected;
    std::uint64_t start = 0;
    auto check = [&] {
      if (expected.empty()) return;
      std::vector<EntryFacts> walked;
      for (auto it = entries.lower_bound(start); it != entries.end() && it->first < start + 2 + 12 * expected.size();
           ++it) {
        walked.push_back(it->second);
      }
      EXPECT_EQ(walked, expected) << file << " directory at " << start;
      ++compared;
    };
    while (std::getline(lines, line)) {
      std::smatch m;
      if (std::regex_search(line, m, directory)) {
        check();
        expected.clear();
        start = std::stoull(m[2]);
        const auto* item = Find(a.tree, "IFD " + std::string(m[1]));
        ASSERT_NE(item, nullptr) << file << " " << line;
        EXPECT_EQ(RangeOf(a.tree, *item).offset, start) << file;
      } else if (std::regex_search(line, m, entry)) {
        std::string tag = m[1].matched ? m[1].str() : m[2].str();
        std::string type = m[3].matched ? m[3].str() : m[4].str();
        expected.push_back({static_cast<std::uint32_t>(std::stoul(tag)), static_cast<std::uint32_t>(std::stoul(type)),
                            static_cast<std::uint32_t>(std::stoul(m[5]))});
      }
    }
    check();
  }
  EXPECT_GT(compared, 30);
}

// exiv2 -pS prints the entries of the first directory and of the directories
// it points to, each with its file offset.
TEST(TiffCorpus, EntryOffsetsAgreeWithExiv2) {
  if (!HaveTool("exiv2 --version")) GTEST_SKIP() << "exiv2 (Debian package exiv2) is not installed";
  const std::regex entry(R"(^(\s+)(\d+) \| 0x([0-9a-f]{4}) [^|]*\|\s+\w+ \|\s+(\d+) \|)");
  int compared = 0;
  for (const auto& file : CorpusFiles("tiff")) {
    auto a = AnalysePath(file);
    auto out = RunTool("exiv2 -pS " + Quoted(file));
    if (!a.ok || !out) continue;
    auto entries = TreeEntries(a.tree);
    std::istringstream lines(*out);
    std::string line;
    std::size_t indent = std::string::npos;
    while (std::getline(lines, line)) {
      std::smatch m;
      if (!std::regex_search(line, m, entry)) continue;
      if (indent == std::string::npos) indent = m[1].length();
      if (static_cast<std::size_t>(m[1].length()) != indent) continue;  // sub-directories exiv2 follows
      auto it = entries.find(std::stoull(m[2]));
      ASSERT_NE(it, entries.end()) << file << ": " << line;
      EXPECT_EQ(it->second.tag, std::stoul(m[3], nullptr, 16)) << file << ": " << line;
      EXPECT_EQ(it->second.count, std::stoul(m[4])) << file << ": " << line;
      ++compared;
    }
  }
  EXPECT_GT(compared, 300);
}

}  // namespace
