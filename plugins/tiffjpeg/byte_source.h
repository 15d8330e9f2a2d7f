// The JPEG walk's reader: a buffered window [start, end) over the analysed
// file, read forward, with the scan for the next 0xFF byte done on the buffer.
// Other walks may move the file between calls: every refill seeks first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "hpi/binary_file.h"

namespace tiffjpeg {

class JpegByteSource {
 public:
  static constexpr int kEnd = -1;    // the window ended first
  static constexpr int kError = -4;  // the file reported an error

  JpegByteSource(hpi::BinaryFile& file, std::int64_t end)
      : file_(file), end_(end), buffer_(std::make_unique<std::uint8_t[]>(kBufferSize)) {}

  std::int64_t Tell() const { return position_; }
  std::int64_t End() const { return end_; }
  // Absolute; false for a position before the file's start.
  bool Seek(std::int64_t position);
  // Reads up to n bytes: the count obtained, or kError.
  int Read(std::uint8_t* destination, std::size_t n);
  // One byte: 1, kEnd or kError.
  int ReadByte(std::uint8_t& value);
  // Moves past the next 0xFF byte: 1, kEnd or kError.
  int SkipPastFF();

 private:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  // Makes the byte at position_ buffered: 1, kEnd or kError.
  int Fill();

  hpi::BinaryFile& file_;
  std::int64_t end_;
  std::int64_t position_ = 0;
  std::int64_t bufferStart_ = 0;
  std::size_t bufferLength_ = 0;
  std::unique_ptr<std::uint8_t[]> buffer_;  // on the heap: walks nest
};

}  // namespace tiffjpeg
