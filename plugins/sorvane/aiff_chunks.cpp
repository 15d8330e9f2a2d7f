// The chunks of the Audio IFF and AIFF-C standards.
#include <cmath>
#include <cstdio>
#include <iterator>

#include "aiff.h"
#include "hpi/bytes.h"
#include "sorvane.h"

namespace sorvane {
namespace {

constexpr hpi::ValueKind S = hpi::ValueKind::Signed;
constexpr const char* kSizeName = "ckSize";
constexpr std::uint64_t kCommSize = 18;

bool ReadSize(AiffWalk& walk, Chunk& chunk, int code) {
  return ReadChunkSize(walk.file, chunk, code, walk.file.Size(), kSizeName);
}

// A field name, with the element's index when the chunk holds several.
struct IndexedName {
  IndexedName(const char* name, std::uint32_t index, bool indexed) {
    if (indexed) {
      std::snprintf(text, sizeof text, "%s[%u]", name, index);
    } else {
      std::snprintf(text, sizeof text, "%s", name);
    }
  }
  char text[32];
};

// A pstring: a count byte and the text, with a pad byte that makes the two even.
bool CountedString(SoundFile& file, const char* name, std::uint64_t end, int code) {
  if (file.Left(end) == 0) return true;
  std::uint64_t at = file.Position();
  std::uint8_t count = 0;
  if (!file.Bytes(&count, 1, code)) return false;
  std::uint64_t occupied = count + ((count & 1) == 0 ? 1 : 0);
  if (file.Left(end) < occupied) return Fail(code);
  char text[kMaxText];
  if (!file.Bytes(text, count, code)) return false;
  file.out.WriteItem(name, F, Clip32(at), count + 1u);
  file.out.WriteValue(count, text, hpi::ValueKind::Text);
  return file.SeekTo(at + 1 + occupied);
}

void PlayModeRemark(hpi::Writer& out, std::uint32_t mode, const std::uint8_t*) {
  constexpr const char* kModes[] = {"NoLooping", "ForwardLooping", "ForwardBackwardLooping"};
  out.WriteComment(mode < 3 ? kModes[mode] : "Unkown mode");
}

// Seconds since January 1, 1904 (the Macintosh epoch) as a date and time.
void MacTime(std::uint32_t seconds, char* text, std::size_t size) {
  std::int64_t days = seconds / 86400 - 24107;  // days from 1970-01-01
  std::uint32_t rest = seconds % 86400;
  // Civil date from a day count (H. Hinnant's algorithm).
  days += 719468;
  std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  std::int64_t dayOfEra = days - era * 146097;
  std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  std::int64_t mp = (5 * dayOfYear + 2) / 153;
  std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
  std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  std::snprintf(text, size, "%04u-%02u-%02u %02u:%02u:%02u", static_cast<unsigned>(year), static_cast<unsigned>(month),
                static_cast<unsigned>(day), rest / 3600, rest / 60 % 60, rest % 60);
}

struct Compression {
  const char* id;
  const char* name;
};
constexpr Compression kCompressions[] = {
    {"NONE", "not compressed"},
    {"twos", "big-endian two's complement PCM"},
    {"sowt", "little-endian two's complement PCM"},
    {"raw ", "offset-binary PCM"},
    {"in24", "24-bit integer PCM"},
    {"in32", "32-bit integer PCM"},
    {"fl32", "32-bit IEEE floating point"},
    {"FL32", "32-bit IEEE floating point"},
    {"fl64", "64-bit IEEE floating point"},
    {"FL64", "64-bit IEEE floating point"},
    {"ima4", "IMA 4:1 ADPCM"},
    {"ulaw", "u-law 2:1"},
    {"ULAW", "u-law 2:1"},
    {"alaw", "A-law 2:1"},
    {"ALAW", "A-law 2:1"},
};

void WriteCompressionName(hpi::Writer& out, const std::uint8_t type[4]) {
  for (const Compression& row : kCompressions) {
    if (IsId(type, row.id)) {
      out.WriteNote(row.name);
      return;
    }
  }
}

constexpr FieldSpec kCommFields[] = {{"numChannels", 2}, {"numSampleFrames", 4}, {"sampleSize", 2}};
constexpr FieldSpec kInstFields[] = {
    {"baseNote", 1, S},    {"detune", 1, S},       {"lowNote", 1, S}, {"highNote", 1, S},
    {"lowvelocity", 1, S}, {"highvelocity", 1, S}, {"gain", 2, S},
};
constexpr FieldSpec kLoopFields[] = {{"PlayMode", 2, S, PlayModeRemark}, {"beginLoop", 2, S}, {"endLoop", 2, S}};
constexpr std::uint32_t kLoopSize = 6;

// The whole-number rate of an 80-bit extended sampleRate: the top 32 bits of the
// mantissa shifted right by 30 - E, E being the exponent's low byte (the sign and
// the exponent's high byte are not looked at), rounded half up by the last bit
// shifted out.
std::uint32_t ExtendedRate(const std::uint8_t bytes[10]) {
  std::uint32_t mantissa = hpi::BE32(bytes + 2);
  std::uint8_t exponent = bytes[1];
  if (exponent == 30) return mantissa;
  unsigned shifts = static_cast<std::uint8_t>(29 - exponent) + 1u;
  if (shifts > 32) return 0;
  std::uint64_t kept = std::uint64_t{mantissa} >> (shifts - 1);
  return static_cast<std::uint32_t>((kept >> 1) + (kept & 1));
}

// The rate the 80 bits stand for: sign, a 15-bit exponent biased by 16383, and a
// 64-bit mantissa whose integer bit is explicit.
long double ExactRate(const std::uint8_t bytes[10]) {
  int exponent = ((bytes[0] & 0x7F) << 8 | bytes[1]) - 16383 - 63;
  std::uint64_t mantissa = std::uint64_t{hpi::BE32(bytes + 2)} << 32 | hpi::BE32(bytes + 6);
  long double rate = std::ldexp(static_cast<long double>(mantissa), exponent);
  return (bytes[0] & 0x80) != 0 ? -rate : rate;
}

// The exact rate as a comment, its trailing zeros dropped (44100, 22254.545455).
void WriteExactRate(hpi::Writer& out, long double rate) {
  char text[64];
  int n = std::snprintf(text, sizeof text, "%.6Lf", rate);
  if (n <= 0 || n >= static_cast<int>(sizeof text)) {
    out.WriteComment("rate out of range");
    return;
  }
  while (n > 0 && text[n - 1] == '0') text[--n] = '\0';
  if (n > 0 && text[n - 1] == '.') text[--n] = '\0';
  out.Comment("%s Hz", text);
}

bool WriteSampleRate(SoundFile& file, int code, long double& rate) {
  std::uint8_t bytes[10];
  std::uint64_t at = file.Position();
  if (!file.Bytes(bytes, sizeof bytes, code)) return false;
  char text[48] = "0x";
  for (std::size_t i = 0; i < sizeof bytes; ++i) std::snprintf(text + 2 + 2 * i, 3, "%02x", bytes[i]);
  int length = std::snprintf(text + 22, sizeof text - 22, "(%uHz)", ExtendedRate(bytes)) + 22;
  file.out.WriteItem("sampleRate", F, Clip32(at), sizeof bytes);
  file.out.WriteValue(static_cast<std::uint32_t>(length), text, hpi::ValueKind::Text);
  rate = ExactRate(bytes);
  WriteExactRate(file.out, rate);
  return true;
}

}  // namespace

// The AIFF-C standard's one version so far: 0xA2805140, May 23, 1990, 2:40 pm.
constexpr std::uint32_t kAifcVersion1 = 0xA2805140;

bool WalkFver(AiffWalk& walk, Chunk& chunk, int code) {
  std::uint32_t timestamp = 0;
  if (!ReadSize(walk, chunk, code) || !(chunk.Stored() == 4 || FailAtSize(chunk, code)) ||
      !walk.file.Field("timestamp", 4, code, timestamp)) {
    return false;
  }
  char when[80];
  MacTime(timestamp, when, sizeof when);
  walk.file.out.Comment("%s%s", when, timestamp == kAifcVersion1 ? " (AIFC Version 1)" : "");
  return true;
}

bool WalkComm(AiffWalk& walk, Chunk& chunk, int code) {
  SoundFile& file = walk.file;
  if (!ReadSize(walk, chunk, code)) return false;
  if (chunk.Stored() < kCommSize) return FailAtSize(chunk, code);
  std::uint32_t v[std::size(kCommFields)] = {};
  long double rate = 0;
  if (!file.Fields(kCommFields, code, v) || !WriteSampleRate(file, code, rate)) return false;
  std::uint32_t frameBytes = walk.aifc ? 0 : v[0] * ((v[2] + 7) / 8);  // AIFC data may be compressed
  WriteFramesNote(file.out, v[1], frameBytes, rate > 0 && rate < 1e12L ? static_cast<double>(rate) : 0);
  std::uint64_t rest = chunk.StoredPadded() - kCommSize;
  if (rest != 0) {
    if (!walk.aifc || rest <= 3) return Fail(code);
    std::uint8_t type[4];
    std::uint64_t at = file.Position();
    if (!file.Bytes(type, sizeof type, code)) return false;
    file.WriteNumber("compressionType", at, 4, file.IdNumber(type));
    file.out.WriteComment(IdText(type).text);
    WriteCompressionName(file.out, type);
    if (!CountedString(file, "compressionName", chunk.StoredEnd(), code)) return false;
  }
  return file.SeekTo(chunk.End());
}

// The samples begin offset bytes into the data (block-aligned writers pad there).
bool WalkSsnd(AiffWalk& walk, Chunk& chunk, int code) {
  SoundFile& file = walk.file;
  if (!ReadSoundDataSize(file, chunk, code, walk.openFormSize, kSizeName)) return false;
  if (chunk.Stored() < 8) return FailAtSize(chunk, code);
  std::uint32_t offset = 0;
  std::uint32_t blockSize = 0;
  if (!file.Field("offset", 4, code, offset, S) || !file.Field("blockSize", 4, code, blockSize)) return false;
  std::uint64_t samples = chunk.size - 8;
  if (offset > samples) {
    file.out.Note("offset runs past the chunk's %llu bytes of data", static_cast<unsigned long long>(samples));
    offset = 0;
  }
  if (samples > offset) {
    file.out.WriteItem("Sound data", F, Clip32(file.Position() + offset), Clip32(samples - offset));
  }
  return file.SeekTo(chunk.End());
}

bool WalkMark(AiffWalk& walk, Chunk& chunk, int code) {
  SoundFile& file = walk.file;
  if (!ReadSize(walk, chunk, code)) return false;
  if (chunk.StoredPadded() < 2) return FailAtSize(chunk, code);
  std::uint32_t count = 0;
  if (!file.Field("numMarkers", 2, code, count)) return false;
  bool indexed = count >= 2;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (file.Left(chunk.StoredEnd()) < 6) return Fail(code);
    std::uint32_t id = 0;
    std::uint32_t position = 0;
    if (!file.Field(IndexedName("MarkerID", i, indexed).text, 2, code, id, S) ||
        !file.Field(IndexedName("position", i, indexed).text, 4, code, position) ||
        !CountedString(file, IndexedName("markerName", i, indexed).text, chunk.StoredEnd(), code)) {
      return false;
    }
  }
  return file.SeekTo(chunk.End());
}

