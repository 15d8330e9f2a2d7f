#include "byte_source.h"

#include <algorithm>
#include <cstring>

namespace tiffjpeg {

bool JpegByteSource::Seek(std::int64_t position) {
  if (position < 0) return false;
  position_ = position;
  return true;
}

int JpegByteSource::Fill() {
  if (position_ >= bufferStart_ && position_ < bufferStart_ + static_cast<std::int64_t>(bufferLength_)) return 1;
  if (position_ >= end_) return kEnd;
  if (!file_.Seek(position_)) return kError;
  std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(kBufferSize, end_ - position_));
  int got = hpi::ReadBlock(file_, buffer_.get(), want);
  if (got < 0) return kError;
  bufferStart_ = position_;
  bufferLength_ = static_cast<std::size_t>(got);
  return got > 0 ? 1 : kEnd;
}

int JpegByteSource::Read(std::uint8_t* destination, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    int state = Fill();
    if (state == kError) return kError;
    if (state == kEnd) break;
    std::size_t at = static_cast<std::size_t>(position_ - bufferStart_);
    std::size_t take = std::min(n - done, bufferLength_ - at);
    std::memcpy(destination + done, buffer_.get() + at, take);
    done += take;
    position_ += static_cast<std::int64_t>(take);
  }
  return static_cast<int>(done);
}

int JpegByteSource::ReadByte(std::uint8_t& value) {
  int state = Fill();
  if (state != 1) return state;
  value = buffer_[position_ - bufferStart_];
  ++position_;
  return 1;
}

int JpegByteSource::SkipPastFF() {
  for (;;) {
    int state = Fill();
    if (state != 1) return state;
    std::size_t at = static_cast<std::size_t>(position_ - bufferStart_);
    const void* hit = std::memchr(buffer_.get() + at, 0xFF, bufferLength_ - at);
    if (hit != nullptr) {
      position_ = bufferStart_ + (static_cast<const std::uint8_t*>(hit) - buffer_.get()) + 1;
      return 1;
    }
    position_ = bufferStart_ + static_cast<std::int64_t>(bufferLength_);
  }
}

}  // namespace tiffjpeg
