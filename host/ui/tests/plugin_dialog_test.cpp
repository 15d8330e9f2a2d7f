// The plug-in settings dialog's round trip into the registry, the plug-in
// version dialogs it opens, and the program's version dialog.
#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <commctrl.h>

#include <algorithm>

#include "resource.h"
#include "ui_fixture.h"
#include "win_text.h"

namespace strataview::ui::testing {
namespace {

constexpr wchar_t kTitle[] = L"プラグイン設定＆情報確認";
constexpr wchar_t kPlugInKey[] = L"Software\\tarvo\\Strataview\\PlugIn";
constexpr wchar_t kVoltane[] = L"Voltane.hpi";

bool StoredEnabled(const wchar_t* name) {
  DWORD value = 0, size = sizeof value;
  return RegGetValueW(HKEY_CURRENT_USER, kPlugInKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS &&
         value == 1;
}

int RowOf(HWND list, const wchar_t* name) {
  LVFINDINFOW find{};
  find.flags = LVFI_STRING;
  find.psz = name;
  return ListView_FindItem(list, -1, &find);
}

bool Shown(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  return IsWindowVisible(button) && IsWindowEnabled(button);
}

void Select(HWND list, int row) {
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

class PluginDialogTest : public WindowTest {
 protected:
  void TearDown() override {
    WindowTest::TearDown();
    EnableAllPlugins();
  }
};

TEST_F(PluginDialogTest, CheckBoxesAndButtonsRoundTripIntoTheRegistry) {
  ASSERT_TRUE(StoredEnabled(kVoltane));
  std::size_t count = Frame().Plugins().Count();
  ASSERT_GE(count, 1u);

  Robot().OnDialog(kTitle, [&](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
    EXPECT_EQ(static_cast<std::size_t>(ListView_GetItemCount(list)), count);
    int row = RowOf(list, kVoltane);
    EXPECT_TRUE(ListView_GetCheckState(list, row));
    ListView_SetCheckState(list, row, FALSE);  // as a click on the box
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  Command(IDM_PLUGINS);
  EXPECT_TRUE(Robot().AllDone());
  EXPECT_FALSE(StoredEnabled(kVoltane));
  for (const PluginEntry& entry : Frame().Plugins().Entries()) {
    EXPECT_EQ(StoredEnabled(Widen(entry.fileName).c_str()), entry.fileName != "Voltane.hpi") << entry.fileName;
  }
  EXPECT_EQ(Frame().Plugins().OpenFilter().find("*.bmp"), std::string::npos);

  Robot().OnDialog(kTitle, [&](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
    int row = RowOf(list, kVoltane);
    EXPECT_FALSE(ListView_GetCheckState(list, row));
    Select(list, row);
    EXPECT_TRUE(Shown(dialog, IDC_PLUGIN_ENABLE));
    EXPECT_FALSE(Shown(dialog, IDC_PLUGIN_DISABLE));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_PLUGIN_INFO)));
    SendMessageW(dialog, WM_COMMAND, IDC_PLUGIN_ENABLE, 0);
    EXPECT_TRUE(ListView_GetCheckState(list, row));
    EXPECT_TRUE(Shown(dialog, IDC_PLUGIN_DISABLE));
    EXPECT_FALSE(Shown(dialog, IDC_PLUGIN_ENABLE));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_PLUGIN_INFO)));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  Command(IDM_PLUGINS);
  EXPECT_TRUE(Robot().AllDone());
  EXPECT_TRUE(StoredEnabled(kVoltane));
  EXPECT_NE(Frame().Plugins().OpenFilter().find("*.bmp"), std::string::npos);
}

TEST_F(PluginDialogTest, ClosingWithoutChangesLeavesTheRegistryAlone) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kPlugInKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD one = 1;
  RegSetValueExW(key, L"Marker.hpi", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  RegCloseKey(key);

  Robot().OnDialog(kTitle, [](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
    Select(list, 0);  // a selection alone changes nothing
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  });
  Command(IDM_PLUGINS);
  EXPECT_TRUE(Robot().AllDone());
  EXPECT_TRUE(StoredEnabled(L"Marker.hpi"));
}

TEST_F(PluginDialogTest, InfoButtonShowsThePluginsVersionDialog) {
  bool shown = false;
  Robot().OnDialog(kTitle, [&](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
    Select(list, RowOf(list, kVoltane));
    SendMessageW(dialog, WM_COMMAND, IDC_PLUGIN_INFO, 0);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  Robot().OnDialog(L"Voltane.hpi Infomation", [&](HWND dialog) {
    shown = true;
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  Command(IDM_PLUGINS);
  EXPECT_TRUE(shown);
}

TEST_F(PluginDialogTest, VersionDialogShowsTheProgramsVersion) {
  std::wstring number;
  Robot().OnDialog(L"Version nfomation", [&](HWND dialog) {
    number = ControlText(dialog, IDC_VERSION_NUMBER);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  Command(IDM_VERSION);
  EXPECT_EQ(number, L"1.11");
}

}  // namespace
}  // namespace strataview::ui::testing