bool WalkComt(AiffWalk& walk, Chunk& chunk, int code) {
  SoundFile& file = walk.file;
  if (!ReadSize(walk, chunk, code)) return false;
  if (chunk.StoredPadded() < 2) return FailAtSize(chunk, code);
  std::uint32_t count = 0;
  if (!file.Field("numComments", 2, code, count)) return false;
  bool indexed = count >= 2;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (file.Left(chunk.StoredEnd()) < 8) return Fail(code);
    std::uint32_t value = 0;
    std::uint32_t length = 0;
    if (!file.Field(IndexedName("timeStamp", i, indexed).text, 4, code, value) ||
        !file.Field(IndexedName("MarkerID", i, indexed).text, 2, code, value, S) ||
        !file.Field(IndexedName("count", i, indexed).text, 2, code, length)) {
      return false;
    }
    std::uint64_t at = file.Position();
    std::uint64_t occupied = length + (length & 1);
    if (file.Left(chunk.StoredEnd()) < occupied) return Fail(code);
    if (!file.TextField(IndexedName("text", i, indexed).text, length, code) || !file.SeekTo(at + occupied)) {
      return false;
    }
  }
  return file.SeekTo(chunk.End());
}

bool WalkAiffInst(AiffWalk& walk, Chunk& chunk, int code) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, code, file.Size())) return false;
  if (chunk.Stored() != 20) return FailAtSize(chunk, code);
  if (!file.Fields(kInstFields, code)) return false;
  for (const char* loop : {"sustainLoop", "releaseLoop"}) {
    file.out.WriteItem(loop, kSubLevel, Clip32(file.Position()), kLoopSize);
    if (!file.Fields(kLoopFields, code)) return false;
  }
  return true;
}

