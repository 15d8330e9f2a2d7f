// Metadata chunks that recording and editing programs add to WAVE files: PEAK
// (peak envelope), acid (ACID loop information), DISP (a display object), iXML
// and _PMX (XMP), and the record walk the broadcast chunks share.
#include <cstdio>
#include <cstring>

#include "sorvane.h"
#include "wave.h"

namespace sorvane {
namespace {

using S = LayoutShape;

bool WalkLayoutField(SoundFile& file, const LayoutField& field) {
  std::uint32_t value = 0;
  switch (field.shape) {
    case S::Text: return file.TextField(field.name, field.width, kWrongChunk);
    case S::Number: return file.Field(field.name, field.width, kWrongChunk, value);
    case S::Signed: return file.Field(field.name, field.width, kWrongChunk, value, hpi::ValueKind::Signed);
    default: return file.RangeItem(field.name, F, field.width);
  }
}

// A 32-bit IEEE float as a comment.
void FloatRemark(hpi::Writer& out, std::uint32_t bits, const std::uint8_t*) {
  float value = 0;
  std::memcpy(&value, &bits, sizeof value);
  out.Comment("%g", static_cast<double>(value));
}

constexpr FieldSpec kPeakHeader[] = {{"dwVersion", 4}, {"dwTimeStamp", 4}};
constexpr FieldSpec kPeakPoint[] = {{"value", 4, hpi::ValueKind::Unsigned, FloatRemark}, {"position", 4}};
constexpr std::uint32_t kPeakPointSize = 8;

void AcidFlagsRemark(hpi::Writer& out, std::uint32_t flags, const std::uint8_t*) {
  constexpr const char* kFlags[] = {"one-shot", "root note set", "stretch", "disk-based", "high octave"};
  char text[96] = "";
  std::size_t used = 0;
  for (unsigned bit = 0; bit < 5; ++bit) {
    if ((flags & (1u << bit)) == 0) continue;
    int n = std::snprintf(text + used, sizeof text - used, "%s%s", used == 0 ? "" : ", ", kFlags[bit]);
    if (n > 0) used += static_cast<std::size_t>(n);
  }
  out.WriteComment(text);
}
constexpr FieldSpec kAcid[] = {
    {"flags", 4, hpi::ValueKind::Unsigned, AcidFlagsRemark},
    {"rootNote", 2},
    {"reserved1", 2},
    {"reserved2", 4, hpi::ValueKind::Unsigned, FloatRemark},
    {"numBeats", 4},
    {"meterDenominator", 2},
    {"meterNumerator", 2},
    {"tempo", 4, hpi::ValueKind::Unsigned, FloatRemark},
};
constexpr std::uint32_t kAcidSize = 24;

// The clipboard formats of Windows that DISP chunks use.
void ClipboardRemark(hpi::Writer& out, std::uint32_t type, const std::uint8_t*) {
  constexpr const char* kTypes[] = {"",       "CF_TEXT", "CF_BITMAP",  "CF_METAFILEPICT", "CF_SYLK",
                                    "CF_DIF", "CF_TIFF", "CF_OEMTEXT", "CF_DIB"};
  out.WriteComment(type >= 1 && type < std::size(kTypes) ? kTypes[type] : "other clipboard format");
}
constexpr FieldSpec kDispType[] = {{"dwType", 4, hpi::ValueKind::Unsigned, ClipboardRemark}};
constexpr std::uint32_t kTextFormat = 1;

bool WalkTextChunk(SoundFile& file, Chunk& chunk, const char* name) {
  return ReadChunkSize(file, chunk, kWrongChunk, file.Size()) &&
         (chunk.size == 0 || file.TextField(name, chunk.size, kWrongChunk)) && file.SeekTo(chunk.End());
}

}  // namespace

bool WalkLayoutChunk(SoundFile& file, Chunk& chunk, std::span<const LayoutField> fields, const char* restName) {
  if (!ReadChunkSize(file, chunk, kWrongChunk, file.Size())) return false;
  std::uint64_t end = chunk.dataStart + chunk.size;
  for (const LayoutField& field : fields) {
    if (file.Left(end) < field.width) break;
    if (!WalkLayoutField(file, field)) return false;
  }
  std::uint64_t rest = file.Left(end);
  return (rest == 0 || file.TextField(restName, rest, kWrongChunk)) && file.SeekTo(chunk.End());
}

// Version, time stamp, then a value and its frame position for each channel.
bool WalkPeak(WaveWalk& walk, Chunk& chunk) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, kWrongChunk, file.Size())) return false;
  if (chunk.Stored() < 8) return FailAtSize(chunk, kWrongChunk);
  if (!file.Fields(kPeakHeader, kWrongChunk)) return false;
  for (std::uint32_t i = 0; file.Left(chunk.dataStart + chunk.size) >= kPeakPointSize; ++i) {
    char name[24];
    std::snprintf(name, sizeof name, "peak[%u]", i);
    file.out.WriteItem(name, kSubLevel, Clip32(file.Position()), kPeakPointSize);
    if (!file.Fields(kPeakPoint, kWrongChunk) || !file.out.Ok()) return false;
  }
  return file.SeekTo(chunk.End());
}

bool WalkAcid(WaveWalk& walk, Chunk& chunk) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, kWrongChunk, file.Size())) return false;
  if (chunk.Stored() < kAcidSize) return FailAtSize(chunk, kWrongChunk);
  return file.Fields(kAcid, kWrongChunk) && file.SeekTo(chunk.End());
}

// A clipboard format and its data: text for CF_TEXT, a range otherwise.
bool WalkDisp(WaveWalk& walk, Chunk& chunk) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, kWrongChunk, file.Size())) return false;
  if (chunk.Stored() < 4) return FailAtSize(chunk, kWrongChunk);
  std::uint32_t type = 0;
  if (!file.Fields(kDispType, kWrongChunk, &type)) return false;
  std::uint64_t rest = chunk.size - 4;
  if (rest != 0 &&
      !(type == kTextFormat ? file.TextField("Data", rest, kWrongChunk) : file.RangeItem("Data", F, rest))) {
    return false;
  }
  return file.SeekTo(chunk.End());
}

bool WalkIxml(WaveWalk& walk, Chunk& chunk) { return WalkTextChunk(walk.file, chunk, "iXML"); }
bool WalkXmp(WaveWalk& walk, Chunk& chunk) { return WalkTextChunk(walk.file, chunk, "XMP"); }

}  // namespace sorvane
