// The order rules of the PNG standard, checked as the chunks come: a chunk out
// of place is shown with a note rather than refused.
#pragma once

#include <cstdint>

namespace pendrix {

class ChunkOrder {
 public:
  // firstChunk is the kind's header chunk; pngRules adds the rules around PLTE
  // and IDAT, which hold in a PNG file only (an MNG repeats them per image).
  ChunkOrder(std::uint32_t firstChunk, bool pngRules) : first_(firstChunk), pngRules_(pngRules) {}

  // The note for the next chunk, or null when it stands where it may; paletted
  // tells whether the image's colour type is 3, which puts tRNS and bKGD after PLTE.
  const char* Check(std::uint32_t type, bool paletted);

 private:
  std::uint32_t first_;
  bool pngRules_;
  bool started_ = false;
  bool seenPalette_ = false;
  bool seenImageData_ = false;
  bool lastWasImageData_ = false;
  char firstNote_[40] = {};
};

}  // namespace pendrix
