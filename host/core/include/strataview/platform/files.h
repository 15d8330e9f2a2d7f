// File-system services of the host: its own folder, the plug-in files in a
// folder, a read-only file with 64-bit positions, and the path a plug-in is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace strataview {

// The running program's folder, ending in a separator (UTF-8).
std::string ProgramFolder();
// The separator that ends a folder path.
char FolderSeparator();
// Names of the regular files in folder matching "*<suffix>", in enumeration order.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& suffix);

class ReadOnlyFile {
 public:
  static std::unique_ptr<ReadOnlyFile> Open(const std::string& path);
  virtual ~ReadOnlyFile() = default;
  // The file's size, or -1.
  virtual std::int64_t Size() = 0;
  virtual bool Seek(std::uint64_t offset) = 0;
  // Bytes read, fewer at the end of the file, -1 on error.
  virtual std::int64_t Read(void* destination, std::size_t n) = 0;
};

// The path handed to a plug-in: its interface takes a path in the system's ANSI
// code page. Where a name cannot be expressed there, the file's short name is used.
std::string PluginPath(const std::string& path);

// Plug-in texts are Shift-JIS; the host works in UTF-8 (undecodable bytes become U+FFFD).
std::string Cp932ToUtf8(std::string_view text);

}  // namespace strataview
