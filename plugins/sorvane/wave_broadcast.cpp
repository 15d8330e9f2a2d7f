// Chunks of today's broadcast and large files: bext (the EBU Broadcast Wave
// format), cart (AES46 cart chunk) and ds64 (the 64-bit sizes of RF64 and BW64).
#include <cstdio>

#include "sorvane.h"
#include "wave.h"

namespace sorvane {
namespace {

using S = LayoutShape;
// BWF version 2 layout; fields that version 0 and 1 left reserved read as zero.
constexpr LayoutField kBext[] = {
    {"Description", 256, S::Text},
    {"Originator", 32, S::Text},
    {"OriginatorReference", 32, S::Text},
    {"OriginationDate", 10, S::Text},
    {"OriginationTime", 8, S::Text},
    {"TimeReferenceLow", 4, S::Number},
    {"TimeReferenceHigh", 4, S::Number},
    {"Version", 2, S::Number},
    {"UMID", 64, S::Range},
    {"LoudnessValue", 2, S::Signed},
    {"LoudnessRange", 2, S::Signed},
    {"MaxTruePeakLevel", 2, S::Signed},
    {"MaxMomentaryLoudness", 2, S::Signed},
    {"MaxShortTermLoudness", 2, S::Signed},
    {"Reserved", 180, S::Range},
};

constexpr LayoutField kCart[] = {
    {"Version", 4, S::Text},         {"Title", 64, S::Text},
    {"Artist", 64, S::Text},         {"CutID", 64, S::Text},
    {"ClientID", 64, S::Text},       {"Category", 64, S::Text},
    {"Classification", 64, S::Text}, {"OutCue", 64, S::Text},
    {"StartDate", 10, S::Text},      {"StartTime", 8, S::Text},
    {"EndDate", 10, S::Text},        {"EndTime", 8, S::Text},
    {"ProducerAppID", 64, S::Text},  {"ProducerAppVersion", 64, S::Text},
    {"UserDef", 64, S::Text},        {"LevelReference", 4, S::Signed},
    {"PostTimer", 64, S::Range},     {"Reserved", 276, S::Range},
    {"URL", 1024, S::Text},
};

constexpr std::uint32_t kDs64Size = 28;
constexpr std::uint32_t kTableEntrySize = 12;

bool Long(SoundFile& file, const char* name, std::uint64_t& value) {
  std::uint32_t low = 0;
  std::uint32_t high = 0;
  std::uint64_t at = file.Position();
  if (!file.U32(low, kWrongChunk) || !file.U32(high, kWrongChunk)) return false;
  value = std::uint64_t{high} << 32 | low;
  file.out.WriteLongItem(name, F, Clip32(at), value);
  return true;
}

}  // namespace

bool WalkBext(WaveWalk& walk, Chunk& chunk) { return WalkLayoutChunk(walk.file, chunk, kBext, "CodingHistory"); }

bool WalkCart(WaveWalk& walk, Chunk& chunk) { return WalkLayoutChunk(walk.file, chunk, kCart, "TagText"); }

// riffSize, dataSize, sampleCount and a table of further chunk sizes.
bool WalkDs64(WaveWalk& walk, Chunk& chunk) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, kWrongChunk, file.Size())) return false;
  if (chunk.Stored() < kDs64Size) return FailAtSize(chunk, kWrongChunk);
  std::uint64_t riffSize = 0;
  std::uint64_t dataSize = 0;
  std::uint64_t sampleCount = 0;
  std::uint32_t tableLength = 0;
  if (!Long(file, "riffSize", riffSize) || !Long(file, "dataSize", dataSize) ||
      !Long(file, "sampleCount", sampleCount) || !file.Field("tableLength", 4, kWrongChunk, tableLength)) {
    return false;
  }
  if (std::uint64_t{tableLength} * kTableEntrySize > chunk.Stored() - kDs64Size) return FailAtSize(chunk, kWrongChunk);
  walk.ds64DataSize = dataSize;
  for (std::uint32_t i = 0; i < tableLength; ++i) {
    char name[24];
    std::snprintf(name, sizeof name, "table[%u]", i);
    file.out.WriteItem(name, kSubLevel, Clip32(file.Position()), kTableEntrySize);
    std::uint8_t id[4];
    std::uint64_t at = file.Position();
    std::uint64_t size = 0;
    if (!file.Bytes(id, sizeof id, kWrongChunk)) return false;
    file.WriteNumber("chunkId", at, 4, file.IdNumber(id));
    file.out.WriteComment(IdText(id).text);
    if (!Long(file, "chunkSize", size)) return false;
  }
  return file.SeekTo(chunk.End());
}

}  // namespace sorvane
