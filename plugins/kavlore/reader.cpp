#include "reader.h"

#include <limits>

#include "hpi/bytes.h"

namespace kavlore {

int Reader::ReadSome(void* destination, std::size_t n) {
  int got = hpi::ReadBlock(file_, destination, n);
  if (got < 0) {
    placed_ = false;
    FailHere(hpi::kStreamError);
    return -1;
  }
  position_ += static_cast<std::uint64_t>(got);
  return got;
}

bool Reader::Read(void* destination, std::size_t n, int shortCode) {
  std::uint64_t start = position_;
  int got = ReadSome(destination, n);
  if (got < 0) return false;
  // A read that starts past the end fails at the end.
  if (static_cast<std::size_t>(got) != n) return Fault(shortCode, start);
  return true;
}

bool Reader::U8(std::uint8_t& value, int shortCode) { return Read(&value, 1, shortCode); }

bool Reader::U16(std::uint16_t& value, int shortCode) {
  std::uint8_t b[2];
  if (!Read(b, 2, shortCode)) return false;
  value = hpi::LE16(b);
  return true;
}

bool Reader::U32(std::uint32_t& value, int shortCode) {
  std::uint8_t b[4];
  if (!Read(b, 4, shortCode)) return false;
  value = hpi::LE32(b);
  return true;
}

bool Reader::SeekTo(std::uint64_t position) {
  if (placed_ && position == position_) return true;
  if (position > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) ||
      !file_.Seek(static_cast<std::int64_t>(position))) {
    return Fault(hpi::kFileReadError, position);
  }
  position_ = position;
  placed_ = true;
  return true;
}

}  // namespace kavlore
