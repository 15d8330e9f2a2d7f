// The real archives of the corpus, and what independent readers say about them.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "tree_helpers.h"

namespace {

using namespace kavlore_test;
using testing_support::Analysed;
using testing_support::AnalysePath;
using testing_support::CorpusFiles;
using testing_support::Find;
using testing_support::Range;
using testing_support::RangeOf;
namespace fs = std::filesystem;

// The output of a shell command, or nothing when it could not run.
std::optional<std::string> RunTool(const std::string& command) {
  std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string output;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  int status = pclose(pipe);
  if (status != 0) return std::nullopt;
  return output;
}

bool HaveTool(const std::string& name) { return RunTool("command -v " + name).has_value(); }

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

std::vector<std::string> Values(const ItemTree& tree, const std::string& name) {
  std::vector<std::string> values;
  for (const Item& item : tree.Items()) {
    if (item.text == name) values.push_back(testing_support::ValueOf(tree, item));
  }
  return values;
}

std::size_t Count(const ItemTree& tree, const std::string& name) { return Values(tree, name).size(); }

// The number in a value text "0x...(N) ...".
std::string Decimal(const std::string& value) {
  std::smatch m;
  return std::regex_search(value, m, std::regex("\\((\\d+)\\)")) ? m[1].str() : value;
}

TEST(Corpus, EveryArchiveIsAnalysedOrNamesItsFault) {
  std::size_t files = 0;
  std::map<std::string, int> outcomes;
  for (const char* format : {"zip", "gzip", "cab", "lzh"}) {
    for (const fs::path& path : CorpusFiles(format)) {
      ++files;
      Analysed a = AnalysePath(path);
      if (a.ok) {
        EXPECT_EQ(a.readerFault, 0) << path;
        ++outcomes["analysed"];
      } else {
        EXPECT_FALSE(a.error.empty()) << path;
        EXPECT_NE(a.error, "[XPI_PLUGIN] Unkown error!") << path;
        ++outcomes[a.error];
      }
    }
  }
  if (files == 0) GTEST_SKIP() << "no corpus";
  for (const auto& [outcome, count] : outcomes) std::printf("  %4d  %s\n", count, outcome.c_str());
}

TEST(Corpus, SelfExtractingStreamedAndEncryptedZipArchives) {
  struct Expected {
    const char* file;
    const char* item;
    Range range;
  };
  const Expected cases[] = {
      {"libarchive-zip_sfx.exe", "Leading data", {0, 1024}},
      {"python-exe_with_zip.zip", "Leading data", {0, 713}},
      {"pigz-zip64-dd.zip", "Data descriptor[1]", {0x10AE, 24}},
      {"bsdtar-streamed.zip", "Data descriptor[3]", {0x2D2, 16}},
      {"go-no-datadesc-sig.zip", "Data descriptor[1]", {0x41, 12}},
      {"libarchive-encryption_header.zip", "Central directory(encrypted)", {0x2EA, 0x1A6}},
  };
  for (const Expected& c : cases) {
    fs::path path = testing_support::CorpusDir() / "zip" / c.file;
    if (!fs::exists(path)) continue;
    Analysed a = AnalysePath(path);
    ASSERT_TRUE(a.ok) << c.file << ": " << a.error;
    const Item* item = Find(a.tree, c.item);
    ASSERT_NE(item, nullptr) << c.file << ": " << c.item;
    EXPECT_EQ(RangeOf(a.tree, *item), c.range) << c.file;
  }
}

// Python's zipfile finds the entries through the central directory; the walk
// reaches them one after the other and must find the same headers and data.
TEST(Corpus, ZipHeadersAndDataAgreeWithPythonsZipfile) {
  if (!HaveTool("python3")) GTEST_SKIP() << "python3 is missing";
  const char* script =
      "import sys,zipfile,struct\n"
      "for f in sys.argv[1:]:\n"
      "  try:\n"
      "    with zipfile.ZipFile(f) as z:\n"
      "      for i in z.infolist():\n"
      "        z.fp.seek(i.header_offset); h=z.fp.read(30); n,m=struct.unpack('<HH',h[26:30])\n"
      "        print(f, i.header_offset, i.header_offset+30+n+m, i.compress_size)\n"
      "  except Exception: pass\n";
  // zipfile takes the end record of the archive stored in this one's comment.
  const std::string skipped = "libzip-zip-in-archive-comment.zip";
  std::string command = "python3 -c \"" + std::string(script) + "\"";
  for (const fs::path& path : CorpusFiles("zip")) command += " " + Quoted(path);
  auto listing = RunTool(command);
  if (!listing) GTEST_SKIP() << "python3 failed";
  std::map<std::string, Analysed> analysed;
  int compared = 0;
  std::istringstream lines(*listing);
  std::string file;
  std::uint64_t offset, dataStart, size;
  while (lines >> file >> offset >> dataStart >> size) {
    if (fs::path(file).filename() == skipped) continue;
    if (!analysed.count(file)) analysed.emplace(file, AnalysePath(file));
    const Analysed& a = analysed.at(file);
    if (!a.ok) continue;
    std::size_t k = 1;
    for (;; ++k) {
      const Item* header = Find(a.tree, "local file header[" + std::to_string(k) + "]");
      ASSERT_NE(header, nullptr) << file << ": no local header at " << offset;
      if (RangeOf(a.tree, *Child(a.tree, header, "local file header signature")).offset == offset) break;
    }
    const Item* data = Find(a.tree, "Compressed file data[" + std::to_string(k) + "]");
    if (size == 0) {
      EXPECT_EQ(data, nullptr) << file;
    } else {
      ASSERT_NE(data, nullptr) << file << " entry at " << offset;
      EXPECT_EQ(RangeOf(a.tree, *data), (Range{dataStart, size})) << file;
    }
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "no archive to compare";
}

TEST(Corpus, GzipTrailersAgreeWithGzip) {
  if (!HaveTool("gzip")) GTEST_SKIP() << "gzip is missing";
  int compared = 0;
  for (const char* name : {"gzip-fname.gz", "gzip-9-noname.gz", "pigz-fname-fcomment.gz", "python-gzip-fname.gz",
                           "7zip.gz", "debian-gzip.1.gz", "gzip-empty.gz"}) {
    fs::path path = testing_support::CorpusDir() / "gzip" / name;
    auto listing = RunTool("gzip -l " + Quoted(path));
    if (!fs::exists(path) || !listing) continue;
    Analysed a = AnalysePath(path);
    ASSERT_TRUE(a.ok) << path << ": " << a.error;
    std::istringstream lines(*listing);
    std::string header, line;
    std::getline(lines, header);
    std::uint64_t compressed = 0, uncompressed = 0;
    lines >> compressed >> uncompressed;
    EXPECT_EQ(Decimal(testing_support::ValueOf(a.tree, *Find(a.tree, "ISIZE"))), std::to_string(uncompressed)) << path;
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "no gzip file to compare";
}

TEST(Corpus, CabinetFilesAgreeWithCabextract) {
  if (!HaveTool("cabextract")) GTEST_SKIP() << "cabextract is missing";
  int compared = 0;
  for (const fs::path& path : CorpusFiles("cab")) {
    auto listing = RunTool("cabextract -q -l " + Quoted(path));
    Analysed a = AnalysePath(path);
    if (!listing || !a.ok) continue;
    std::vector<std::string> sizes;
    std::istringstream lines(*listing);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
      if (std::regex_search(line, m, std::regex("^\\s*(\\d+) \\| "))) sizes.push_back(m[1].str());
    }
    if (sizes.empty()) continue;
    std::vector<std::string> ours;
    for (const std::string& v : Values(a.tree, "cbFile(uncompressed file size)")) ours.push_back(Decimal(v));
    // cabextract goes on searching after the first cabinet, into the files stored in it.
    if (Find(a.tree, "Trailing data") != nullptr && ours.size() < sizes.size()) sizes.resize(ours.size());
    EXPECT_EQ(ours, sizes) << path;
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "no cabinet to compare";
}

TEST(Corpus, LzhEntriesAgreeWithLha) {
  if (!HaveTool("lha")) GTEST_SKIP() << "lha is missing";
  // lha does not list these OS-9/68K level-0 entries, stops at this damaged symbolic link, and does not
  // look as far as 36 KiB into a self-extracting program.
  const std::set<std::string> skipped = {"lhasa-lha_osk_201-h0_subdir.lzh", "libarchive-lha_symlink_missing_target.lzh",
                                         "lhasa-explzh_723-declha_sfx_ansi.exe"};
  int compared = 0;
  for (const fs::path& path : CorpusFiles("lzh")) {
    if (skipped.count(path.filename().string())) continue;
    auto listing = RunTool("lha l " + Quoted(path));
    Analysed a = AnalysePath(path);
    std::smatch m;
    if (!listing || !a.ok || !std::regex_search(*listing, m, std::regex("Total\\s+(\\d+) file"))) continue;
    std::size_t headers = Count(a.tree, "Archived file header") + Count(a.tree, "Base file header");
    EXPECT_EQ(std::to_string(headers), m[1].str()) << path;
    ++compared;
  }
  if (compared == 0) GTEST_SKIP() << "no archive to compare";
}

}  // namespace
