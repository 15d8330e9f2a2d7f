// Real GIF files: every file is analysed or refused with a named fault, and
// the blocks found agree with an independent walk and with giftext.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "plugin_harness.h"

namespace {

using namespace testing_support;

struct Block {
  std::string name;
  std::uint64_t offset;
  bool operator==(const Block&) const = default;
};

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

const std::array<std::uint8_t, 257> kXmpTrailer = [] {
  std::array<std::uint8_t, 257> t{};
  t[0] = 1;
  for (int i = 1; i < 257; ++i) t[i] = static_cast<std::uint8_t>(256 - i);
  return t;
}();

// A walk of the block sequence written for the test, independent of the plug-in:
// the offsets of the blocks and of the data sub-blocks it finds.
std::vector<Block> WalkBlocks(const std::vector<std::uint8_t>& d) {
  std::vector<Block> blocks;
  std::size_t p = 13;
  if (d.size() > 10 && (d[10] & 0x80)) p += 3 * (2u << (d[10] & 7));
  static const std::map<int, std::string> kNames = {{0x01, "Plain Text Extension"},
                                                    {0xF9, "Graphic Control Extension"},
                                                    {0xFE, "Comment Extension"},
                                                    {0xFF, "Application Extension"}};
  while (p < d.size()) {
    std::size_t q = 0;
    if (d[p] == 0x3B) {
      blocks.push_back({"GIF Trailer", p});
      break;
    }
    if (d[p] == 0x21 && p + 2 < d.size()) {
      blocks.push_back({kNames.at(d[p + 1]), p});
      q = p + 2;
      if (d[p + 1] == 0x01 || d[p + 1] == 0xFF) q += 1 + d[q];  // the fixed first block
      // An XMP packet: raw bytes up to its magic trailer.
      if (d[p + 1] == 0xFF && q <= d.size() &&
          std::string_view(reinterpret_cast<const char*>(&d[p + 3]), 11) == "XMP DataXMP") {
        auto trailer =
            std::search(d.begin() + static_cast<std::ptrdiff_t>(q), d.end(), kXmpTrailer.begin(), kXmpTrailer.end());
        if (trailer != d.end()) {
          blocks.push_back({"XMP Packet", q});
          q = static_cast<std::size_t>(trailer - d.begin());
          blocks.push_back({"XMP Magic Trailer", q});
          q += kXmpTrailer.size();
        }
      }
    } else if (d[p] == 0x2C && p + 10 <= d.size()) {
      blocks.push_back({"Image Descriptor", p});
      q = p + 10 + ((d[p + 9] & 0x80) ? 3 * (2u << (d[p + 9] & 7)) : 0);
      blocks.push_back({"Table Based Image Data", q++});
    } else {
      break;
    }
    for (; q < d.size() && d[q] != 0; q += 1 + d[q]) blocks.push_back({"Data Sub Block", q});
    if (q >= d.size()) break;
    blocks.push_back({"Block Terminator", q});
    p = q + 1;
  }
  return blocks;
}

std::vector<Block> ShownBlocks(const Analysed& a) {
  static const std::set<std::string, std::less<>> kBlockNames = {"Plain Text Extension", "Graphic Control Extension",
                                                                 "Comment Extension",    "Application Extension",
                                                                 "Image Descriptor",     "Table Based Image Data",
                                                                 "Data Sub Block",       "Block Terminator",
                                                                 "GIF Trailer",          "XMP Packet",
                                                                 "XMP Magic Trailer"};
  std::vector<Block> blocks;
  for (auto h : a.tree.At(a.tree.TopLevel()[0]).children) {
    const auto& item = a.tree.At(h);
    if (kBlockNames.contains(item.text)) blocks.push_back({std::string(item.text), RangeOf(a.tree, item).offset});
  }
  return blocks;
}

std::string Shell(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string text;
  if (!pipe) return text;
  std::array<char, 4096> buffer;
  for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;) text.append(buffer.data(), n);
  return text;
}

// giftext's view of the file: extension codes and image geometry, in order.
std::vector<std::string> GiftextSequence(const std::filesystem::path& path) {
  std::vector<std::string> sequence;
  std::istringstream lines(Shell("giftext '" + path.string() + "' 2>/dev/null"));
  for (std::string line; std::getline(lines, line);) {
    if (auto at = line.find("(Ext Code = "); at != std::string::npos) {
      sequence.push_back("ext " + std::to_string(std::stoi(line.substr(at + 12))));
    } else if (auto size = line.find("Image Size - "); size != std::string::npos) {
      sequence.push_back(line.substr(size + 13));
    }
  }
  return sequence;
}

