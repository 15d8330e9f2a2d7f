// The corpus sound files checked against a chunk walker of the test's own and,
// where it is installed, against sox's reading of channels and sample rate.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>

#include "sound_builder.h"

namespace {

using namespace testing_support;
using namespace sorvane_test;

const std::set<std::string> kMessages = {
    "[HPI_PLUGIN] File read error!",    "[HPI_PLUGIN] Wrong file format!",
    "[HPI_PLUGIN] Wrong fmt chunk!",    "[HPI_PLUGIN] Wrong data chunk!",
    "[HPI_PLUGIN] Wrong chunk format!", "[HPI_PLUGIN] Wrong Common chunk!",
    "[HPI_PLUGIN] Wrong list chunk!",   "[HPI_PLUGIN] Wrong Sound Data Version chunk!",
};

// Corpus paths (such as "wav/x.wav") that the manifests mark as damaged on purpose.
std::set<std::string> DamagedFiles() {
  std::set<std::string> damaged;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusDir())) {
    if (!entry.path().filename().string().starts_with("MANIFEST-")) continue;
    std::ifstream in(entry.path());
    for (std::string line; std::getline(in, line);) {
      if (line.find("\tdamaged:") != std::string::npos) damaged.insert(line.substr(0, line.find('\t')));
    }
  }
  return damaged;
}

ByteVector ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return ByteVector(std::istreambuf_iterator<char>(in), {});
}

struct RawChunk {
  std::uint64_t offset;
  std::uint64_t size;
  bool operator==(const RawChunk&) const = default;
};

// The top-level chunks after the 12-byte RIFF or FORM header.
std::vector<RawChunk> WalkChunks(const ByteVector& b) {
  bool bigEndian = b[0] == 'F' || b[3] == 'X';
  std::vector<RawChunk> chunks;
  for (std::uint64_t at = 12; at + 8 <= b.size();) {
    const std::uint8_t* p = b.data() + at + 4;
    std::uint64_t size = bigEndian ? (std::uint64_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3])
                                   : (std::uint64_t{p[3]} << 24 | p[2] << 16 | p[1] << 8 | p[0]);
    chunks.push_back({at, size});
    at += 8 + size + (size & 1);
  }
  return chunks;
}

// The number in a value text such as "0x0000ac44(44100) Hz".
std::uint64_t NumberIn(const std::string& value) {
  return std::strtoull(value.c_str() + value.find('(') + 1, nullptr, 10);
}

// Chunk headings of the tree: the top items that carry a size field.
std::vector<RawChunk> TreeChunks(const strataview::ItemTree& tree) {
  std::vector<RawChunk> chunks;
  const auto& root = tree.At(tree.TopLevel()[0]);
  for (strataview::ItemHandle h : root.children) {
    const auto& item = tree.At(h);
    const auto* size = Child(tree, item, "ChunkSize");
    if (size == nullptr) size = Child(tree, item, "ckSize");
    if (size != nullptr) chunks.push_back({RangeOf(tree, item).offset, NumberIn(ValueOf(tree, *size))});
  }
  return chunks;
}

// What sox reads: channels and sample rate; nothing when sox cannot read the file.
std::optional<std::pair<int, double>> SoxInfo(const std::filesystem::path& path) {
#if defined(_WIN32)
  (void)path;
  return std::nullopt;
#else
  auto ask = [&](const char* option) -> std::optional<double> {
    std::string command = std::string("sox --i ") + option + " '" + path.string() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    char line[64] = {};
    bool got = std::fgets(line, sizeof line, pipe) != nullptr;
    int status = pclose(pipe);
    if (!got || status != 0) return std::nullopt;
    return std::strtod(line, nullptr);
  };
  auto channels = ask("-c");
  auto rate = ask("-r");
  if (!channels || !rate) return std::nullopt;
  return std::make_pair(static_cast<int>(*channels), *rate);
#endif
}

// What sox counts as the file's sample frames; nothing when it cannot read it.
std::optional<std::uint64_t> SoxFrames(const std::filesystem::path& path) {
#if defined(_WIN32)
  (void)path;
  return std::nullopt;
#else
  std::string command = "sox --i -s '" + path.string() + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  char line[64] = {};
  bool got = std::fgets(line, sizeof line, pipe) != nullptr;
  if (pclose(pipe) != 0 || !got) return std::nullopt;
  return std::strtoull(line, nullptr, 10);
#endif
}

bool SoxInstalled() {
#if defined(_WIN32)
  return false;
#else
  return std::system("sox --version >/dev/null 2>&1") == 0;
#endif
}

std::vector<std::filesystem::path> SoundFiles() {
  std::vector<std::filesystem::path> files;
  for (const char* format : {"wav", "aiff", "aifc", "au"}) {
    auto more = CorpusFiles(format);
    files.insert(files.end(), more.begin(), more.end());
  }
  return files;
}

