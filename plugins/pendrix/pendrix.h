// Pendrix: PNG, MNG and JNG files, walked chunk by chunk.
#pragma once

#include <cstdint>
#include <span>

#include "chunk.h"
#include "hpi/plugin.h"

namespace pendrix {

// Codes of the PNG message table: 11 for the signature, then one per chunk type
// whose handler can find it wrong.
enum Code : int {
  kWrongSignature = 11,
  kFirstChunkCode = 12,
};

inline constexpr int kChunkLevel = 1;
inline constexpr std::uint32_t kMaxKeyword = 79;

constexpr std::uint32_t ChunkType(const char (&name)[5]) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(name[0])) << 24 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(name[1])) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(name[2])) << 8 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(name[3]));
}

struct TypeChars {
  char chars[5];
};
TypeChars TypeText(std::uint32_t type);

// The code whose message names the chunk type; the format error when it has none.
int CodeOf(std::uint32_t type);

// A chunk handler: reads the data and writes the fields between Accept and the
// walk's Finish.
using Handler = bool (*)(Chunk& chunk);

struct ChunkEntry {
  std::uint32_t type;
  Handler handler;
};

std::span<const ChunkEntry> PngChunks();
std::span<const ChunkEntry> MngHeaderChunks();
std::span<const ChunkEntry> MngListChunks();
std::span<const ChunkEntry> ExtensionChunks();
std::span<const ChunkEntry> RegisteredChunks();
// The handler of any chunk type: a data range.
bool GeneralChunk(Chunk& chunk);

const hpi::MessageTable& Messages();

// 1 when the first 8 bytes are the PNG, MNG or JNG signature.
int IsSupported(const std::uint8_t* head, std::size_t length);
// The signature and the chunks up to the file kind's last chunk.
bool WalkChunks(hpi::Analysis& analysis);

}  // namespace pendrix
