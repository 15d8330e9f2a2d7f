#include "file_type.h"

#include <windows.h>
// Windows headers below build on the types of windows.h.
#include <shlobj.h>

namespace strataview::ui {
namespace {

constexpr wchar_t kExtensionKey[] = L".hpi";
constexpr wchar_t kTypeName[] = L"HPI_PlugIn";
constexpr wchar_t kIconKey[] = L"HPI_PlugIn\\DefaultIcon";
constexpr wchar_t kIconIndex[] = L",9";
constexpr std::size_t kPathLimit = MAX_PATH;

// Sets the key's default value unless it already holds exactly that text.
bool SetDefaultValue(const wchar_t* keyName, const std::wstring& value) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, keyName, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  wchar_t current[kPathLimit + 8] = {};
  DWORD size = sizeof current - sizeof(wchar_t);
  DWORD type = 0;
  bool same =
      RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(current), &size) == ERROR_SUCCESS &&
      type == REG_SZ && value == current;
  bool written = !same && RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(key);
  return written;
}

}  // namespace

bool RegisterPluginFileType(const std::wstring& programPath) {
  bool written = SetDefaultValue(kExtensionKey, kTypeName);
  if (programPath.size() < kPathLimit) written = SetDefaultValue(kIconKey, programPath + kIconIndex) || written;
  if (written) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  return written;
}

}  // namespace strataview::ui
