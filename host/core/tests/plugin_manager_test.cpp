#include "strataview/plugin_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "strataview/analysis_driver.h"
#include "strataview/item_tree.h"
#include "strataview/platform/settings_store.h"

namespace {

namespace fs = std::filesystem;
using namespace strataview;

class MemoryStore : public SettingsStore {
 public:
  bool IsEnabled(const std::string& name) override { return enabled.count(name) > 0; }
  bool SaveEnabled(const std::vector<std::string>& names) override {
    enabled = {names.begin(), names.end()};
    return true;
  }
  std::set<std::string> enabled;
};

std::string Names(const PluginManager& m) {
  std::set<std::string> names;
  for (const auto& e : m.Entries()) names.insert(e.fileName);
  std::string out;
  for (const auto& n : names) out += n + " ";
  return out;
}

std::vector<std::string> Strings(const std::string& list) {
  std::vector<std::string> out;
  for (std::size_t at = 0; at < list.size() && list[at] != '\0'; at += out.back().size() + 1) {
    out.push_back(list.c_str() + at);
  }
  return out;
}

class PluginsTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(fs::path(FAKE_PLUGIN_DIR) / "folder.hpi"); }
  fs::path Sample(const std::string& name, const std::string& bytes) {
    fs::path path = fs::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  MemoryStore store;
};

TEST_F(PluginsTest, ScanSkipsLibrariesWithoutInfoAndFolders) {
  PluginManager m(FAKE_PLUGIN_DIR, store);
  EXPECT_TRUE(m.Ready());
  EXPECT_EQ(Names(m), "FakeA.hpi FakeB.hpi Refuser.hpi ");
  for (const auto& e : m.Entries()) EXPECT_FALSE(e.enabled) << "a fresh installation enables nothing";
  EXPECT_EQ(Strings(m.OpenFilter()), (std::vector<std::string>{"All file(*.*)", "*.*"}));
  EXPECT_FALSE(m.EntryAt(-1));
  EXPECT_FALSE(m.EntryAt(3));
  EXPECT_EQ(m.EntryAt(0)->typeName, m.EntryAt(0)->fileName.substr(0, m.EntryAt(0)->fileName.size() - 4) + "(" +
                                        m.EntryAt(0)->extensionList + ")");
}

TEST_F(PluginsTest, FilterListsEachFirstExtensionOnce) {
  PluginManager m(FAKE_PLUGIN_DIR, store);
  ASSERT_TRUE(m.SetEnabled("FakeA.hpi", true));
  ASSERT_TRUE(m.SetEnabled("FakeB.hpi", true));
  ASSERT_TRUE(m.SetEnabled("Refuser.hpi", true));
  EXPECT_FALSE(m.SetEnabled("fakea.hpi", true)) << "names compare exactly";
  auto filter = Strings(m.OpenFilter());
  ASSERT_EQ(filter.size(), 6u) << "FakeA and Refuser share .aaa: only the earlier one is listed";
  EXPECT_EQ(filter[4], "All file(*.*)");
  auto extensions = Strings(m.DefaultExtensions());
  EXPECT_EQ(std::set<std::string>(extensions.begin(), extensions.end() - 1), (std::set<std::string>{".aaa", ".bbb"}));
  EXPECT_EQ(extensions.back(), ".*");
  m.SaveEnabledStates();
  EXPECT_EQ(store.enabled, (std::set<std::string>{"FakeA.hpi", "FakeB.hpi", "Refuser.hpi"}));
  m.SetEnabled("FakeB.hpi", false);
  m.SaveEnabledStates();
  PluginManager again(FAKE_PLUGIN_DIR, store);
  for (const auto& e : again.Entries()) EXPECT_EQ(e.enabled, e.fileName != "FakeB.hpi") << e.fileName;
}

TEST(FirstExtension, StopsAtSeparators) {
  EXPECT_EQ(FirstExtension("*.bmp;*.ico;*.cur"), ".bmp");
  EXPECT_EQ(FirstExtension("*.png;*.mng;*jng"), ".png");
  EXPECT_EQ(FirstExtension("*.a b"), ".a");
  EXPECT_EQ(FirstExtension("none"), "");
  EXPECT_EQ(FirstExtension("*." + std::string(120, 'x')), "");
}

