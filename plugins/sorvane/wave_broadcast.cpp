// Chunks of today's broadcast and large files: bext (the EBU Broadcast Wave
// format) and ds64 (the 64-bit sizes of RF64 and BW64).
#include <cstdio>

#include "sorvane.h"
#include "wave.h"

namespace sorvane {
namespace {

enum class Shape { Text, Number, Signed, Range };
struct BextField {
  const char* name;
  std::uint32_t width;
  Shape shape;
};
// BWF version 2 layout; fields that version 0 and 1 left reserved read as zero.
constexpr BextField kBext[] = {
    {"Description", 256, Shape::Text},
    {"Originator", 32, Shape::Text},
    {"OriginatorReference", 32, Shape::Text},
    {"OriginationDate", 10, Shape::Text},
    {"OriginationTime", 8, Shape::Text},
    {"TimeReferenceLow", 4, Shape::Number},
    {"TimeReferenceHigh", 4, Shape::Number},
    {"Version", 2, Shape::Number},
    {"UMID", 64, Shape::Range},
    {"LoudnessValue", 2, Shape::Signed},
    {"LoudnessRange", 2, Shape::Signed},
    {"MaxTruePeakLevel", 2, Shape::Signed},
    {"MaxMomentaryLoudness", 2, Shape::Signed},
    {"MaxShortTermLoudness", 2, Shape::Signed},
    {"Reserved", 180, Shape::Range},
};

bool WalkBextField(SoundFile& file, const BextField& field) {
  std::uint32_t value = 0;
  switch (field.shape) {
    case Shape::Text: return file.TextField(field.name, field.width, kWrongChunk);
    case Shape::Number: return file.Field(field.name, field.width, kWrongChunk, value);
    case Shape::Signed: return file.Field(field.name, field.width, kWrongChunk, value, hpi::ValueKind::Signed);
    default: return file.RangeItem(field.name, F, field.width);
  }
}

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

// The fixed fields as far as the chunk holds them, then the CodingHistory text.
bool WalkBext(WaveWalk& walk, Chunk& chunk) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, kWrongChunk, file.Size())) return false;
  std::uint64_t end = chunk.dataStart + chunk.size;
  for (const BextField& field : kBext) {
    if (file.Left(end) < field.width) break;
    if (!WalkBextField(file, field)) return false;
  }
  std::uint64_t history = file.Left(end);
  return (history == 0 || file.TextField("CodingHistory", history, kWrongChunk)) && file.SeekTo(chunk.End());
}

// riffSize, dataSize, sampleCount and a table of further chunk sizes.
bool WalkDs64(WaveWalk& walk, Chunk& chunk) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, kWrongChunk, file.Size())) return false;
  if (chunk.size < kDs64Size) return FailAtSize(chunk, kWrongChunk);
  std::uint64_t riffSize = 0;
  std::uint64_t dataSize = 0;
  std::uint64_t sampleCount = 0;
  std::uint32_t tableLength = 0;
  if (!Long(file, "riffSize", riffSize) || !Long(file, "dataSize", dataSize) ||
      !Long(file, "sampleCount", sampleCount) || !file.Field("tableLength", 4, kWrongChunk, tableLength)) {
    return false;
  }
  if (std::uint64_t{tableLength} * kTableEntrySize > chunk.size - kDs64Size) return FailAtSize(chunk, kWrongChunk);
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
