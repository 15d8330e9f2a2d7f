// The fmt chunk: WAVEFORMATEX and the extension data that follows cbSize.
#include <cstdio>

#include "sorvane.h"
#include "wave.h"

namespace sorvane {
namespace {

constexpr std::uint32_t kMsAdpcm = 0x0002;
constexpr std::uint32_t kExtensible = 0xFFFE;
constexpr std::uint32_t kWaveFormatSize = 14;
constexpr std::uint32_t kPcmFmtSize = 16;
constexpr std::uint32_t kExFmtSize = 18;
constexpr std::uint32_t kExtensibleSize = 22;

void FormatRemark(hpi::Writer& out, std::uint32_t value, const std::uint8_t*) { out.WriteComment(FormatName(value)); }
void ChannelsRemark(hpi::Writer& out, std::uint32_t value, const std::uint8_t*) {
  out.WriteComment(value == 1 ? "Monoral" : value == 2 ? "Stereo" : "Unkown value");
}
void HertzRemark(hpi::Writer& out, std::uint32_t, const std::uint8_t*) { out.WriteComment("Hz"); }

constexpr FieldSpec kFmtFields[] = {
    {"wFormatTag", 2, hpi::ValueKind::Unsigned, FormatRemark},
    {"nChannels", 2, hpi::ValueKind::Unsigned, ChannelsRemark},
    {"nSamplesPerSec", 4, hpi::ValueKind::Unsigned, HertzRemark},
    {"nAvgBytesPerSec", 4},
    {"nBlockAlign", 2},
    {"wBitsPerSamples", 2},
};

// nAvgBytesPerSec and nBlockAlign of uncompressed formats follow from channels,
// rate and bits; a value that does not is noted beneath it.
constexpr std::size_t kAvgBytesField = 3;
constexpr std::size_t kBlockAlignField = 4;
void NoteByteRate(hpi::Writer& out, std::size_t field, const std::uint32_t* v) {
  std::uint32_t align = v[1] * ((v[5] + 7) / 8);
  if (field == kBlockAlignField && v[4] != align) {
    out.Note("nChannels x wBitsPerSamples give %u bytes per frame", align);
  }
  if (field == kAvgBytesField && v[3] != std::uint64_t{v[2]} * v[4]) {
    out.Note("nSamplesPerSec x nBlockAlign give %llu bytes per second",
             static_cast<unsigned long long>(std::uint64_t{v[2]} * v[4]));
  }
}

// Formats whose extension is a single 16-bit field.
struct OneFieldExtension {
  std::uint32_t formatTag;
  const char* name;
};
constexpr OneFieldExtension kOneFieldExtensions[] = {
    {0x0010, "wPole"},     {0x0011, "wSamplesPerBlock"}, {0x0013, "wRevision"},     {0x0200, "wRevision"},
    {0x0202, "wRevision"}, {0x0203, "wRevision"},        {0x0014, "nAuxBlockSize"}, {0x0040, "nAuxBlockSize"},
    {0x0021, "wCompType"}, {0x0034, "wCompType"},
};

// ADPCMWAVEFORMAT: samples per block and the coefficient pairs, which must fill
// the extension exactly.
bool WalkAdpcmCoefficients(SoundFile& file, std::uint32_t cbSize) {
  if (cbSize <= 3) return Fail(kWrongExtension);
  std::uint32_t samplesPerBlock = 0;
  std::uint32_t count = 0;
  if (!file.Field("nSamplePerBlock", 2, kWrongExtension, samplesPerBlock)) return false;
  if (!file.Field("nNumCoef", 2, kWrongExtension, count)) return false;
  if (cbSize - 4 != count * 4) return Fail(kWrongExtension);
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint8_t pair[4];
    std::uint64_t at = file.Position();
    if (!file.Bytes(pair, sizeof pair, kWrongExtension)) return false;
    char name[24];
    for (std::uint32_t k = 0; k < 2; ++k) {
      std::snprintf(name, sizeof name, "iCoef[%u][%u]", i, k);
      file.WriteNumber(name, at + 2 * k, 2, file.Number(pair + 2 * k, 2), hpi::ValueKind::Signed);
    }
  }
  return true;
}

void WriteGuid(SoundFile& file, const char* name, const std::uint8_t* g, std::uint64_t offset) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", file.Number(g, 4),
                file.Number(g + 4, 2), file.Number(g + 6, 2), g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
  file.out.WriteItem(name, F, Clip32(offset), 16);
  file.out.WriteValue(38, text, hpi::ValueKind::Text);
  const char* known = SubFormatName(file, g);
  if (known != nullptr) file.out.WriteComment(known);
}