TEST_F(PluginsTest, DriverPrefersExtensionMatchesThenAsksTheRest) {
  PluginManager m(FAKE_PLUGIN_DIR, store);
  AnalysisDriver all(m, hpi::kEnglish, PluginChoice::All);
  auto chosen = [&](const fs::path& p) {
    auto i = all.ChoosePlugin(p.string());
    return i ? m.Entries()[*i].fileName : std::string("none");
  };
  EXPECT_EQ(chosen(Sample("x.BBB", "B")), "FakeB.hpi") << "the extension is compared in lower case";
  EXPECT_EQ(chosen(Sample("x.aaa", "B")), "FakeA.hpi");
  EXPECT_EQ(chosen(Sample("x.ccc", "A")), "FakeA.hpi") << "content decides when no extension matches";
  EXPECT_EQ(chosen(Sample("x.aaa", "C")), "none");
  EXPECT_EQ(chosen(fs::temp_directory_path() / "does-not-exist.aaa"), "none");

  AnalysisDriver enabledOnly(m, hpi::kEnglish);
  EXPECT_FALSE(enabledOnly.ChoosePlugin(Sample("y.aaa", "A").string())) << "nothing is enabled";
  m.SetEnabled("FakeB.hpi", true);
  EXPECT_TRUE(enabledOnly.ChoosePlugin(Sample("y.bbb", "B").string()));
}

TEST_F(PluginsTest, DriverRunsTheAnalysisInTheChosenLanguage) {
  PluginManager m(FAKE_PLUGIN_DIR, store);
  ItemTree tree;
  auto ok = AnalysisDriver(m, hpi::kEnglish, PluginChoice::All).Analyse(Sample("z.bbb", "BB").string(), tree);
  EXPECT_TRUE(ok.ok());
  EXPECT_EQ(ok.pluginFile, "FakeB.hpi");
  EXPECT_EQ(tree.At(0).text, "FakeB");
  ItemTree failed;
  auto english = AnalysisDriver(m, hpi::kEnglish, PluginChoice::All).Analyse(Sample("z.bbb", "B!").string(), failed);
  EXPECT_FALSE(english.analysed);
  EXPECT_TRUE(english.hasPluginMessage);
  EXPECT_EQ(english.pluginMessage, "[FAKE] fake failure");
  auto japanese = AnalysisDriver(m, hpi::kJapanese, PluginChoice::All).Analyse(Sample("z.bbb", "B!").string(), failed);
  EXPECT_EQ(japanese.pluginMessage, "[FAKE] 偽の失敗");
  auto none = AnalysisDriver(m, hpi::kEnglish).Analyse(Sample("z.bbb", "B").string(), failed);
  EXPECT_EQ(none.hostMessage, kMsgNoPlugin);
  EXPECT_TRUE(failed.Items().empty());
}

TEST(HeadRecord, PadsTheStartAndAddsSizeAndExtension) {
  fs::path path = fs::temp_directory_path() / "head.Test.BMP";
  std::ofstream(path, std::ios::binary) << "abc";
  auto head = BuildHeadRecord(path.string());
  ASSERT_TRUE(head);
  EXPECT_EQ((*head)[0], 'a');
  EXPECT_EQ((*head)[3], 0);
  EXPECT_EQ((*head)[1999], 0);
  EXPECT_EQ((*head)[hpi::kHeadSizeOffset], 3);
  EXPECT_STREQ(reinterpret_cast<const char*>(head->data() + hpi::kHeadExtensionOffset), ".bmp");
  EXPECT_EQ(LowerExtension("C:\\dir.x\\file"), ".x\\file") << "a dot in a folder name";
  EXPECT_EQ(LowerExtension("noext"), "");
}

TEST(SettingsStore, RoundTripsThePlatformStore) {
#if !defined(_WIN32)
  fs::path config = fs::temp_directory_path() / "strataview-config-test";
  fs::remove_all(config);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
#endif
  auto store = OpenSettingsStore();
  store->SaveEnabled({"One.hpi", "Two.hpi"});
  EXPECT_TRUE(store->IsEnabled("One.hpi"));
  EXPECT_TRUE(store->IsEnabled("Two.hpi"));
  EXPECT_FALSE(store->IsEnabled("Three.hpi"));
  store->SaveEnabled({"Two.hpi"});
  EXPECT_FALSE(store->IsEnabled("One.hpi")) << "saving replaces every state";
  EXPECT_TRUE(store->IsEnabled("Two.hpi"));
  store->SaveEnabled({});
  EXPECT_FALSE(store->IsEnabled("Two.hpi"));
}

}  // namespace
