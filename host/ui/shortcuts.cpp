#include "shortcuts.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "messages.h"
#include "strataview/host_messages.h"

namespace strataview::ui {
namespace {

constexpr wchar_t kStateKey[] = L"Software\\tarvo\\Strataview\\State";
constexpr wchar_t kStateValue[] = L"Q4_State";
constexpr wchar_t kGroupFolder[] = L"Strataview\\";
constexpr DWORD kStateBits = kCommonShortcuts | kCommonGroup;
constexpr std::size_t kPathLimit = 261;

struct FolderRow {
  int kind;
  int csidl;
  bool group;
};
constexpr FolderRow kFolders[] = {
    {kUserDesktop, CSIDL_DESKTOPDIRECTORY, false},
    {kUserStartup, CSIDL_STARTUP, false},
    {kUserStartMenu, CSIDL_STARTMENU, false},
    {kUserPrograms, CSIDL_PROGRAMS, true},
    {kCommonDesktop, CSIDL_COMMON_DESKTOPDIRECTORY, false},
    {kCommonStartup, CSIDL_COMMON_STARTUP, false},
    {kCommonStartMenu, CSIDL_COMMON_STARTMENU, false},
    {kCommonPrograms, CSIDL_COMMON_PROGRAMS, true},
};

// User and all-users kinds of the desktop, start menu and start-up places.
constexpr int kPlaceKinds[3][2] = {
    {kUserDesktop, kCommonDesktop}, {kUserStartMenu, kCommonStartMenu}, {kUserStartup, kCommonStartup}};

bool EndsWith(const std::wstring& text, std::wstring_view tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsDirectory(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::wstring ShortcutFolder(int kind) {
  for (const FolderRow& row : kFolders) {
    if (row.kind != kind) continue;
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, row.csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    std::wstring folder = path;
    if (!EndsWith(folder, L"\\")) folder += L'\\';
    if (row.group) folder += kGroupFolder;
    return folder.size() < kPathLimit ? folder : std::wstring();
  }
  return {};
}

bool ShortcutExists(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"*.lnk").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool exists = false;
  do {
    exists = name == found.cFileName;
  } while (!exists && FindNextFileW(search, &found));
  FindClose(search);
  return exists;
}

bool CreateShortcut(const std::wstring& path, const std::wstring& target) {
  HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool saved = false;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->SetPath(target.c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      saved = SUCCEEDED(file->Save(path.c_str(), TRUE));
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return saved;
}

std::optional<DWORD> ReadShortcutState() {
  DWORD value = 0, size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kStateKey, kStateValue, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value & kStateBits;
}

bool WriteShortcutState(DWORD state) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kStateKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  DWORD value = 0, size = sizeof value, type = 0;
  if (RegQueryValueExW(key, kStateValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    value = 0;
  }
  value = (value & ~kStateBits) | (state & kStateBits);
  bool written = RegSetValueExW(key, kStateValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
                 ERROR_SUCCESS;
  RegCloseKey(key);
  return written;
}

void Shortcuts::Load(HWND owner) {
  state_ = ReadShortcutState();
  if (!state_) Determine(owner);
}

void Shortcuts::Determine(HWND owner) {
  DWORD state = 0;
  if (ShortcutExists(ShortcutFolder(kCommonDesktop), kShortcutName)) state |= kCommonShortcuts;
  if (ShortcutExists(ShortcutFolder(kCommonPrograms), kShortcutName)) state |= kCommonGroup;
  state_ = state;
  if (!WriteShortcutState(state)) ShowHostError(owner, kMsgRegistration);
}

int Shortcuts::KindOf(ShortcutPlace place, HWND owner) {
  if (!state_) Determine(owner);
  if (place == kProgramGroup) return (*state_ & kCommonGroup) ? kCommonPrograms : kUserPrograms;
  return kPlaceKinds[place][(*state_ & kCommonShortcuts) ? 1 : 0];
}

bool Shortcuts::Exists(ShortcutPlace place, HWND owner) {
  return ShortcutExists(ShortcutFolder(KindOf(place, owner)), kShortcutName);
}

// Failures to create or delete a shortcut are silent.
void Shortcuts::Apply(const std::array<bool, kShortcutPlaces>& wanted, const std::wstring& program,
                      const std::wstring& folder, HWND owner) {
  for (ShortcutPlace place : {kDesktop, kStartMenu, kStartup}) {
    std::wstring where = ShortcutFolder(KindOf(place, owner));
    if (where.empty()) continue;
    bool exists = ShortcutExists(where, kShortcutName);
    if (wanted[place] && !exists) CreateShortcut(where + kShortcutName, program);
    if (!wanted[place] && exists) DeleteFileW((where + kShortcutName).c_str());
  }
  ApplyGroup(wanted[kProgramGroup], program, folder, owner);
}

void Shortcuts::ApplyGroup(bool wanted, const std::wstring& program, const std::wstring& folder, HWND owner) {
  std::wstring group = ShortcutFolder(KindOf(kProgramGroup, owner));
  if (group.empty()) return;
  bool exists = ShortcutExists(group, kShortcutName);
  if (!wanted && exists) {
    for (const wchar_t* name : {kShortcutName, kUninstallShortcutName, kWebShortcutName}) {
      DeleteFileW((group + name).c_str());
    }
    if (EndsWith(group, kGroupFolder)) RemoveDirectoryW(group.c_str());
  } else if (wanted && !exists) {
    if (!IsDirectory(group) && !CreateDirectoryW(group.c_str(), nullptr)) return;
    CreateShortcut(group + kShortcutName, program);
    CreateShortcut(group + kUninstallShortcutName, folder + kUninstallerName);
    CreateShortcut(group + kWebShortcutName, folder + kWebLinkName);
  }
}

}  // namespace strataview::ui
