#include "hpi/exports.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "hpi/plugin.h"
#include "plugin_harness.h"
#include "test_plugin.h"

namespace {

using testing_support::AnalyseBytes;
using testing_support::Bytes;

TEST(Exports, InfoRecordHasItsFieldsAtFixedOffsets) {
  char info[hpi::kInfoRecordSize];
  std::memset(info, 'x', sizeof info);
  HPI_GetPluginInfo(info);
  EXPECT_STREQ(info, "HPI00001");
  EXPECT_EQ(info[9], 'x') << "bytes after a field's terminator are left alone";
  EXPECT_STREQ(info + 27, "Test.hpi ver. 1.00 test Plug-In \nCopyright");
  EXPECT_STREQ(info + 283, "Test file(*.tst)");
  EXPECT_STREQ(info + 383, "*.tst");
}

TEST(Exports, LanguageSwitchAndMessages) {
  char text[hpi::kMessageBufferSize];
  hpi::SetPluginError(hpi::kNoError);  // as after loading
  EXPECT_EQ(HPI_SetLanguage(2), 0);
  HPI_GetLastErrMsg(text);
  EXPECT_STREQ(text, "[HPI_PLUGIN] 正常終了しています");
  EXPECT_EQ(HPI_SetLanguage(1), 1);
  EXPECT_EQ(HPI_GetHeadAnalyzedData(nullptr, nullptr, 0, 0, 0, nullptr), 0u);
  HPI_GetLastErrMsg(text);
  EXPECT_STREQ(text, "[HPI_PLUGIN] Wrong argument!");
  HpiMemHandle stream = nullptr;
  EXPECT_EQ(HPI_GetHeadAnalyzedData("/no/such/file.tst", &stream, 0, 0, 0, nullptr), 0u);
  HPI_GetLastErrMsg(text);
  EXPECT_STREQ(text, "[HPI_PLUGIN] File open error!");
  EXPECT_EQ(stream, nullptr);
}

TEST(Exports, PluginCodesAndUnknownCodes) {
  auto own = AnalyseBytes(Bytes().Text("TEST!"), "a.tst");
  EXPECT_FALSE(own.ok);
  EXPECT_EQ(own.error, "[HPI_PLUGIN] Test error!");
  auto unknown = AnalyseBytes(Bytes().Text("TEST?"), "a.tst");
  EXPECT_EQ(unknown.error, "[XPI_PLUGIN] Unkown error!");
  auto japanese = AnalyseBytes(Bytes().Text("TEST?"), "a.tst", 0);
  EXPECT_EQ(japanese.error, "[HPI_PLUGIN] 未知エラー");
}

TEST(Exports, AnalysisHandsOverStreamAndReport) {
  auto a = AnalyseBytes(Bytes().Text("TESTabc"), "named.tst");
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.readerFault, 0);
  ASSERT_EQ(a.tree.TopLevel().size(), 1u);
  const auto& root = a.tree.At(a.tree.TopLevel()[0]);
  EXPECT_EQ(root.text, "named.tst");
  EXPECT_EQ(root.children.size(), 7u);
  EXPECT_EQ(a.report, "length 7\r\n");
}

TEST(Exports, SupportTestOnHeadRecordAndOnPath) {
  EXPECT_EQ(testing_support::Supports(Bytes().Text("TEST")), 7);
  EXPECT_EQ(testing_support::Supports(Bytes().Text("BEST")), 0);
  EXPECT_EQ(HPI_IsSupported("/no/such/file", 1, hpi::kSupportReserved), 0);
}

TEST(Exports, RootNameIsThePartAfterTheLastSeparator) {
  EXPECT_STREQ(hpi::RootNameOf("C:\\data\\a.bmp"), "a.bmp");
  EXPECT_STREQ(hpi::RootNameOf("/tmp/x/b.bmp"), "b.bmp");
  EXPECT_STREQ(hpi::RootNameOf("plain.bmp"), "");
}

}  // namespace
