// Chunks registered after the PNG and MNG standards: APNG's animation chunks,
// eXIf, cICP and iDOT.
#include "pendrix.h"

namespace pendrix {
namespace {

using W = Width;

bool Actl(Chunk& c) {
  constexpr FieldLayout kFields[] = {{"num_frames", W::U32}, {"num_plays", W::U32}};
  return c.Accept(c.Length() == 8) && c.Fields(kFields);
}

constexpr Meaning kDisposeRows[] = {
    {0, "APNG_DISPOSE_OP_NONE"}, {1, "APNG_DISPOSE_OP_BACKGROUND"}, {2, "APNG_DISPOSE_OP_PREVIOUS"}};
constexpr Meanings kDispose{kDisposeRows};
constexpr Meaning kBlendRows[] = {{0, "APNG_BLEND_OP_SOURCE"}, {1, "APNG_BLEND_OP_OVER"}};
constexpr Meanings kBlend{kBlendRows};
constexpr FieldLayout kFctl[] = {
    {"sequence_number", W::U32},  {"width", W::U32},     {"height", W::U32},    {"x_offset", W::U32},
    {"y_offset", W::U32},         {"delay_num", W::U16}, {"delay_den", W::U16}, {"dispose_op", W::U8, &kDispose},
    {"blend_op", W::U8, &kBlend},
};
bool Fctl(Chunk& c) { return c.Accept(c.Length() == 26) && c.Fields(kFctl); }

bool Fdat(Chunk& c) {
  return c.Accept(c.Length() >= 4) && c.Field("sequence_number", W::U32) &&
         (c.Left() == 0 || c.Range("frame_data", c.Left()));
}

// A TIFF header and its IFDs; shown as one range.
bool Exif(Chunk& c) { return c.Accept(true) && (c.Left() == 0 || c.Range("Exif data", c.Left())); }

bool Cicp(Chunk& c) {
  constexpr FieldLayout kFields[] = {{"Colour Primaries", W::U8},
                                     {"Transfer Function", W::U8},
                                     {"Matrix Coefficients", W::U8},
                                     {"Video Full Range Flag", W::U8}};
  return c.Accept(c.Length() == 4) && c.Fields(kFields);
}

// Apple's private chunk of IDAT split points; its layout is not published.
bool Idot(Chunk& c) { return GeneralChunk(c); }

constexpr ChunkEntry kEntries[] = {
    {ChunkType("acTL"), Actl}, {ChunkType("fcTL"), Fctl}, {ChunkType("fdAT"), Fdat},
    {ChunkType("eXIf"), Exif}, {ChunkType("cICP"), Cicp}, {ChunkType("iDOT"), Idot},
};

}  // namespace

std::span<const ChunkEntry> ExtensionChunks() { return kEntries; }

}  // namespace pendrix
