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
  EXPECT_EQ(Supports(Bytes().Zeros(2).Text("-lh0+")), 0);
  EXPECT_EQ(Supports(Bytes().Text("GIF89a").Zeros(20)), 0);
}

TEST(KavloreSupport, ByPathSevenBytesAreNeeded) {
  auto dir = std::filesystem::temp_directory_path() / "strataview-tests";
  std::filesystem::create_directories(dir);
  auto path = (dir / "short.gz").string();
  for (std::size_t length : {6u, 7u}) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const unsigned char bytes[7] = {0x1F, 0x8B, 8, 0, 0, 0, 0};
    std::fwrite(bytes, 1, length, f);
    std::fclose(f);
    EXPECT_EQ(HPI_IsSupported(path.c_str(), 1, 0), length == 7 ? 1 : 0) << length;
  }
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
