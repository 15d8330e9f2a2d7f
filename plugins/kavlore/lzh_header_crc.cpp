// The header CRC of LHA level 2 and 3 headers: a CRC-16 (polynomial 0xA001,
// reflected, initial value 0) of the whole header, taken with the CRC field of
// the common extended header set to zero.
#include <vector>

#include "hpi/bytes.h"
#include "lzh.h"

namespace kavlore::lzh {
namespace {

std::uint16_t Crc16(const std::uint8_t* bytes, std::size_t length) {
  std::uint16_t crc = 0;
  for (std::size_t i = 0; i < length; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = static_cast<std::uint16_t>(crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1);
  }
  return crc;
}

}  // namespace

bool HeaderCrcMatches(const std::uint8_t* b, std::size_t length) {
  bool level3 = b[20] == 3;
  std::size_t width = level3 ? 4 : 2;
  std::size_t fixed = level3 ? 32 : 26;
  if (length < fixed) return false;
  std::uint64_t total = level3 ? hpi::LE32(b + 24) : hpi::LE16(b);
  if (total < fixed || total > length) return false;
  std::uint64_t at = fixed;
  std::uint64_t size = level3 ? hpi::LE32(b + 28) : hpi::LE16(b + 24);
  while (size != 0) {
    if (size < 1 + width || at + size > total) return false;
    if (b[at] == 0x00 && size >= 3 + width) {
      std::vector<std::uint8_t> header(b, b + total);
      header[at + 1] = header[at + 2] = 0;
      return Crc16(header.data(), header.size()) == hpi::LE16(b + at + 1);
    }
    std::uint64_t next = at + size - width;
    at += size;
    size = level3 ? hpi::LE32(b + next) : hpi::LE16(b + next);
  }
  return false;
}

}  // namespace kavlore::lzh
