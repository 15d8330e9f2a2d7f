#include <windows.h>

#include "strataview/platform/files.h"
#include "win_text.h"

namespace strataview {
namespace {

class WinFile : public ReadOnlyFile {
 public:
  explicit WinFile(HANDLE h) : handle_(h) {}
  ~WinFile() override { CloseHandle(handle_); }
  std::int64_t Size() override {
    LARGE_INTEGER size;
    return GetFileSizeEx(handle_, &size) ? size.QuadPart : -1;
  }
  bool Seek(std::uint64_t offset) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) != 0;
  }
  std::int64_t Read(void* destination, std::size_t n) override {
    DWORD got = 0;
    if (!ReadFile(handle_, destination, static_cast<DWORD>(n), &got, nullptr)) return -1;
    return got;
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::string ProgramFolder() {
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring full(path, n);
  return Narrow(full.substr(0, full.rfind(L'\\') + 1));
}

char FolderSeparator() { return '\\'; }

std::vector<std::string> ListFiles(const std::string& folder, const std::string& suffix) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Widen(folder + "*" + suffix).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Narrow(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::Open(const std::string& path) {
  HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<WinFile>(h);
}

// A name that the ANSI code page cannot hold exactly is handed over as its short (8.3) path.
std::string PluginPath(const std::string& path) {
  std::wstring wide = Widen(path);
  BOOL lossy = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &lossy);
  if (!lossy && n > 0) return Narrow(wide, CP_ACP);
  wchar_t shortPath[MAX_PATH * 4];
  DWORD s = GetShortPathNameW(wide.c_str(), shortPath, MAX_PATH * 4);
  return s > 0 && s < MAX_PATH * 4 ? Narrow(std::wstring(shortPath, s), CP_ACP) : Narrow(wide, CP_ACP);
}

std::string Cp932ToUtf8(std::string_view text) { return Narrow(Widen(text, 932)); }

}  // namespace strataview
