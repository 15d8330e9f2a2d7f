// The RIFF WAVE walk: its state and its chunk walkers. Each walker is called with
// the chunk's identifier read and its heading written, reads the chunk's size
// and leaves the file at the chunk's end.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "chunk.h"

namespace sorvane {

inline constexpr int kListLevel = 3;  // chunks inside a LIST chunk

struct WaveWalk {
  SoundFile& file;
  // The last fmt chunk's values; the data chunk's sample preview depends on them.
  std::uint32_t formatTag = 0;
  std::uint32_t channels = 0;
  std::uint32_t bitsPerSample = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t blockAlign = 0;
  // RF64 and BW64: the data size from the ds64 chunk, which stands for a stored 0xFFFFFFFF.
  std::optional<std::uint64_t> ds64DataSize = std::nullopt;
  // The RIFF size is 0 or 0xFFFFFFFF, as a streaming writer leaves it.
  bool openRiffSize = false;
  // The RIFF size when it is a size (not open, not in ds64), checked after the walk.
  std::optional<std::uint32_t> riffSize = std::nullopt;
};

bool WalkFmt(WaveWalk& walk, Chunk& chunk);
bool WalkData(WaveWalk& walk, Chunk& chunk);
bool WalkFact(WaveWalk& walk, Chunk& chunk);
bool WalkCue(WaveWalk& walk, Chunk& chunk);
bool WalkPlst(WaveWalk& walk, Chunk& chunk);
bool WalkSmpl(WaveWalk& walk, Chunk& chunk);
bool WalkInst(WaveWalk& walk, Chunk& chunk);
bool WalkList(WaveWalk& walk, Chunk& chunk);
bool WalkBext(WaveWalk& walk, Chunk& chunk);
bool WalkDs64(WaveWalk& walk, Chunk& chunk);
bool WalkCart(WaveWalk& walk, Chunk& chunk);
bool WalkPeak(WaveWalk& walk, Chunk& chunk);
bool WalkAcid(WaveWalk& walk, Chunk& chunk);
bool WalkDisp(WaveWalk& walk, Chunk& chunk);
bool WalkIxml(WaveWalk& walk, Chunk& chunk);
bool WalkXmp(WaveWalk& walk, Chunk& chunk);

// A record of fixed-width fields, texts and ranges, as the broadcast chunks have.
enum class LayoutShape { Text, Number, Signed, Range };
struct LayoutField {
  const char* name;
  std::uint32_t width;
  LayoutShape shape;
};
// The fields as far as the chunk holds them, then what is left as the text restName.
bool WalkLayoutChunk(SoundFile& file, Chunk& chunk, std::span<const LayoutField> fields, const char* restName);

// PCM and the floating-point and logarithmic formats, whose frames are nBlockAlign bytes.
bool Uncompressed(std::uint32_t formatTag);

// Names from the format tables.
const char* FormatName(std::uint32_t formatTag);
// The published name of a WAVE_FORMAT_EXTENSIBLE SubFormat GUID, or nullptr.
const char* SubFormatName(const SoundFile& file, const std::uint8_t guid[16]);
// Writes the comment (short speaker names) and one note per speaker of a channel mask.
void WriteSpeakers(hpi::Writer& out, std::uint32_t channelMask);

}  // namespace sorvane
