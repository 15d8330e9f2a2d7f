#include <dirent.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "strataview/platform/files.h"

namespace strataview {
namespace {

class PosixFile : public ReadOnlyFile {
 public:
  explicit PosixFile(std::FILE* f) : file_(f) {}
  ~PosixFile() override { std::fclose(file_); }
  std::int64_t Size() override {
    struct stat st;
    return fstat(fileno(file_), &st) == 0 ? st.st_size : -1;
  }
  bool Seek(std::uint64_t offset) override { return fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0; }
  std::int64_t Read(void* destination, std::size_t n) override {
    std::size_t got = std::fread(destination, 1, n, file_);
    return got < n && std::ferror(file_) ? -1 : static_cast<std::int64_t>(got);
  }

 private:
  std::FILE* file_;
};

}  // namespace

std::string ProgramFolder() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  std::string full(path, static_cast<std::size_t>(n));
  return full.substr(0, full.rfind('/') + 1);
}

char FolderSeparator() { return '/'; }

std::vector<std::string> ListFiles(const std::string& folder, const std::string& suffix) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) continue;
    struct stat st;
    if (stat((folder + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
  }
  closedir(dir);
  return names;
}

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::Open(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return nullptr;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return nullptr;
  return std::make_unique<PosixFile>(f);
}

std::string PluginPath(const std::string& path) { return path; }

std::string Cp932ToUtf8(std::string_view text) {
  // ASCII is the same in both; most item texts are, and opening the converter costs milliseconds.
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::string(text);
  static iconv_t cd = iconv_open("UTF-8", "CP932");
  std::string out;
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char buffer[1024];
  while (inLeft > 0) {
    char* target = buffer;
    std::size_t outLeft = sizeof buffer;
    std::size_t r = iconv(cd, &in, &inLeft, &target, &outLeft);
    out.append(buffer, static_cast<std::size_t>(target - buffer));
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not Shift-JIS
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

}  // namespace strataview
