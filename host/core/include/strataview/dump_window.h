// The dump's window of at most 100 lines of 16 bytes over the analysed file, in
// three column texts (addresses, hexadecimal bytes, characters). Line numbers
// are 64-bit, so files of any size dump correctly at any offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "strataview/platform/files.h"

namespace strataview {

enum DumpColumn : int { kAddressColumn = 0, kHexColumn = 1, kCharColumn = 2 };

inline constexpr std::size_t kBytesPerLine = 16;
inline constexpr std::size_t kWindowLines = 100;
// Characters per full line of the hex column (" %02x" per byte and CR LF):
// byte c of loaded line r begins at 50 * r + 3 * c.
inline constexpr std::size_t kHexLineChars = 50;

// The header above the columns and its two prefixes that mark where the hex and
// character columns begin.
struct DumpHeader {
  const char* full;
  const char* address;
  const char* addressAndHex;
};
const DumpHeader& HeaderFor(bool wide);

// One line's texts, each ending in CR LF.
std::string AddressText(std::uint64_t line, bool wide);
std::string HexText(const std::uint8_t* bytes, std::size_t n);
std::string CharText(const std::uint8_t* bytes, std::size_t n);

// What the dump view mirrors of the window's edits.
class DumpPanes {
 public:
  virtual ~DumpPanes() = default;
  virtual void SetText(DumpColumn column, const std::string& text) = 0;
  virtual void Erase(DumpColumn column, std::size_t from, std::size_t to) = 0;
  virtual void Insert(DumpColumn column, std::size_t at, const std::string& text) = 0;
  // A new file was opened: the header may have changed width and the scroll range.
  virtual void FileChanged() = 0;
};

class DumpWindow {
 public:
  explicit DumpWindow(DumpPanes* panes = nullptr) : panes_(panes) {}

  // Each returns 0 or a host message number: 4 open error, 5 no file, 6 read error.
  int Open(const std::string& path);
  int LoadAt(std::uint64_t line);
  int ShiftBy(std::int64_t lines);

  bool IsOpen() const { return file_ != nullptr; }
  std::uint64_t FileSize() const { return size_; }
  std::uint64_t LineCount() const { return lineCount_; }
  std::uint64_t TopLine() const { return top_; }
  std::size_t LoadedLines() const { return loaded_; }
  bool Wide() const { return wide_; }
  // The smallest right shift of the line count that makes it at most 0x8FFFFFFF.
  int ScrollShift() const { return scrollShift_; }
  const std::string& Text(DumpColumn column) const { return texts_[column]; }
  // Characters of one line in a column (the last line of the file may be shorter).
  std::size_t LineChars(DumpColumn column) const;

 private:
  struct Lines {
    std::string texts[3];
    std::size_t count = 0;
  };
  // Reads and formats up to count lines from line first; false on a read error.
  bool ReadLines(std::uint64_t first, std::size_t count, Lines& lines);
  void EraseFront(std::size_t lines);
  void EraseBack(std::size_t lines);

  DumpPanes* panes_;
  std::unique_ptr<ReadOnlyFile> file_;
  std::uint64_t size_ = 0;
  std::uint64_t lineCount_ = 0;
  bool wide_ = false;
  int scrollShift_ = 0;
  std::uint64_t top_ = 0;
  std::size_t loaded_ = 0;
  std::string texts_[3];
};

}  // namespace strataview
