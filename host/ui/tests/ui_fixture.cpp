#include "ui_fixture.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "strataview/analysis_driver.h"
#include "strataview/coverage.h"
#include "strataview/platform/files.h"
#include "strataview/platform/settings_store.h"
#include "strataview/plugin_manager.h"

namespace strataview::ui::testing {

std::string CorpusPath(const std::string& relative) {
  std::string path = "Z:" + std::string(STRATAVIEW_CORPUS_DIR) + "/" + relative;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::vector<std::string> CorpusFiles(const std::string& folder) {
  std::string base = CorpusPath(folder) + "\\";
  std::vector<std::string> names = ListFiles(base, "");
  std::sort(names.begin(), names.end());
  for (std::string& name : names) name = base + name;
  return names;
}

std::vector<std::uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ItemTree CoreReading(const std::string& path) {
  std::unique_ptr<SettingsStore> store = OpenSettingsStore();
  PluginManager plugins(ProgramFolder(), *store);
  AnalysisDriver driver(plugins, hpi::kJapanese, PluginChoice::EnabledOnly);
  ItemTree tree;
  AnalysisOutcome outcome = driver.Analyse(path, tree);
  if (outcome.analysed || outcome.partial) AccountForEveryByte(path, HostLanguage::Japanese, tree);
  return tree;
}

void EnableAllPlugins() { OpenSettingsStore()->SaveEnabled(ListFiles(ProgramFolder(), ".hpi")); }

std::wstring WindowText(HWND window) {
  int n = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), n + 1)));
  return text;
}

void WindowTest::SetUp() {
  robot_ = std::make_unique<DialogRobot>();
  frame_ = std::make_unique<MainFrame>(GetModuleHandleW(nullptr));
  ASSERT_TRUE(frame_->Create());
  SetWindowPos(frame_->Window(), nullptr, 0, 0, 1000, 700, SWP_NOZORDER);
  ShowWindow(frame_->Window(), SW_SHOW);
  PumpMessages(50);
}

void WindowTest::TearDown() {
  frame_.reset();
  PumpMessages(20);
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  robot_.reset();
}

void WindowTest::Command(int id) { SendMessageW(frame_->Window(), WM_COMMAND, id, 0); }

}  // namespace strataview::ui::testing
