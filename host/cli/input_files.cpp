#include "input_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "strataview/platform/files.h"

#ifdef _WIN32
#include <process.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace cli {

namespace fs = std::filesystem;

fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string TextOf(const fs::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

namespace {

const char* TypeName(fs::file_type type) {
  switch (type) {
    case fs::file_type::fifo: return "not a regular file (FIFO)";
    case fs::file_type::block:
    case fs::file_type::character: return "not a regular file (device)";
    case fs::file_type::socket: return "not a regular file (socket)";
    default: return "not a regular file";
  }
}

// The regular files below folder, in no order; a folder that cannot be read is
// reported and the walk goes on with the others.
void Walk(const fs::path& top, std::vector<std::string>& files, std::vector<std::string>& errors) {
  std::vector<fs::path> folders{top};
  while (!folders.empty()) {
    fs::path folder = std::move(folders.back());
    folders.pop_back();
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
      std::error_code type;
      if (!it->is_symlink(type) && it->is_directory(type)) {
        folders.push_back(it->path());
      } else if (it->is_regular_file(type)) {
        files.push_back(TextOf(it->path()));
      }
    }
    if (ec) errors.push_back(TextOf(folder) + ": " + ec.message());
  }
}

}  // namespace

std::optional<std::string> WhyNotReadable(const std::string& path, std::uint64_t& size) {
  std::error_code ec;
  fs::file_status status = fs::status(PathOf(path), ec);
  if (ec) return ec.message();
  if (status.type() == fs::file_type::directory) return "Is a directory";
  if (status.type() != fs::file_type::regular) return TypeName(status.type());
#ifdef _WIN32
  std::unique_ptr<strataview::ReadOnlyFile> file = strataview::ReadOnlyFile::Open(path);
  if (!file || file->Size() < 0) return "cannot be opened";
  size = static_cast<std::uint64_t>(file->Size());
#else
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return std::strerror(errno);
  struct stat opened;
  bool sized = fstat(fd, &opened) == 0;
  close(fd);
  if (!sized) return std::strerror(errno);
  size = static_cast<std::uint64_t>(opened.st_size);
#endif
  return std::nullopt;
}

std::vector<std::string> ExpandArguments(const std::vector<std::string>& args, bool recursive,
                                         std::vector<std::string>& errors) {
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    std::error_code ec;
    if (arg == "-" || !fs::is_directory(PathOf(arg), ec)) {
      files.push_back(arg);
      continue;
    }
    if (!recursive) {
      errors.push_back(arg + ": Is a directory (use -r)");
      continue;
    }
    std::vector<std::string> found;
    Walk(PathOf(arg), found, errors);
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

StdinCopy::~StdinCopy() {
  std::error_code ec;
  if (!path_.empty()) fs::remove(path_, ec);
}

std::optional<std::string> StdinCopy::Make(std::string& error) {
  std::error_code ec;
  fs::path folder = fs::temp_directory_path(ec);
  if (ec) {
    error = ec.message();
    return std::nullopt;
  }
#ifdef _WIN32
  path_ = folder / ("strataview-stdin-" + std::to_string(_getpid()));
  std::FILE* out = _wfopen(path_.c_str(), L"wb");
#else
  std::string name = TextOf(folder / "strataview-stdin-XXXXXX");
  int fd = mkstemp(name.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  path_ = name;
  std::FILE* out = fdopen(fd, "wb");
#endif
  if (out == nullptr) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  char buffer[1 << 16];
  bool ok = true;
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) ok &= std::fwrite(buffer, 1, n, out) == n;
  ok &= !std::ferror(stdin);
  ok &= std::fclose(out) == 0;
  if (!ok) {
    error = "cannot copy standard input";
    return std::nullopt;
  }
  return TextOf(path_);
}

}  // namespace cli
