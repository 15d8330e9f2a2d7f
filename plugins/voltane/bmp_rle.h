// The escape codes of RLE8 and RLE4 pixel data (BI_RLE8, BI_RLE4).
#pragma once

#include <cstdint>

#include "hpi/plugin.h"

namespace voltane {

struct RleImage {
  std::uint32_t offset;  // where the pixel data starts; the file is positioned there
  std::uint32_t size;    // bytes of pixel data within the file
  bool rle4;
  std::int32_t width;
  std::int32_t height;  // rows, positive
};

// Writes each run and escape as a field beneath "Image Data"; runs that leave
// the bitmap get a note. After a bounded number of codes the rest is one range.
// False on a read error (recorded) or when the stream refused a write.
bool WalkRle(hpi::Analysis& analysis, const RleImage& image);

}  // namespace voltane
