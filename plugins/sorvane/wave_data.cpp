// The data chunk with its sample preview, and the fact chunk.
#include <algorithm>

#include "sorvane.h"
#include "wave.h"

namespace sorvane {
namespace {

constexpr std::uint32_t kPcm = 0x0001;
constexpr std::uint32_t kMsAdpcm = 0x0002;
constexpr std::uint32_t kPreviewFrames = 4;
constexpr char kEllipsis[] = "・・・";

void WriteMore(hpi::Writer& out) { out.WriteValue(sizeof kEllipsis - 1, kEllipsis, hpi::ValueKind::Text); }

// A sample as a value of its own width, little-endian whatever the file's order.
void WriteSample(SoundFile& file, const std::uint8_t* bytes, std::uint32_t width, hpi::ValueKind kind) {
  std::uint32_t value = file.Number(bytes, width);
  std::uint8_t le[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
  file.out.WriteValue(width, le, kind);
}

// The first frames of 8- or 16-bit PCM, as far as the chunk holds them.
bool PreviewPcm(WaveWalk& walk, const Chunk& chunk) {
  SoundFile& file = walk.file;
  std::uint32_t width = walk.bitsPerSample / 8;
  std::uint32_t frameSize = width * walk.channels;
  std::uint32_t frames = static_cast<std::uint32_t>(std::min<std::uint64_t>(kPreviewFrames, chunk.size / frameSize));
  std::uint8_t bytes[kPreviewFrames * 4];
  if (!file.Bytes(bytes, frames * frameSize, kWrongData)) return false;
  hpi::ValueKind kind = width == 2 ? hpi::ValueKind::Signed : hpi::ValueKind::Unsigned;
  for (std::uint32_t i = 0; i < frames; ++i) {
    const std::uint8_t* frame = bytes + i * frameSize;
    if (walk.channels == 1) {
      WriteSample(file, frame, width, kind);
      file.out.Comment("Sample[%u]", i);
    } else {
      WriteSample(file, frame, width, kind);
      file.out.Comment("Sample[%u] left", i);
      WriteSample(file, frame + width, width, kind);
      file.out.Comment("Sample[%u] right", i);
    }
  }
  if (chunk.size > frames * frameSize) WriteMore(file.out);
  return true;
}

// The header of the first Microsoft ADPCM block: predictors, deltas and the
// first two samples of each channel, then the first nibbles.
bool PreviewMsAdpcm(WaveWalk& walk, const Chunk& chunk) {
  SoundFile& file = walk.file;
  std::uint32_t channels = walk.channels;
  std::uint32_t headerSize = 8 * channels;
  if (chunk.size < headerSize) return true;
  std::uint8_t bytes[16];
  if (!file.Bytes(bytes, headerSize, kWrongData)) return false;
  const char* const suffixes[2] = {channels == 1 ? "" : " L", " R"};
  struct Part {
    const char* format;
    std::uint32_t width;
  };
  constexpr Part kParts[] = {{"bPredictor%s", 1}, {"iDelta%s", 2}, {"iSamp1%s", 2}, {"iSamp2%s", 2}};
  const std::uint8_t* p = bytes;
  for (const Part& part : kParts) {
    for (std::uint32_t c = 0; c < channels; ++c, p += part.width) {
      WriteSample(file, p, part.width, hpi::ValueKind::Unsigned);
      file.out.Comment(part.format, suffixes[c]);
    }
  }
  if (channels == 1) {
    WriteSample(file, p, 1, hpi::ValueKind::Unsigned);
    file.out.WriteComment("iSamp3,iSamp4");
  } else {
    WriteSample(file, p, 1, hpi::ValueKind::Unsigned);
    file.out.WriteComment("iSamp3(L),iSamp3(R)");
    WriteSample(file, p + 1, 1, hpi::ValueKind::Unsigned);
    file.out.WriteComment("iSamp4(L),iSamp4(R)");
  }
  if (chunk.size > headerSize) WriteMore(file.out);
  return true;
}

bool Preview(WaveWalk& walk, const Chunk& chunk) {
  bool oneOrTwo = walk.channels == 1 || walk.channels == 2;
  if (walk.formatTag == kPcm && oneOrTwo && (walk.bitsPerSample == 8 || walk.bitsPerSample == 16)) {
    return PreviewPcm(walk, chunk);
  }
  if (walk.formatTag == kMsAdpcm && oneOrTwo && walk.bitsPerSample == 4) return PreviewMsAdpcm(walk, chunk);
  return true;
}

}  // namespace

bool WalkData(WaveWalk& walk, Chunk& chunk) {
  SoundFile& file = walk.file;
  if (walk.ds64DataSize) {
    if (!ReadChunkSize(file, chunk, kWrongData, UINT64_MAX)) return false;
    if (chunk.size == kOpenSize) {
      chunk.size = *walk.ds64DataSize;
      file.out.Comment("dataSize in ds64: %llu", static_cast<unsigned long long>(chunk.size));
    }
    ClipToLimit(file, chunk, file.Size(), "ChunkSize");
  } else if (!ReadSoundDataSize(file, chunk, kWrongData, walk.openRiffSize, "ChunkSize")) {
    return false;
  }
  if (walk.blockAlign != 0 && Uncompressed(walk.formatTag)) {
    // From the size as stored, which a cut file does not change.
    std::uint64_t stored = chunk.cutSizeName != nullptr ? chunk.storedSize : chunk.size;
    WriteFramesNote(file.out, stored / walk.blockAlign, walk.blockAlign, walk.sampleRate);
  }
  file.out.WriteItem("Wave Form Data", F, Clip32(chunk.dataStart), Clip32(chunk.size));
  return Preview(walk, chunk) && file.SeekTo(chunk.End());
}

bool WalkFact(WaveWalk& walk, Chunk& chunk) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, kWrongFact, file.Size())) return false;
  if (chunk.Stored() != 4) return FailAtSize(chunk, kWrongFact);
  std::uint32_t length = 0;
  return file.Field("dwSampleLength", 4, kWrongFact, length);
}

}  // namespace sorvane
