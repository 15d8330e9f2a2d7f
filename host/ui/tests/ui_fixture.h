// The main window created in-process for a test, with every plug-in beside the
// test program enabled, and helpers over the corpus and the core's reading.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialog_robot.h"
#include "main_frame.h"
#include "strataview/item_tree.h"

namespace strataview::ui::testing {

// A corpus file as a Windows path (the corpus is reached through drive Z:).
std::string CorpusPath(const std::string& relative);
// The files of a corpus folder, sorted, as Windows paths.
std::vector<std::string> CorpusFiles(const std::string& folder);
std::vector<std::uint8_t> FileBytes(const std::string& path);
// The items the core reads from the file with the enabled plug-ins.
ItemTree CoreReading(const std::string& path);
// Every plug-in file beside the program, enabled in the registry.
void EnableAllPlugins();
// The text of a window (a pane) as UTF-16.
std::wstring WindowText(HWND window);

class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnableAllPlugins(); }
  void SetUp() override;
  void TearDown() override;

  MainFrame& Frame() { return *frame_; }
  DialogRobot& Robot() { return *robot_; }
  // Runs a menu command the way the menu does.
  void Command(int id);

  std::unique_ptr<MainFrame> frame_;
  std::unique_ptr<DialogRobot> robot_;
};

}  // namespace strataview::ui::testing
