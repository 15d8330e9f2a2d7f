// Sun/NeXT AU: six big-endian header words, an annotation up to the header size,
// then the sound data. The little-endian variant begins "dns." (".snd" swapped).
#include <algorithm>
#include <iterator>
#include <span>

#include "chunk.h"
#include "sorvane.h"

namespace sorvane {
namespace {

constexpr std::uint32_t kHeaderSize = 24;

struct Encoding {
  std::uint32_t code;
  const char* name;
  std::uint32_t sampleBytes = 0;  // for the linear, floating-point and logarithmic encodings
};
constexpr Encoding kEncodings[] = {
    {1, "8-bit ISDN u-law", 1},
    {2, "8-bit linear PCM [REF-PCM]", 1},
    {3, "16-bit linear PCM", 2},
    {4, "24-bit linear PCM", 3},
    {5, "32-bit linear PCM", 4},
    {6, "32-bit IEEE floating point", 4},
    {7, "64-bit IEEE floating point", 8},
    {8, "fragmented sampled data"},
    {10, "DSP program"},
    {11, "8-bit fixed point"},
    {12, "16-bit fixed point"},
    {13, "24-bit fixed point"},
    {14, "32-bit fixed point"},
    {16, "non-audio display data"},
    {18, "16-bit linear with emphasis"},
    {19, "16-bit linear with compression"},
    {20, "A combination of the two above"},
    {21, "Music Kit DSP commands"},
    {23, "CCITT G.721 ADPCM"},
    {24, "CCITT G.722 ADPCM"},
    {25, "CCITT G.723 3-bit ADPCM"},
    {26, "CCITT G.723 5-bit ADPCM"},
    {27, "8-bit ISDN A-law", 1},
};

const Encoding* EncodingOf(std::uint32_t code) {
  for (const Encoding& row : kEncodings) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

void EncodingRemark(hpi::Writer& out, std::uint32_t encoding, const std::uint8_t*) {
  const Encoding* row = EncodingOf(encoding);
  out.WriteComment(row != nullptr ? row->name : "Unkown encoding format");
}
void MagicRemark(hpi::Writer& out, std::uint32_t, const std::uint8_t* bytes) {
  out.WriteComment(bytes[0] == '.' ? "'.snd'" : "'dns.'--little-endian");
}
void RateRemark(hpi::Writer& out, std::uint32_t, const std::uint8_t*) { out.WriteComment("samples/sec"); }

constexpr FieldSpec kHeader[] = {
    {"magic number", 4, hpi::ValueKind::Unsigned, MagicRemark},
    {"header size", 4},
    {"data size", 4},
    {"encoding format", 4, hpi::ValueKind::Unsigned, EncodingRemark},
    {"sample rate", 4, hpi::ValueKind::Unsigned, RateRemark},
    {"channels", 4},
};

}  // namespace

bool AnalyseAu(hpi::Analysis& analysis) {
  SoundFile file(analysis, true);
  std::uint8_t header[kHeaderSize] = {};
  bool whole = file.Bytes(header, sizeof header, hpi::kWrongFormat);
  file.SetBigEndian(header[0] == '.');
  // A header cut by the end of the file keeps the words that are there.
  std::size_t words = static_cast<std::size_t>(file.Position() / 4);
  std::uint32_t v[std::size(kHeader)] = {};
  file.WriteFields(std::span(kHeader).first(words), header, 0, v);
  if (!whole) return false;
  std::uint32_t headerSize = v[1];
  std::uint32_t dataSize = v[2];
  constexpr std::uint64_t kHeaderSizeField = 4;
  if (headerSize < kHeaderSize) return hpi::FailAt(hpi::kWrongFormat, kHeaderSizeField);
  if (headerSize > kHeaderSize && !file.TextField("comments", headerSize - kHeaderSize, hpi::kWrongFormat)) {
    return false;
  }
  if (headerSize > file.Size()) return hpi::FailAt(hpi::kWrongFormat, kHeaderSizeField);
  std::uint64_t rest = file.Size() - headerSize;
  bool open = dataSize == kOpenSize;
  analysis.out.WriteItem("sound data", F, headerSize, Clip32(open ? rest : std::min<std::uint64_t>(dataSize, rest)));
  // Remarks that depend on where the file ends come after the items.
  if (open) analysis.out.WriteNote("data size unknown: the data runs to the end of the file");
  const Encoding* encoding = EncodingOf(v[3]);
  std::uint64_t frameBytes = encoding != nullptr ? std::uint64_t{encoding->sampleBytes} * v[5] : 0;
  if (frameBytes != 0 && frameBytes <= UINT32_MAX) {
    WriteFramesNote(analysis.out, (open ? rest : dataSize) / frameBytes, static_cast<std::uint32_t>(frameBytes), v[4]);
  }
  if (!open && dataSize > rest) {
    analysis.out.Note("data size says %u bytes; the file ends after %llu", dataSize,
                      static_cast<unsigned long long>(rest));
  }
  return true;
}

}  // namespace sorvane
