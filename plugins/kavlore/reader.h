// Reading an archive forward with the file-reading helpers, recording the
// walker's code on a short read, code 3 on a read error and code 5 on a failing
// seek, each at the offset of the read or seek. The position is tracked here,
// so walkers can check lengths against the file's size without asking the file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hpi/binary_file.h"
#include "hpi/messages.h"

namespace kavlore {

using hpi::FailAt;

class Reader {
 public:
  Reader(hpi::BinaryFile& file, std::uint64_t size) : file_(file), size_(size) {}

  std::uint64_t Position() const { return position_; }
  std::uint64_t Size() const { return size_; }
  std::uint64_t Remaining() const { return position_ < size_ ? size_ - position_ : 0; }
  bool AtEnd() const { return position_ >= size_; }
  // True when n bytes from the position lie within the file.
  bool Holds(std::uint64_t n) const { return n <= Remaining(); }

  // Reads exactly n bytes.
  bool Read(void* destination, std::size_t n, int shortCode);
  // Reads up to n bytes: the count obtained, or -1 after recording code 3.
  int ReadSome(void* destination, std::size_t n);
  bool U8(std::uint8_t& value, int shortCode);
  bool U16(std::uint16_t& value, int shortCode);
  bool U32(std::uint32_t& value, int shortCode);

  // Moves the file to position; no call to the file when the reader's own seek
  // or reads already left it there.
  bool SeekTo(std::uint64_t position);
  bool Skip(std::uint64_t n) { return SeekTo(position_ + n); }
  // Records code at the reader's position.
  bool FailHere(int code) const { return Fault(code, position_); }
  // Records code at offset, or at the end of the file for an offset past it.
  bool Fault(int code, std::uint64_t offset) const { return FailAt(code, offset < size_ ? offset : size_); }

 private:
  hpi::BinaryFile& file_;
  std::uint64_t size_;
  std::uint64_t position_ = 0;
  bool placed_ = false;  // the file is known to be at position_
};

}  // namespace kavlore
