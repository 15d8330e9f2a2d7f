// Shell shortcuts under the prefix's special folders: each place created and
// removed through the dialog for the user's and the all-users folders, the
// program group with its three links and its folder, the "Q4_State" value, and
// the help command without a help file.
#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <objbase.h>
#include <shobjidl.h>

#include <array>
#include <string>

#include "resource.h"
#include "shortcuts.h"
#include "strataview/host_messages.h"
#include "strataview/platform/files.h"
#include "ui_fixture.h"
#include "win_text.h"

namespace strataview::ui::testing {
namespace {

constexpr wchar_t kTitle[] = L"ショートカット設定";
constexpr wchar_t kStateKey[] = L"Software\\tarvo\\Strataview\\State";
constexpr std::array<int, kShortcutPlaces> kBoxes = {IDC_SHORTCUT_DESKTOP, IDC_SHORTCUT_START_MENU,
                                                     IDC_SHORTCUT_STARTUP, IDC_SHORTCUT_PROGRAMS};

DWORD StoredValue() {
  DWORD value = 0, size = sizeof value;
  RegGetValueW(HKEY_CURRENT_USER, kStateKey, L"Q4_State", RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

void StoreValue(DWORD value) {
  HKEY key;
  RegCreateKeyExW(HKEY_CURRENT_USER, kStateKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  RegSetValueExW(key, L"Q4_State", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

bool IsFile(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring LinkTarget(const std::wstring& path) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  wchar_t target[MAX_PATH] = {};
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) link->GetPath(target, MAX_PATH, nullptr, 0);
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return target;
}

class ShortcutsTest : public WindowTest {
 protected:
  // Opens the dialog, records its boxes, sets them to wanted and presses OK.
  std::array<bool, kShortcutPlaces> Settle(const std::array<bool, kShortcutPlaces>& wanted) {
    std::array<bool, kShortcutPlaces> shown{};
    Robot().OnDialog(kTitle, [&](HWND dialog) {
      for (int i = 0; i < kShortcutPlaces; ++i) {
        shown[i] = IsDlgButtonChecked(dialog, kBoxes[i]) == BST_CHECKED;
        CheckDlgButton(dialog, kBoxes[i], wanted[i] ? BST_CHECKED : BST_UNCHECKED);
      }
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    Command(IDM_SHORTCUTS);
    EXPECT_TRUE(Robot().AllDone());
    return shown;
  }

  void CreateAndRemoveEverything(const std::array<int, kShortcutPlaces>& kinds) {
    const std::array<bool, kShortcutPlaces> all{true, true, true, true}, none{};
    EXPECT_EQ(Settle(all), none);
    std::wstring program = Widen(ProgramFolder());
    for (int kind : kinds) EXPECT_TRUE(ShortcutExists(ShortcutFolder(kind), kShortcutName)) << kind;
    std::wstring group = ShortcutFolder(kinds[kProgramGroup]);
    EXPECT_TRUE(IsFile(group + kUninstallShortcutName));
    EXPECT_TRUE(IsFile(group + kWebShortcutName));
    EXPECT_EQ(LinkTarget(group + kUninstallShortcutName), program + kUninstallerName);
    EXPECT_EQ(LinkTarget(ShortcutFolder(kinds[kDesktop]) + kShortcutName).find(L"ui_tests.exe") != std::wstring::npos,
              true);

    EXPECT_EQ(Settle(none), all);
    for (int kind : kinds) EXPECT_FALSE(ShortcutExists(ShortcutFolder(kind), kShortcutName)) << kind;
    EXPECT_FALSE(IsFile(group));
  }
};

TEST_F(ShortcutsTest, UserShortcutsOfEachPlaceAreCreatedAndRemoved) {
  StoreValue(0xF0);
  Frame().Links().Load(Frame().Window());
  CreateAndRemoveEverything({kUserDesktop, kUserStartMenu, kUserStartup, kUserPrograms});
  EXPECT_EQ(StoredValue(), 0xF0u);
}

TEST_F(ShortcutsTest, AllUsersStateMovesEveryPlaceToTheCommonFolders) {
  StoreValue(0xF0 | kCommonShortcuts | kCommonGroup);
  Frame().Links().Load(Frame().Window());
  CreateAndRemoveEverything({kCommonDesktop, kCommonStartMenu, kCommonStartup, kCommonPrograms});
  StoreValue(0);
}

TEST_F(ShortcutsTest, AMissingStateIsDeterminedFromTheAllUsersDesktopAndWritten) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kStateKey, L"Q4_State");
  std::wstring desktop = ShortcutFolder(kCommonDesktop);
  ASSERT_TRUE(CreateShortcut(desktop + kShortcutName, L"C:\\windows\\notepad.exe"));
  Frame().Links().Load(Frame().Window());
  EXPECT_EQ(Frame().Links().State(), std::optional<DWORD>(kCommonShortcuts));
  EXPECT_EQ(StoredValue(), kCommonShortcuts);
  EXPECT_EQ(Frame().Links().KindOf(kStartMenu, nullptr), kCommonStartMenu);
  DeleteFileW((desktop + kShortcutName).c_str());

  // A name that differs only in case is not the program's shortcut.
  ASSERT_TRUE(CreateShortcut(desktop + L"strataview.lnk", L"C:\\windows\\notepad.exe"));
  EXPECT_FALSE(ShortcutExists(desktop, kShortcutName));
  DeleteFileW((desktop + L"strataview.lnk").c_str());
  EXPECT_TRUE(WriteShortcutState(0));
  EXPECT_EQ(StoredValue(), 0u);
}

TEST_F(WindowTest, HelpWithoutAHelpFileShowsMessage27) {
  std::wstring folder = Widen(ProgramFolder());
  ASSERT_FALSE(IsFile(folder + L"Strataview.html"));
  ASSERT_FALSE(IsFile(folder + L"Strataview.hlp"));
  Command(IDM_HELP);
  PumpMessages(200);
  EXPECT_EQ(Robot().TakeErrors(),
            std::vector<std::wstring>{Widen(HostMessageText(kMsgHelpFile, HostLanguage::Japanese))});
}

}  // namespace
}  // namespace strataview::ui::testing