bool WalkMidi(AiffWalk& walk, Chunk& chunk, int code) {
  return WalkOpaqueChunk(walk.file, chunk, "MIDIdata", code, walk.file.Size(), kSizeName);
}

bool WalkAesd(AiffWalk& walk, Chunk& chunk, int code) {
  return ReadSize(walk, chunk, code) && (chunk.Stored() == 24 || FailAtSize(chunk, code)) &&
         walk.file.RangeItem("AESChannelStatusData", F, chunk.size);
}

// A chunk too short for its signature shows an empty Data and is left by its size.
bool WalkAppl(AiffWalk& walk, Chunk& chunk, int code) {
  SoundFile& file = walk.file;
  if (!ReadSize(walk, chunk, code)) return false;
  if (chunk.size < 4) {
    file.out.WriteItem("Data", F, Clip32(chunk.dataStart), 0);
    file.out.WriteComment("ckSize below 4: no applicationSignature");
    return file.SeekTo(chunk.End());
  }
  std::uint8_t signature[4];
  if (!file.Bytes(signature, sizeof signature, code)) return false;
  file.WriteNumber("applicationSignature", chunk.dataStart, 4, file.IdNumber(signature));
  file.out.WriteComment(IdText(signature).text);
  if (chunk.size > 4) file.out.WriteItem("Data", F, Clip32(file.Position()), Clip32(chunk.size - 4));
  return file.SeekTo(chunk.End());
}

