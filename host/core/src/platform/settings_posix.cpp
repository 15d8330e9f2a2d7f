#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "strataview/platform/settings_store.h"

namespace strataview {
namespace {

namespace fs = std::filesystem;

// One line per enabled plug-in: "<file name>=1", as the registry's REG_DWORD values.
class FileStore : public SettingsStore {
 public:
  explicit FileStore(fs::path file) : file_(std::move(file)) {}

  bool IsEnabled(const std::string& fileName) override {
    std::ifstream in(file_);
    std::string line;
    while (std::getline(in, line)) {
      std::size_t eq = line.rfind('=');
      if (eq == std::string::npos || line.compare(0, eq, fileName) != 0 || eq != fileName.size()) continue;
      char* end = nullptr;
      unsigned long value = std::strtoul(line.c_str() + eq + 1, &end, 10);
      return end != line.c_str() + eq + 1 && *end == '\0' && value != 0 && value <= 0xFFFFFFFFul;
    }
    return false;
  }

  bool SaveEnabled(const std::vector<std::string>& names) override {
    std::error_code ec;
    fs::create_directories(file_.parent_path(), ec);
    fs::path temporary = file_;
    temporary += ".tmp";
    {
      std::ofstream out(temporary, std::ios::trunc);
      if (!out) return false;
      for (const std::string& name : names) out << name << "=1\n";
      if (!out.flush()) return false;
    }
    fs::rename(temporary, file_, ec);
    return !ec;
  }

 private:
  fs::path file_;
};

fs::path ConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && *xdg == '/') return fs::path(xdg) / "strataview";
  const char* home = std::getenv("HOME");
  return fs::path(home != nullptr ? home : ".") / ".config" / "strataview";
}

}  // namespace

std::unique_ptr<SettingsStore> OpenSettingsStore() { return std::make_unique<FileStore>(ConfigFolder() / "plugins"); }

}  // namespace strataview
