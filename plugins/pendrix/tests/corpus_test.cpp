// The real files of the corpus: each is analysed into a valid stream or refused
// with a message that names the fault, and the chunks found agree with pngcheck.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "plugin_harness.h"

namespace {

using namespace testing_support;

struct ChunkSeen {
  std::string type;
  std::uint64_t offset;  // of the type field
  std::uint64_t length;
  bool operator==(const ChunkSeen&) const = default;
};

[[maybe_unused]] std::ostream& operator<<(std::ostream& os, const ChunkSeen& c) {
  return os << c.type << "@" << c.offset << "+" << c.length;
}

std::vector<std::filesystem::path> AllCorpusFiles() {
  std::vector<std::filesystem::path> all;
  for (const char* format : {"png", "mng", "jng"}) {
    auto files = CorpusFiles(format);
    all.insert(all.end(), files.begin(), files.end());
  }
  return all;
}

// The number in parentheses of a value text such as "0x0000000d(13)".
std::uint64_t Decimal(const std::string& value) {
  auto open = value.find('(');
  return open == std::string::npos ? 0 : std::stoull(value.substr(open + 1));
}

// The chunk items in file order: the type from the item's value, the offset
// of its type field, and its "Chunk data size".
std::vector<ChunkSeen> ChunksOf(const Analysed& a) {
  std::vector<ChunkSeen> chunks;
  for (const auto& item : a.tree.Items()) {
    if (!item.text.ends_with(" Chunk")) continue;
    std::uint32_t code = static_cast<std::uint32_t>(Decimal(ValueOf(a.tree, item)));
    std::string type{static_cast<char>(code >> 24), static_cast<char>(code >> 16), static_cast<char>(code >> 8),
                     static_cast<char>(code)};
    std::uint64_t length = 0;
    for (auto child : item.children) {
      if (a.tree.At(child).text == "Chunk data size") length = Decimal(ValueOf(a.tree, a.tree.At(child)));
    }
    chunks.push_back({type, RangeOf(a.tree, item).offset, length});
  }
  return chunks;
}

#if !defined(_WIN32)
bool HavePngcheck() { return std::system("command -v pngcheck > /dev/null 2>&1") == 0; }

// pngcheck -v lists "chunk IHDR at offset 0x0000c, length 13" with the offset
// of the type field; it stops at the first error it finds.
std::vector<ChunkSeen> PngcheckChunks(const std::filesystem::path& file) {
  std::vector<ChunkSeen> chunks;
  std::string command = "pngcheck -v '" + file.string() + "' 2>/dev/null";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return chunks;
  static const std::regex line(R"(^\s*chunk (\S{4}) at offset 0x([0-9a-f]+), length (\d+))");
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
    std::cmatch m;
    if (std::regex_search(buffer, m, line)) {
      chunks.push_back({m[1].str(), std::stoull(m[2].str(), nullptr, 16), std::stoull(m[3].str())});
    }
  }
  pclose(pipe);
  return chunks;
}
#endif

TEST(Corpus, EveryFileIsAnalysedOrRefusedWithAMessage) {
  auto files = AllCorpusFiles();
  if (files.empty()) GTEST_SKIP() << "no corpus at " << CorpusDir();
  const std::regex known(
      R"(\[HPI_PLUGIN\] (Wrong file format!|Wrong file signature!|File read error!|Wrong \S{4} chunk!))");
  int analysed = 0;
  for (const auto& file : files) {
    auto a = AnalysePath(file);
    if (a.ok) {
      ++analysed;
      EXPECT_EQ(a.readerFault, 0) << file;
      EXPECT_FALSE(ChunksOf(a).empty()) << file;
    } else {
      EXPECT_TRUE(std::regex_match(a.error, known)) << file << ": " << a.error;
      std::printf("refused %s: %s\n", file.filename().string().c_str(), a.error.c_str());
    }
  }
  std::printf("%d of %zu files analysed\n", analysed, files.size());
}

TEST(Corpus, ChunkOffsetsAndLengthsAgreeWithPngcheck) {
#if defined(_WIN32)
  GTEST_SKIP() << "pngcheck is run on the native build only";
#else
  if (!HavePngcheck()) GTEST_SKIP() << "pngcheck is not installed (Debian package pngcheck)";
  auto files = AllCorpusFiles();
  if (files.empty()) GTEST_SKIP() << "no corpus at " << CorpusDir();
  int compared = 0;
  for (const auto& file : files) {
    auto a = AnalysePath(file);
    if (!a.ok) continue;
    auto ours = ChunksOf(a);
    auto theirs = PngcheckChunks(file);
    // pngcheck stops at a bad CRC or a chunk it rejects; what it lists must
    // be where the walk found it.
    ASSERT_LE(theirs.size(), ours.size()) << file;
    for (std::size_t i = 0; i < theirs.size(); ++i) EXPECT_EQ(ours[i], theirs[i]) << file << " chunk " << i;
    compared += !theirs.empty();
  }
  EXPECT_GT(compared, 0);
#endif
}

}  // namespace
