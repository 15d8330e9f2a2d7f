#include <windows.h>

#include "strataview/platform/settings_store.h"
#include "win_text.h"

namespace strataview {
namespace {

constexpr wchar_t kRoot[] = L"Software\\tarvo\\Strataview";
constexpr wchar_t kPlugIn[] = L"Software\\tarvo\\Strataview\\PlugIn";

class RegistryStore : public SettingsStore {
 public:
  bool IsEnabled(const std::string& fileName) override {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kPlugIn, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      return false;
    }
    DWORD value = 0;
    DWORD size = sizeof value;
    LONG r = RegQueryValueExW(key, Widen(fileName).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && value != 0;
  }

  // The PlugIn key is deleted with everything below it and written again.
  bool SaveEnabled(const std::vector<std::string>& names) override {
    HKEY root;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr) !=
        ERROR_SUCCESS) {
      return false;
    }
    RegDeleteTreeW(root, L"PlugIn");
    RegCloseKey(root);
    if (names.empty()) return true;
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kPlugIn, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      return false;
    }
    bool ok = true;
    for (const std::string& name : names) {
      DWORD one = 1;
      ok &= RegSetValueExW(key, Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one) ==
            ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
  }
};

}  // namespace

std::unique_ptr<SettingsStore> OpenSettingsStore() { return std::make_unique<RegistryStore>(); }

}  // namespace strataview
