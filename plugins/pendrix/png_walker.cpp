// The signature, then chunk after chunk (length, type, data, CRC) up to the
// file kind's last chunk; bytes after it are not read.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "chunk_order.h"
#include "hpi/bytes.h"
#include "pendrix.h"

namespace pendrix {
namespace {

constexpr std::uint32_t kSignatureSize = 8;
constexpr std::uint32_t kCrcSize = 4;
constexpr std::uint32_t kImageEnd = ChunkType("IEND");

struct FileKind {
  std::uint8_t signature[kSignatureSize];
  const char* item;
  std::uint32_t firstChunk;
  std::uint32_t lastChunk;
};

// Compared in this order.
constexpr FileKind kKinds[] = {
    {{0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, "MNG signaure", ChunkType("MHDR"), ChunkType("MEND")},
    {{0x8B, 'J', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, "JNG signaure", ChunkType("JHDR"), kImageEnd},
    {{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, "PNG signaure", ChunkType("IHDR"), kImageEnd},
};
constexpr const FileKind* kMng = &kKinds[0];
constexpr const FileKind* kPng = &kKinds[2];

const FileKind* KindOf(const std::uint8_t* head) {
  for (const FileKind& kind : kKinds) {
    if (std::memcmp(head, kind.signature, kSignatureSize) == 0) return &kind;
  }
  return nullptr;
}

// Every handler of the PNG and MNG tables, sorted by type for the look-up.
const std::vector<ChunkEntry>& Dispatch() {
  static const std::vector<ChunkEntry> entries = [] {
    std::vector<ChunkEntry> all;
    for (auto table : {PngChunks(), MngHeaderChunks(), MngListChunks(), ExtensionChunks(), RegisteredChunks()})
      all.insert(all.end(), table.begin(), table.end());
    std::sort(all.begin(), all.end(), [](const ChunkEntry& a, const ChunkEntry& b) { return a.type < b.type; });
    return all;
  }();
  return entries;
}

const ChunkEntry* HandlerOf(std::uint32_t type) {
  const auto& entries = Dispatch();
  auto it = std::lower_bound(entries.begin(), entries.end(), type,
                             [](const ChunkEntry& e, std::uint32_t t) { return e.type < t; });
  return it != entries.end() && it->type == type ? &*it : nullptr;
}

using hpi::Fail;

}  // namespace

TypeChars TypeText(std::uint32_t type) {
  return {{static_cast<char>(type >> 24), static_cast<char>(type >> 16), static_cast<char>(type >> 8),
           static_cast<char>(type), '\0'}};
}

int IsSupported(const std::uint8_t* head, std::size_t length) {
  return length >= kSignatureSize && KindOf(head) != nullptr ? 1 : 0;
}

bool GeneralChunk(Chunk& chunk) {
  if (!chunk.Accept(true)) return false;
  return chunk.Length() == 0 || chunk.Range("Data", chunk.Length());
}

bool WalkChunks(hpi::Analysis& analysis) {
  std::uint8_t head[kSignatureSize];
  if (!analysis.file.Seek(0)) return Fail(hpi::kFileReadError);
  int got = hpi::ReadBlock(analysis.file, head, sizeof head);
  if (got != static_cast<int>(sizeof head)) return Fail(got < 0 ? hpi::kStreamError : hpi::kFileReadError);
  const FileKind* kind = KindOf(head);
  if (kind == nullptr) return Fail(kWrongSignature);
  analysis.out.WriteItem(kind->item, kChunkLevel, 0, kSignatureSize);

  WalkState state;
  state.mng = kind == kMng;
  ChunkOrder order(kind->firstChunk, kind == kPng);
  std::uint64_t position = kSignatureSize;
  std::uint32_t last = 0;
  while (last != kind->lastChunk) {
    std::uint8_t lengthAndType[8];
    got = hpi::ReadBlock(analysis.file, lengthAndType, sizeof lengthAndType);
    if (got != static_cast<int>(sizeof lengthAndType)) return Fail(got < 0 ? hpi::kStreamError : hpi::kWrongFormat);
    position += sizeof lengthAndType;
    std::uint32_t length = hpi::BE32(lengthAndType);
    std::uint32_t type = hpi::BE32(lengthAndType + 4);
    // A chunk that runs past the end of the file is walked as far as it goes,
    // keeping what it holds; its fault is then the file's end (the format error).
    std::uint64_t remaining = analysis.fileSize > position ? analysis.fileSize - position : 0;
    bool cut = remaining < kCrcSize || length > remaining - kCrcSize;

    const ChunkEntry* entry = HandlerOf(type);
    int code = cut || entry == nullptr ? hpi::kWrongFormat : CodeOf(type);
    Chunk chunk(analysis, state, type, length, position, code);
    const char* note = order.Check(type, state.colourType == 3);
    char framesNote[64];
    if (type == kImageEnd && state.animated && state.frameControls != state.numFrames && note == nullptr) {
      std::snprintf(framesNote, sizeof framesNote, "acTL num_frames says %u; %u fcTL chunks found", state.numFrames,
                    state.frameControls);
      note = framesNote;
    }
    chunk.SetNote(note);
    if (!(entry != nullptr ? entry->handler(chunk) : GeneralChunk(chunk)) || !chunk.Finish()) return false;
    position += static_cast<std::uint64_t>(length) + kCrcSize;
    if (type == kImageEnd) {
      state.inImage = false;
      state.imageDataStarted = false;
    }
    last = type;
  }
  return true;
}

}  // namespace pendrix
