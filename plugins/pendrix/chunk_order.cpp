#include "chunk_order.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "pendrix.h"

namespace pendrix {
namespace {

constexpr std::uint32_t kPalette = ChunkType("PLTE");
constexpr std::uint32_t kImageData = ChunkType("IDAT");
constexpr std::uint32_t kHistogram = ChunkType("hIST");
constexpr std::uint32_t kTransparency = ChunkType("tRNS");
constexpr std::uint32_t kBackground = ChunkType("bKGD");

// Colour-space chunks come before PLTE; these and the other ancillary chunks
// that describe the whole image come before the first IDAT.
constexpr std::uint32_t kBeforePalette[] = {
    ChunkType("cHRM"), ChunkType("gAMA"), ChunkType("iCCP"), ChunkType("sBIT"), ChunkType("sRGB"), ChunkType("cICP"),
};
constexpr std::uint32_t kBeforeImageData[] = {
    ChunkType("PLTE"), ChunkType("cHRM"), ChunkType("gAMA"), ChunkType("iCCP"), ChunkType("sBIT"),
    ChunkType("sRGB"), ChunkType("cICP"), ChunkType("tRNS"), ChunkType("bKGD"), ChunkType("hIST"),
    ChunkType("pHYs"), ChunkType("sPLT"), ChunkType("acTL"), ChunkType("IHDR"),
};

template <std::size_t N>
bool In(const std::uint32_t (&types)[N], std::uint32_t type) {
  return std::find(std::begin(types), std::end(types), type) != std::end(types);
}

}  // namespace

const char* ChunkOrder::Check(std::uint32_t type, bool paletted) {
  if (!started_) {
    started_ = true;
    if (type == first_) return nullptr;
    std::snprintf(firstNote_, sizeof firstNote_, "The first chunk must be %s", TypeText(first_).chars);
    return firstNote_;
  }
  if (!pngRules_) return nullptr;
  const char* note = nullptr;
  if (type == kImageData && seenImageData_ && !lastWasImageData_) note = "IDAT chunks must be consecutive";
  if (seenImageData_ && In(kBeforeImageData, type)) note = "Must come before the first IDAT chunk";
  if (seenPalette_ && In(kBeforePalette, type)) note = "Must come before PLTE";
  bool needsPalette = type == kHistogram || (paletted && (type == kTransparency || type == kBackground));
  if (!seenPalette_ && needsPalette) note = "Must come after PLTE";
  seenPalette_ = seenPalette_ || type == kPalette;
  seenImageData_ = seenImageData_ || type == kImageData;
  lastWasImageData_ = type == kImageData;
  return note;
}

}  // namespace pendrix
