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

TEST(Exports, FailedAnalysisHandsOverWhatItWroteOnlyWhenAsked) {
  // Bytes 0-3 "TEST", then "ab!" : the '!' at offset 6 fails the analysis.
  auto asked = AnalyseBytes(Bytes().Text("TESTab!cd"), "a.tst", 1, hpi::kRequestPartial);
  EXPECT_FALSE(asked.ok);
  ASSERT_TRUE(asked.partial);
  EXPECT_EQ(asked.error, "[HPI_PLUGIN] Test error!");  // the message survives the hand-over
  EXPECT_EQ(asked.readerFault, 0);
  const auto& root = asked.tree.At(asked.tree.TopLevel()[0]);
  // Six bytes read, then the fault: beside them, as no byte's range holds offset 6.
  ASSERT_EQ(root.children.size(), 7u);
  ASSERT_EQ(asked.faults.count, 1u);
  EXPECT_EQ(asked.faults.last.item, root.children.back());
  EXPECT_EQ(asked.faults.last.message, "[HPI_PLUGIN] Test error!");
  EXPECT_EQ(asked.faults.last.offset, 6u);
  EXPECT_EQ(asked.faults.last.size, 3u);
  EXPECT_EQ(asked.tree.At(asked.faults.last.item).image, strataview::kImageFault);
  EXPECT_TRUE(asked.report.empty());

  // Passing 0 keeps the old contract: nothing handed over.
  auto plain = AnalyseBytes(Bytes().Text("TESTab!cd"), "a.tst");
  EXPECT_FALSE(plain.ok);
  EXPECT_FALSE(plain.partial);
  EXPECT_EQ(plain.streamLength, 0u);
  EXPECT_EQ(plain.error, "[HPI_PLUGIN] Test error!");

  // A successful analysis is the same stream either way.
  auto whole = AnalyseBytes(Bytes().Text("TESTabc"), "a.tst", 1, hpi::kRequestPartial);
  EXPECT_TRUE(whole.ok);
  EXPECT_FALSE(whole.partial);
  EXPECT_EQ(whole.streamLength, AnalyseBytes(Bytes().Text("TESTabc"), "a.tst").streamLength);
}

TEST(Exports, FaultAtTheEndOfTheFileHasNoSize) {
  auto a = AnalyseBytes(Bytes().Text("TEST!"), "a.tst", 0, hpi::kRequestPartial);
  ASSERT_TRUE(a.partial);
  EXPECT_EQ(a.error, "[HPI_PLUGIN] テストエラー");
  EXPECT_EQ(a.faults.last.offset, 4u);
  EXPECT_EQ(a.faults.last.size, 1u);
  // A file that cannot be opened has nothing to hand over.
  auto none = testing_support::AnalysePath("no/such/file.tst", 1, hpi::kRequestPartial);
  EXPECT_FALSE(none.partial);
  EXPECT_EQ(none.streamLength, 0u);
  EXPECT_EQ(none.error, "[HPI_PLUGIN] File open error!");
}

TEST(Exports, WarningIsAFaultItemInASuccessfulStream) {
  auto a = AnalyseBytes(Bytes().Text("TESTa~b"), "a.tst", 1, hpi::kRequestPartial);
  ASSERT_TRUE(a.ok) << a.error;
  EXPECT_EQ(a.error, "");
  ASSERT_EQ(a.faults.count, 1u);
  EXPECT_EQ(a.faults.last.message, "[HPI_PLUGIN] Test error!");
  EXPECT_EQ(a.faults.last.offset, 2u);
  EXPECT_EQ(a.faults.last.size, 5u);
  const auto& root = a.tree.At(a.tree.TopLevel()[0]);
  ASSERT_EQ(root.children.size(), 7u);  // the walk went on after the warning
  EXPECT_EQ(root.children[5], a.faults.last.item);
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
