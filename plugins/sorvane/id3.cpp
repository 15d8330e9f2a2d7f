// An ID3v2 tag kept in a chunk (WAVE "id3 "/"ID3 ", AIFF "ID3 "): the tag
// header of the ID3v2 standard, then the frames as one range.
#include <cstring>
#include <string>

#include "chunk.h"
#include "sorvane.h"

namespace sorvane {
namespace {

constexpr std::uint32_t kTagHeaderSize = 10;

// The size is stored as four 7-bit groups ("synchsafe").
std::uint32_t Synchsafe(const std::uint8_t b[4]) {
  return std::uint32_t{b[0] & 0x7Fu} << 21 | std::uint32_t{b[1] & 0x7Fu} << 14 | std::uint32_t{b[2] & 0x7Fu} << 7 |
         (b[3] & 0x7Fu);
}

void FlagsRemark(hpi::Writer& out, std::uint32_t flags, const std::uint8_t*) {
  constexpr const char* kFlags[] = {"unsynchronisation", "extended header", "experimental", "footer"};
  std::string text;
  for (unsigned bit = 0; bit < 4; ++bit) {
    if ((flags & (0x80u >> bit)) == 0) continue;
    if (!text.empty()) text += ", ";
    text += kFlags[bit];
  }
  out.WriteComment(text.empty() ? "none" : text);
}

void SizeRemark(hpi::Writer& out, std::uint32_t, const std::uint8_t* bytes) {
  out.Comment("%u bytes after the header (synchsafe)", Synchsafe(bytes));
}

constexpr FieldSpec kTagHeader[] = {
    {"major version", 1},
    {"revision", 1},
    {"flags", 1, hpi::ValueKind::Unsigned, FlagsRemark},
    {"tag size", 4, hpi::ValueKind::Unsigned, SizeRemark},
};

}  // namespace

bool WalkId3Chunk(SoundFile& file, Chunk& chunk, int code, const char* sizeName) {
  if (!ReadChunkSize(file, chunk, code, file.Size(), sizeName)) return false;
  std::uint8_t head[kTagHeaderSize] = {};
  if (chunk.size >= kTagHeaderSize && !file.Bytes(head, sizeof head, code)) return false;
  if (chunk.size < kTagHeaderSize || std::memcmp(head, "ID3", 3) != 0) {
    if (chunk.size != 0) file.out.WriteItem("ID3 tag", F, Clip32(chunk.dataStart), Clip32(chunk.size));
    return file.SeekTo(chunk.End());
  }
  file.out.WriteItem("file identifier", F, Clip32(chunk.dataStart), 3, head, hpi::ValueKind::Text);
  bool bigEndian = file.BigEndian();
  file.SetBigEndian(true);
  file.WriteFields(kTagHeader, head + 3, chunk.dataStart + 3);
  file.SetBigEndian(bigEndian);
  std::uint64_t frames = chunk.size - kTagHeaderSize;
  if (frames != 0) file.out.WriteItem("ID3 frames", F, Clip32(chunk.dataStart + kTagHeaderSize), Clip32(frames));
  return file.SeekTo(chunk.End());
}

}  // namespace sorvane
