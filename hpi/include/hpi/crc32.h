// The CRC-32 of ISO 3309 / ITU-T V.42 (polynomial 0xEDB88320, reflected), as
// PNG chunks, ZIP entries and gzip members store it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hpi {

class Crc32 {
 public:
  // Adds bytes to the running value.
  void Update(const void* bytes, std::size_t size);
  std::uint32_t Value() const { return ~state_; }

 private:
  std::uint32_t state_ = 0xFFFFFFFFu;
};

// The CRC-32 of one block.
std::uint32_t ComputeCrc32(const void* bytes, std::size_t size);

}  // namespace hpi
