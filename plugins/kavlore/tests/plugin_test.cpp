#include <gtest/gtest.h>

#include <cstring>

#include "hpi/exports.h"
#include "tree_helpers.h"

namespace {

using testing_support::AnalyseBytes;
using testing_support::Bytes;
using testing_support::Supports;

TEST(KavloreSupport, FirstBytesChooseTheArchiveKind) {
  EXPECT_EQ(Supports(Bytes().Text("PK\3\4").Zeros(3)), 1);
  EXPECT_EQ(Supports(Bytes().U8(0x1F).U8(0x8B).Zeros(5)), 1);
  EXPECT_EQ(Supports(Bytes().Text("MSCF").Zeros(3)), 1);
  EXPECT_EQ(Supports(Bytes().Zeros(2).Text("-lh5-")), 1);
  EXPECT_EQ(Supports(Bytes().Zeros(2).Text("-pm2-")), 1);
  EXPECT_EQ(Supports(Bytes().Zeros(2).Text("-pm1-")), 1);
  EXPECT_EQ(Supports(Bytes().Zeros(2).Text("-lh0+")), 0);
  EXPECT_EQ(Supports(Bytes().Text("GIF89a").Zeros(20)), 0);
}

// The path entry reads the same first bytes as the host offers, zero-filled alike.
TEST(KavloreSupport, ByPathTheFirstBytesDecideAsTheHeadRecordDoes) {
  auto dir = std::filesystem::temp_directory_path() / "strataview-tests";
  std::filesystem::create_directories(dir);
  auto path = (dir / "support.bin").string();
  Bytes cab;
  cab.Text("hello\n").Text("MSCF").LE32(0).LE32(100).LE32(0).LE32(44).LE32(0).U8(3).U8(1).Zeros(10);
  Bytes gif;
  gif.Text("GIF89a").Zeros(7).U8(0x21).U8(0xFE).U8(30).Text("PK\3\4 is the ZIP signature...").U8(0).U8(0x3B);
  for (Bytes bytes : {Bytes().U8(0x1F).U8(0x8B).U8(8).Zeros(3), cab, gif}) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.Vector().data(), 1, bytes.Size(), f);
    std::fclose(f);
    EXPECT_EQ(HPI_IsSupported(path.c_str(), 1, 0), Supports(bytes)) << bytes.Size();
  }
  EXPECT_EQ(Supports(cab), 1);
  EXPECT_EQ(Supports(gif), 0);
  std::filesystem::remove(path);
}

TEST(KavloreInfo, InfoRecordAndMessages) {
  char info[hpi::kInfoRecordSize] = {};
  HPI_GetPluginInfo(info);
  EXPECT_STREQ(info, "HPI00001");
  EXPECT_EQ(std::string(info + hpi::kInfoDescriptionOffset).substr(0, 63),
            "Kavlore.hpi ver. 1.00 PKZIP/GZIP/CAB/LZH file analyze Plug-In \n");
  EXPECT_STREQ(info + hpi::kInfoFilterNameOffset, "Archived file(*.zip;*.gz;*.cab;*.lzh)");
  EXPECT_STREQ(info + hpi::kInfoFilterPatternOffset, "*.zip;*.gz;*.cab;*.lzh");
  // The Japanese texts are Shift-JIS bytes.
  auto a = AnalyseBytes(Bytes().Text("MSCF").Zeros(10), "a.cab", 0);
  EXPECT_EQ(a.error, "[HPI_PLUGIN] 不正なファイルフォーマットです");
}

}  // namespace
