#include "hpi/crc32.h"

#include <array>

namespace hpi {
namespace {

// Slicing by eight: table[k][b] is the CRC of byte b followed by k zero bytes.
constexpr std::size_t kSlices = 8;
using Tables = std::array<std::array<std::uint32_t, 256>, kSlices>;

constexpr Tables MakeTables() {
  Tables t{};
  for (std::uint32_t b = 0; b < 256; ++b) {
    std::uint32_t c = b;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][b] = c;
  }
  for (std::size_t k = 1; k < kSlices; ++k) {
    for (std::uint32_t b = 0; b < 256; ++b) t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFFu];
  }
  return t;
}

constexpr Tables kTables = MakeTables();

}  // namespace

void Crc32::Update(const void* bytes, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  std::uint32_t c = state_;
  for (; size >= kSlices; size -= kSlices, p += kSlices) {
    c ^= static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    c = kTables[7][c & 0xFFu] ^ kTables[6][(c >> 8) & 0xFFu] ^ kTables[5][(c >> 16) & 0xFFu] ^ kTables[4][c >> 24] ^
        kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
  }
  for (; size > 0; --size, ++p) c = kTables[0][(c ^ *p) & 0xFFu] ^ (c >> 8);
  state_ = c;
}

std::uint32_t ComputeCrc32(const void* bytes, std::size_t size) {
  Crc32 crc;
  crc.Update(bytes, size);
  return crc.Value();
}

}  // namespace hpi
