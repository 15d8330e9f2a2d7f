// Real icons and cursors: each is analysed or refused with a named fault, and
// the modern ones with 256-pixel and PNG images are analysed.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "tree_notes.h"

namespace {

using namespace testing_support;
using voltane_test::NoteOf;

int ShownImages(const Analysed& a) {
  int images = 0;
  for (auto h : a.tree.At(a.tree.TopLevel()[0]).children) {
    std::string_view text = a.tree.At(h).text;
    if (text.starts_with("ICONIMAGE[") || text.starts_with("PNG image data[")) ++images;
  }
  return images;
}

void CheckFolder(const char* format) {
  auto files = CorpusFiles(format);
  if (files.empty()) GTEST_SKIP() << "no " << format << " corpus";
  const std::set<std::string> kRefusals = {"[HPI_PLUGIN] Wrong file format!", "[HPI_PLUGIN] File read error!"};
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    auto a = AnalysePath(file);
    EXPECT_EQ(a.readerFault, 0);
    if (!a.ok) {
      EXPECT_TRUE(kRefusals.contains(a.error)) << a.error;
      continue;
    }
    auto idCount = ValueOf(a.tree, *Find(a.tree, "idCount"));
    EXPECT_EQ(ShownImages(a), std::stoi(idCount.substr(idCount.find('(') + 1)));
    EXPECT_NE(a.report.find(" number\t: "), std::string::npos);
  }
}

TEST(IconCorpus, EveryIconIsAnalysedOrRefused) { CheckFolder("ico"); }
TEST(IconCorpus, EveryCursorIsAnalysedOrRefused) { CheckFolder("cur"); }

TEST(IconCorpus, ModernIconsAreAnalysed) {
  for (const char* name : {"ico/faint-faint-icon.ico", "ico/gen-rose-multi.ico", "ico/pillow-hopper_256x256.ico",
                           "ico/imagers-png_rgb8.ico", "cur/faint-24bipp-256x256.cur"}) {
    auto path = CorpusDir() / name;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no icon corpus";
    auto a = AnalysePath(path);
    EXPECT_TRUE(a.ok) << name << ": " << a.error;
  }
}

// Images taken where the directory points, gaps and all; sizes that disagree
// with dwBytesInRes are noted.
TEST(IconCorpus, GapsAndDisagreeingSizesAreShown) {
  auto faint = CorpusDir() / "ico" / "faint-faint-icon.ico";
  if (!std::filesystem::exists(faint)) GTEST_SKIP() << "no icon corpus";
  std::vector<std::uint8_t> head(2000);
  std::ifstream(faint, std::ios::binary).read(reinterpret_cast<char*>(head.data()), 2000);
  EXPECT_EQ(Supports(head), 1);
  auto a = AnalysePath(faint);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(ShownImages(a), 15);
  EXPECT_EQ(RangeOf(a.tree, *Find(a.tree, "Gap")), (Range{246, 54}));

  auto pillow = AnalysePath(CorpusDir() / "ico" / "pillow-pillow.ico");
  ASSERT_TRUE(pillow.ok) << pillow.error;
  EXPECT_EQ(ShownImages(pillow), 5);
  EXPECT_EQ(NoteOf(pillow.tree, *Find(pillow.tree, "ICONIMAGE[1]")),
            "dwBytesInRes is 9832; header, palette and masks take 9640 bytes");
  auto cursor = AnalysePath(CorpusDir() / "cur" / "pillow-mask_L.cur");
  ASSERT_TRUE(cursor.ok) << cursor.error;
  EXPECT_EQ(NoteOf(cursor.tree, *Find(cursor.tree, "ICONIMAGE[0]")),
            "dwBytesInRes is 8; header, palette and masks take 1096 bytes");
  EXPECT_EQ(RangeOf(cursor.tree, *Find(cursor.tree, "icAND(DIB image for AND mask)")), (Range{1102, 16}));
}

// Each ends with a note where the file ends, and fails.
TEST(IconCorpus, TruncatedFilesAreRefused) {
  for (const char* name : {"ico/gen-truncated.ico", "cur/gen-truncated.cur", "ico/imagers-truncated_mask_32bpp.ico"}) {
    auto path = CorpusDir() / name;
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no icon corpus";
    EXPECT_EQ(AnalysePath(path).error, "[HPI_PLUGIN] Wrong file format!") << name;
  }
}

}  // namespace
