// A buffered binary file opened for reading, with 64-bit positions, and the
// file-reading helpers the format walkers use.
//
// Each helper returns the number of bytes obtained: the full width on success,
// 0 to width-1 at the end of the file, -1 when the file reported an error.
#pragma once

#include <cstdint>
#include <cstdio>

namespace hpi {

class BinaryFile {
 public:
  BinaryFile() = default;
  ~BinaryFile() { Close(); }
  BinaryFile(const BinaryFile&) = delete;
  BinaryFile& operator=(const BinaryFile&) = delete;

  bool Open(const char* path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // Whence is SEEK_SET, SEEK_CUR or SEEK_END.
  bool Seek(std::int64_t offset, int whence = SEEK_SET);
  std::int64_t Tell();
  // The file's length, position unchanged; -1 when it cannot be had.
  std::int64_t Length();

  // Reads up to n bytes; the count, or -1 when the file reported an error.
  int Read(void* destination, std::size_t n);
  // Where the last read began: the place a failed check points at.
  std::uint64_t LastReadAt() const { return lastReadAt_; }

 private:
  std::FILE* file_ = nullptr;
  std::int64_t position_ = 0;  // kept beside the file's own, so reads need not ask it
  std::uint64_t lastReadAt_ = 0;
};

int ReadBlock(BinaryFile& file, void* destination, std::size_t n);
int ReadByte(BinaryFile& file, std::uint8_t& value);
int ReadLE16(BinaryFile& file, std::uint16_t& value);
int ReadBE16(BinaryFile& file, std::uint16_t& value);
int ReadLE32(BinaryFile& file, std::uint32_t& value);
int ReadBE32(BinaryFile& file, std::uint32_t& value);
int ReadLEFloat(BinaryFile& file, float& value);
int ReadBEFloat(BinaryFile& file, float& value);
int ReadLEDouble(BinaryFile& file, double& value);
int ReadBEDouble(BinaryFile& file, double& value);

}  // namespace hpi
