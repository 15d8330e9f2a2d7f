// Voltane's support test on the file's first 2000 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace voltane {

inline constexpr std::uint16_t kBmpMarker = 0x4D42;  // "BM"

int IsSupported(const std::uint8_t* head, std::size_t length);

}  // namespace voltane