bool WalkId3(AiffWalk& walk, Chunk& chunk, int code) { return WalkId3Chunk(walk.file, chunk, code, kSizeName); }

// The Core Audio channel layout: a layout tag, a channel bitmap and the count of
// channel descriptions (20 bytes each) that follow.
constexpr FieldSpec kChanFields[] = {
    {"mChannelLayoutTag", 4}, {"mChannelBitmap", 4}, {"mNumberChannelDescriptions", 4}};
bool WalkChan(AiffWalk& walk, Chunk& chunk, int code) {
  SoundFile& file = walk.file;
  if (!ReadSize(walk, chunk, code)) return false;
  if (chunk.Stored() < 12) return FailAtSize(chunk, code);
  if (!file.Fields(kChanFields, code)) return false;
  std::uint64_t rest = chunk.size - 12;
  return (rest == 0 || file.RangeItem("mChannelDescriptions", F, rest)) && file.SeekTo(chunk.End());
}

bool WalkData(AiffWalk& walk, Chunk& chunk, int code) {
  return WalkOpaqueChunk(walk.file, chunk, "Data", code, walk.file.Size(), kSizeName);
}

bool WalkText(AiffWalk& walk, Chunk& chunk, int code) {
  SoundFile& file = walk.file;
  return ReadSize(walk, chunk, code) && (chunk.size == 0 || file.TextField("Text", chunk.size, code)) &&
         file.SeekTo(chunk.End());
}

}  // namespace sorvane
