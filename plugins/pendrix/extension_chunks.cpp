// Chunks registered after the PNG and MNG standards: APNG's animation chunks,
// eXIf, cICP and iDOT.
#include "hpi/binary_file.h"
#include "ifd_walker.h"
#include "pendrix.h"

namespace pendrix {
namespace {

using W = Width;

bool Actl(Chunk& c) {
  c.State().animated = true;
  return c.Accept(c.Length() == 8) && c.Field("num_frames", W::U32, &c.State().numFrames) &&
         c.Field("num_plays", W::U32);
}

// fcTL and fdAT share one count from 0 up; a number out of turn is noted.
bool SequenceNumber(Chunk& c) {
  std::uint32_t number = 0;
  if (!c.Field("sequence_number", W::U32, &number)) return false;
  WalkState& state = c.State();
  if (number != state.nextSequence) c.Out().Note("out of sequence: %u expected", state.nextSequence);
  state.nextSequence = number + 1;
  return true;
}

constexpr Meaning kDisposeRows[] = {
    {0, "APNG_DISPOSE_OP_NONE"}, {1, "APNG_DISPOSE_OP_BACKGROUND"}, {2, "APNG_DISPOSE_OP_PREVIOUS"}};
constexpr Meanings kDispose{kDisposeRows};
constexpr Meaning kBlendRows[] = {{0, "APNG_BLEND_OP_SOURCE"}, {1, "APNG_BLEND_OP_OVER"}};
constexpr Meanings kBlend{kBlendRows};
constexpr FieldLayout kFctl[] = {
    {"width", W::U32},
    {"height", W::U32},
    {"x_offset", W::U32},
    {"y_offset", W::U32},
    {"delay_num", W::U16},
    {"delay_den", W::U16},
    {"dispose_op", W::U8, &kDispose},
    {"blend_op", W::U8, &kBlend},
};
bool Fctl(Chunk& c) {
  ++c.State().frameControls;
  return c.Accept(c.Length() == 26) && SequenceNumber(c) && c.Fields(kFctl);
}

bool Fdat(Chunk& c) {
  return c.Accept(c.Length() >= 4) && SequenceNumber(c) && (c.Left() == 0 || c.Range("frame_data", c.Left()));
}

// After an embedded walk (shared with the JPEG and TIFF plug-ins) over the
// chunk's data: the group closed so that the CRC belongs to the chunk again, a
// failed walk's fault written there as a warning, and the file put back at the
// data for the CRC. In a chunk cut by the end of the file the walk's fault is
// the analysis's last.
bool EndEmbeddedWalk(Chunk& c, bool walked, std::int64_t start) {
  if (!walked && c.RunsPastFile()) return false;
  c.Out().WriteGroupEnd(kChunkLevel + 1);
  if (!walked && !c.WriteRecordedFault()) return false;
  return c.File().Seek(start) || c.Fail(hpi::kFileReadError);
}

// The first bytes of the data, the file left at its start; false when the chunk
// is shorter or they cannot be read.
bool PeekData(Chunk& c, std::uint8_t* head, std::uint32_t n) {
  std::int64_t start = c.Position();
  return c.Left() >= n && hpi::ReadBlock(c.File(), head, n) == static_cast<int>(n) && c.File().Seek(start);
}

// eXIf holds an Exif TIFF structure, walked by the TIFF engine; data without a
// TIFF header is shown as one range.
bool Exif(Chunk& c) {
  if (!c.Accept(true)) return false;
  std::int64_t start = c.Position();
  std::uint32_t size = c.Left();
  std::uint8_t head[4] = {};
  if (size < 8 || !PeekData(c, head, sizeof head)) return size == 0 || c.Range("Exif data", size);
  bool tiff = (head[0] == 'I' && head[1] == 'I' && head[2] == 42 && head[3] == 0) ||
              (head[0] == 'M' && head[1] == 'M' && head[2] == 0 && head[3] == 42);
  if (!tiff) return c.Range("Exif data", size);
  bool walked = tiffjpeg::AnalyzeTiff(c.File(), c.Out(), tiffjpeg::kJpegFlavour, start, c.WindowEnd(), kChunkLevel + 1);
  return EndEmbeddedWalk(c, walked, start);
}

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
