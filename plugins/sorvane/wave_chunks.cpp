// The cue, plst, smpl and inst chunks: fixed headers and tables of records.
#include <algorithm>
#include <cstdio>

#include "sorvane.h"
#include "wave.h"

namespace sorvane {
namespace {

constexpr hpi::ValueKind S = hpi::ValueKind::Signed;
constexpr hpi::ValueKind U = hpi::ValueKind::Unsigned;

void IdRemark(hpi::Writer& out, std::uint32_t, const std::uint8_t* bytes) { out.WriteComment(IdText(bytes).text); }

void LoopTypeRemark(hpi::Writer& out, std::uint32_t type, const std::uint8_t*) {
  constexpr const char* kTypes[] = {"Loop forward", "Alternating loop", "Loop backward"};
  out.WriteComment(type < 3 ? kTypes[type] : type <= 31 ? "reserved" : "manufacturer defined");
}

constexpr FieldSpec kCuePoint[] = {
    {"dwIdentifier", 4, S}, {"dwPosition", 4, S},   {"fccChunk", 4, U, IdRemark},
    {"dwChunkStart", 4, S}, {"dwBlockStart", 4, S}, {"dwSampleOffset", 4, S},
};
constexpr FieldSpec kSegment[] = {{"dwIdentifier", 4}, {"dwLength", 4}, {"dwRepeats", 4}};
constexpr FieldSpec kSamplerHeader[] = {
    {"dwManufacturer", 4},  {"dwProduct", 4},           {"dwSamplePeriod", 4},
    {"dwMIDIUnityNote", 4}, {"dwMIDIPitchFraction", 4}, {"dwSMPTEFormat", 4},
    {"dwSMPTEOffset", 4},   {"cSampleLoops", 4},        {"cbSamplerData", 4},
};
// The sixth field is the play count; this plug-in has always shown it as "dwFraction".
constexpr FieldSpec kSampleLoop[] = {
    {"dwIdentifier", 4}, {"dwType", 4, U, LoopTypeRemark}, {"dwStart", 4}, {"dwEnd", 4}, {"dwFraction", 4},
    {"dwFraction", 4},
};
constexpr FieldSpec kInstrument[] = {
    {"UnshiftedNote", 1}, {"FineTune", 1, S}, {"Gain", 1, S},      {"LowNote", 1},
    {"HighNote", 1},      {"LowVelocity", 1}, {"HighVelocity", 1},
};

// count records of the table's width, each a range item named by nameFormat at level 2.
bool WalkRecords(SoundFile& file, const char* nameFormat, std::span<const FieldSpec> fields, std::uint32_t count,
                 int code) {
  std::uint32_t width = 0;
  for (const FieldSpec& field : fields) width += field.width;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint8_t bytes[kMaxRecord];
    std::uint64_t at = file.Position();
    if (!file.Bytes(bytes, std::min<std::size_t>(width, sizeof bytes), code)) return false;
    char name[32];
    std::snprintf(name, sizeof name, nameFormat, i);
    file.out.WriteItem(name, kSubLevel, Clip32(at), width);
    file.WriteFields(fields, bytes, at);
    if (!file.out.Ok()) return false;
  }
  return true;
}

// A chunk of a count and that many records, whose size must match the count.
bool WalkCountedTable(WaveWalk& walk, Chunk& chunk, const char* countName, hpi::ValueKind countKind,
                      const char* nameFormat, std::span<const FieldSpec> fields, int code) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, code, file.Size())) return false;
  if (chunk.Stored() < 4) return FailAtSize(chunk, code);
  std::uint32_t count = 0;
  if (!file.Field(countName, 4, code, count, countKind)) return false;
  std::uint64_t width = 0;
  for (const FieldSpec& field : fields) width += field.width;
  if (chunk.Stored() != count * width + 4) return FailAtSize(chunk, code);
  return WalkRecords(file, nameFormat, fields, count, code);
}

}  // namespace

bool WalkCue(WaveWalk& walk, Chunk& chunk) {
  return WalkCountedTable(walk, chunk, "dwCuePoints", S, "CuePoints[%u]", kCuePoint, kWrongCue);
}

bool WalkPlst(WaveWalk& walk, Chunk& chunk) {
  return WalkCountedTable(walk, chunk, "dwSegments", U, "Segment[%u]", kSegment, kWrongPlst);
}

// Sampler data after the loops is not taken apart: such a chunk is refused.
bool WalkSmpl(WaveWalk& walk, Chunk& chunk) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, kWrongSmpl, file.Size())) return false;
  if (chunk.Stored() < 36) return FailAtSize(chunk, kWrongSmpl);
  std::uint32_t v[std::size(kSamplerHeader)];
  if (!file.Fields(kSamplerHeader, kWrongSmpl, v)) return false;
  std::uint32_t loops = v[7];
  if (chunk.Stored() != std::uint64_t{loops} * 24 + 36) return FailAtSize(chunk, kWrongSmpl);
  return WalkRecords(file, "SampleLoop[%u]", kSampleLoop, loops, kWrongSmpl);
}

bool WalkInst(WaveWalk& walk, Chunk& chunk) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, kWrongInst, file.Size())) return false;
  if (chunk.Stored() != 7) return FailAtSize(chunk, kWrongInst);
  return file.Fields(kInstrument, kWrongInst) && file.SeekTo(chunk.End());
}

}  // namespace sorvane