std::vector<std::string> ShownSequence(const Analysed& a) {
  static const std::map<std::string, int, std::less<>> kCodes = {{"Plain Text Extension", 1},
                                                                 {"Graphic Control Extension", 249},
                                                                 {"Comment Extension", 254},
                                                                 {"Application Extension", 255}};
  std::vector<std::string> sequence;
  const auto& top = a.tree.At(a.tree.TopLevel()[0]).children;
  for (std::size_t i = 0; i < top.size(); ++i) {
    const auto& item = a.tree.At(top[i]);
    if (auto code = kCodes.find(item.text); code != kCodes.end()) {
      sequence.push_back("ext " + std::to_string(code->second));
    } else if (item.text == "Image Descriptor") {
      auto number = [&](const char* name) {
        for (auto c : item.children) {
          std::string value = ValueOf(a.tree, a.tree.At(c));
          if (a.tree.At(c).text == name) return std::stoi(value.substr(value.find('(') + 1));
        }
        return -1;
      };
      char text[96];
      std::snprintf(text, sizeof text, "Left = %d, Top = %d, Width = %d, Height = %d.", number("Image Left Position"),
                    number("Image Top Position"), number("Image Width"), number("Image Height"));
      sequence.push_back(text);
    }
  }
  return sequence;
}

TEST(GifCorpus, EveryFileIsAnalysedOrRefusedWithANamedFault) {
  auto files = CorpusFiles("gif");
  if (files.empty()) GTEST_SKIP() << "no GIF corpus";
  const std::set<std::string> kRefusals = {"[HPI_PLUGIN] Wrong file format!"};
  int analysed = 0;
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    auto a = AnalysePath(file);
    EXPECT_EQ(a.readerFault, 0);
    if (!a.ok) {
      EXPECT_TRUE(kRefusals.contains(a.error)) << a.error;
      continue;
    }
    ++analysed;
    EXPECT_EQ(ShownBlocks(a), WalkBlocks(ReadAll(file)));
  }
  EXPECT_GE(analysed, static_cast<int>(files.size()) * 3 / 4);
}

TEST(GifCorpus, BlocksAgreeWithGiftext) {
  auto files = CorpusFiles("gif");
  if (files.empty()) GTEST_SKIP() << "no GIF corpus";
  if (Shell("command -v giftext").empty()) GTEST_SKIP() << "giftext (giflib-tools) is not installed";
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    if (Shell("giftext '" + file.string() + "' 2>&1").find("GIF file terminated normally") == std::string::npos) {
      continue;  // giftext cannot walk it to the end
    }
    auto a = AnalysePath(file);
    if (!a.ok) continue;
    EXPECT_EQ(ShownSequence(a), GiftextSequence(file));
  }
}

TEST(GifCorpus, TruncatedAnimationFails) {
  auto path = CorpusDir() / "gif" / "gen-truncated-anim.gif";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no GIF corpus";
  EXPECT_EQ(AnalysePath(path).error, "[HPI_PLUGIN] Wrong file format!");
}

// GIF87a files with extension blocks, which every decoder reads.
TEST(GifCorpus, ExtensionsIn87aFilesAreWalked) {
  for (const char* name : {"pillow-background_outside_palette.gif", "pillow-comment_after_only_frame.gif",
                           "pillow-hopper_zero_comment_subblocks.gif", "pillow-missing_background.gif"}) {
    SCOPED_TRACE(name);
    auto path = CorpusDir() / "gif" / name;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no GIF corpus";
    auto a = AnalysePath(path);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(ValueOf(a.tree, *Find(a.tree, "GIF Version")), "87a");
    EXPECT_NE(Find(a.tree, "the GIF Version is 87a; extension blocks came with 89a"), nullptr);
    EXPECT_NE(Find(a.tree, "GIF Trailer"), nullptr);
  }
}

TEST(GifCorpus, XmpPacketIsOneRange) {
  auto path = CorpusDir() / "gif" / "pillow-transparent.gif";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no GIF corpus";
  auto a = AnalysePath(path);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "XMP Packet")), (Range{795, 786}));
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "XMP Magic Trailer")), (Range{1581, 257}));
}

}  // namespace