// WAVEFORMATEXTENSIBLE: valid bits, speaker positions and the SubFormat GUID.
bool WalkExtensible(SoundFile& file, std::uint32_t cbSize) {
  std::uint32_t validBits = 0;
  std::uint32_t mask = 0;
  if (!file.Field("wValidBitsPerSample", 2, kWrongExtension, validBits)) return false;
  if (!file.Field("dwChannelMask", 4, kWrongExtension, mask)) return false;
  WriteSpeakers(file.out, mask);
  std::uint8_t guid[16];
  std::uint64_t at = file.Position();
  if (!file.Bytes(guid, sizeof guid, kWrongExtension)) return false;
  WriteGuid(file, "SubFormat", guid, at);
  return cbSize == kExtensibleSize || file.RangeItem("ExtensionData", F, cbSize - kExtensibleSize);
}

bool WalkExtension(SoundFile& file, std::uint32_t formatTag, std::uint32_t cbSize) {
  if (formatTag == kMsAdpcm) return WalkAdpcmCoefficients(file, cbSize);
  if (formatTag == kExtensible && cbSize >= kExtensibleSize) return WalkExtensible(file, cbSize);
  for (const OneFieldExtension& one : kOneFieldExtensions) {
    if (one.formatTag != formatTag) continue;
    std::uint32_t value = 0;
    return (cbSize == 2 || Fail(kWrongExtension)) && file.Field(one.name, 2, kWrongExtension, value);
  }
  if (cbSize == 1) return Fail(kWrongExtension);
  return file.RangeItem("ExtensionData", F, cbSize);
}

}  // namespace

bool Uncompressed(std::uint32_t tag) { return tag == 0x0001 || tag == 0x0003 || tag == 0x0006 || tag == 0x0007; }

bool WalkFmt(WaveWalk& walk, Chunk& chunk) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, chunk, kWrongFmt, file.Size())) return false;
  // The original WAVEFORMAT of 14 bytes has no wBitsPerSample.
  if (chunk.Stored() < kWaveFormatSize) return FailAtSize(chunk, kWrongFmt);
  std::uint32_t v[std::size(kFmtFields)] = {};
  bool withBits = chunk.Stored() >= kPcmFmtSize;
  std::uint8_t record[kPcmFmtSize];
  std::uint64_t at = file.Position();
  bool whole = file.Bytes(record, withBits ? kPcmFmtSize : kWaveFormatSize, kWrongFmt);
  auto layout = std::span(kFmtFields).first(withBits ? std::size(kFmtFields) : std::size(kFmtFields) - 1);
  std::size_t fields = FieldsWithin(layout, file.Position() - at);
  for (std::size_t i = 0, offset = 0; i < fields; offset += kFmtFields[i].width, ++i) {
    v[i] = file.Number(record + offset, kFmtFields[i].width);
  }
  bool check = whole && withBits && Uncompressed(v[0]);
  for (std::size_t i = 0, offset = 0; i < fields; offset += kFmtFields[i].width, ++i) {
    file.WriteFields(std::span(kFmtFields).subspan(i, 1), record + offset, at + offset);
    if (check) NoteByteRate(file.out, i, v);
  }
  if (!whole) return false;
  walk.formatTag = v[0];
  walk.channels = v[1];
  walk.sampleRate = v[2];
  walk.blockAlign = v[4];
  walk.bitsPerSample = v[5];
  if (chunk.Stored() > kPcmFmtSize) {
    if (chunk.Stored() < kExFmtSize) return FailAtSize(chunk, kWrongFmt);
    std::uint32_t cbSize = 0;
    if (!file.Field("cbSize", 2, kWrongFmt, cbSize)) return false;
    if (chunk.Stored() < cbSize + kExFmtSize) return FailAtSize(chunk, kWrongFmt);
    if (cbSize != 0 && !WalkExtension(file, walk.formatTag, cbSize)) return false;
  }
  return file.SeekTo(chunk.End());
}

}  // namespace sorvane
