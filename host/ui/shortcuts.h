// Shell shortcuts to the program: on the desktop, in the start menu, in the
// start-up folder and as a program group (with the uninstaller and web-page
// links), for the user or for all users, and the registry value that records
// which of the two each lives in.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

namespace strataview::ui {

// The special folders, numbered as the state's folder kinds.
enum FolderKind : int {
  kUserDesktop = 0,
  kUserStartup = 1,
  kUserStartMenu = 2,
  kUserPrograms = 4,
  kCommonDesktop = 5,
  kCommonStartup = 6,
  kCommonStartMenu = 7,
  kCommonPrograms = 8,
};

enum ShortcutPlace : int { kDesktop = 0, kStartMenu = 1, kStartup = 2, kProgramGroup = 3 };
inline constexpr int kShortcutPlaces = 4;

// Bit 0: desktop, start menu and start-up in the all-users folders; bit 1: the
// program group in the all-users programs folder.
inline constexpr DWORD kCommonShortcuts = 1;
inline constexpr DWORD kCommonGroup = 2;

inline constexpr wchar_t kShortcutName[] = L"Strataview.lnk";
inline constexpr wchar_t kUninstallShortcutName[] = L"Uninstall Strataview.lnk";
inline constexpr wchar_t kWebShortcutName[] = L"Strataview on the Web.lnk";
inline constexpr wchar_t kUninstallerName[] = L"unins000.exe";
inline constexpr wchar_t kWebLinkName[] = L"Strataview.url";

// The folder of a kind, ending in a backslash (the programs folders with the
// "Strataview\" group); empty when the system has none or its path is too long.
std::wstring ShortcutFolder(int kind);
// A "*.lnk" file of exactly this name (case-sensitive) lies in the folder.
bool ShortcutExists(const std::wstring& folder, const std::wstring& name);
// A shell link at path pointing at target; true when it was saved.
bool CreateShortcut(const std::wstring& path, const std::wstring& target);
// The "Q4_State" value of the State key, nothing when missing or unreadable.
std::optional<DWORD> ReadShortcutState();
// Replaces the value's low two bits with state; false when the key cannot be opened or written.
bool WriteShortcutState(DWORD state);

class Shortcuts {
 public:
  // Start-up: reads the state, or determines and writes it (message 16 on failure).
  void Load(HWND owner);
  // The folder kind of a place under the current state (determined first when unknown).
  int KindOf(ShortcutPlace place, HWND owner);
  // "Strataview.lnk" exists in the place's folder.
  bool Exists(ShortcutPlace place, HWND owner);
  // Creates the missing shortcuts of the wanted places and removes the others';
  // program is the program's full path, folder its folder ending in a backslash.
  void Apply(const std::array<bool, kShortcutPlaces>& wanted, const std::wstring& program, const std::wstring& folder,
             HWND owner);
  std::optional<DWORD> State() const { return state_; }

 private:
  void Determine(HWND owner);
  void ApplyGroup(bool wanted, const std::wstring& program, const std::wstring& folder, HWND owner);

  std::optional<DWORD> state_;
};

}  // namespace strataview::ui