TEST(SoundCorpus, EveryFileIsAnalysedOrRefusedWithAMessage) {
  auto files = SoundFiles();
  if (files.empty()) GTEST_SKIP() << "no corpus at " << CorpusDir();
  auto damaged = DamagedFiles();
  int analysed = 0;
  for (const auto& file : files) {
    auto bytes = ReadFile(file);
    std::string name = file.parent_path().filename().string() + "/" + file.filename().string();
    if (Supports(bytes) == 0) continue;
    auto a = AnalysePath(file);
    EXPECT_EQ(a.readerFault, 0) << file;
    if (a.ok) {
      ++analysed;
    } else {
      EXPECT_TRUE(kMessages.contains(a.error)) << file << ": " << a.error;
      EXPECT_TRUE(damaged.contains(name)) << file << ": " << a.error;
    }
  }
  EXPECT_GT(analysed, static_cast<int>(files.size()) * 3 / 4);
}

TEST(SoundCorpus, ChunkOffsetsAndSizesMatchAnIndependentWalk) {
  auto files = SoundFiles();
  if (files.empty()) GTEST_SKIP() << "no corpus at " << CorpusDir();
  for (const auto& file : files) {
    auto bytes = ReadFile(file);
    bool au = bytes.size() >= 4 && (bytes[0] == '.' || bytes[0] == 'd');
    if (bytes.size() < 12 || au || Supports(bytes) == 0) continue;
    auto a = AnalysePath(file);
    if (!a.ok) continue;
    EXPECT_EQ(TreeChunks(a.tree), WalkChunks(bytes)) << file;
  }
}

// The tree's channels and rate of a file analysed without error.
std::optional<std::pair<int, std::uint64_t>> TreeFormat(const strataview::ItemTree& tree) {
  const char* names[][2] = {
      {"nChannels", "nSamplesPerSec"}, {"numChannels", "sampleRate"}, {"channels", "sample rate"}};
  for (const auto& pair : names) {
    const auto* channels = Find(tree, pair[0]);
    const auto* rate = Find(tree, pair[1]);
    if (channels == nullptr || rate == nullptr) continue;
    std::string rateText = ValueOf(tree, *rate);
    std::uint64_t hertz = rateText.starts_with("0x") && rateText.find("Hz)") != std::string::npos
                              ? std::strtoull(rateText.c_str() + rateText.find('(') + 1, nullptr, 10)
                              : NumberIn(rateText);
    return std::make_pair(static_cast<int>(NumberIn(ValueOf(tree, *channels))), hertz);
  }
  return std::nullopt;
}

TEST(SoundCorpus, ChannelsAndRatesAgreeWithSox) {
  if (!SoxInstalled()) GTEST_SKIP() << "sox is not installed (Debian package sox)";
  auto files = SoundFiles();
  if (files.empty()) GTEST_SKIP() << "no corpus at " << CorpusDir();
  int compared = 0;
  for (const auto& file : files) {
    auto a = AnalysePath(file);
    auto sox = SoxInfo(file);
    if (!a.ok || !sox) continue;
    auto ours = TreeFormat(a.tree);
    ASSERT_TRUE(ours.has_value()) << file;
    EXPECT_EQ(ours->first, sox->first) << file;
    EXPECT_LE(std::fabs(static_cast<double>(ours->second) - sox->second), 0.5) << file;
    ++compared;
  }
  EXPECT_GT(compared, 50);
}

// The frame count noted beneath the sound data's size or rate.
TEST(SoundCorpus, FrameCountsAgreeWithSox) {
  if (!SoxInstalled()) GTEST_SKIP() << "sox is not installed (Debian package sox)";
  auto files = SoundFiles();
  if (files.empty()) GTEST_SKIP() << "no corpus at " << CorpusDir();
  auto damaged = DamagedFiles();
  int compared = 0;
  for (const auto& file : files) {
    // sox counts the frames of the sizes as stored, also past the end of a damaged file.
    std::string name = file.parent_path().filename().string() + "/" + file.filename().string();
    if (damaged.contains(name)) continue;
    // sox divides 20-bit data by 20 bits; the file's frames are nBlockAlign (3) bytes.
    if (name == "wav/scipy-test-1234Hz-le-1ch-10S-20bit-extra.wav") continue;
    auto a = AnalysePath(file);
    auto sox = SoxFrames(file);
    if (!a.ok || !sox) continue;
    for (const auto& item : a.tree.Items()) {
      if (item.text.find(" sample frames") == std::string_view::npos) continue;
      EXPECT_EQ(std::strtoull(std::string(item.text).c_str(), nullptr, 10), *sox) << file;
      ++compared;
      break;
    }
  }
  EXPECT_GT(compared, 40);
}

}  // namespace
