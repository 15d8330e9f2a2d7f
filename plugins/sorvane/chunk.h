// The chunk structure shared by RIFF and IFF files: a 4-character identifier, a
// 32-bit size in the file's byte order, the data and a pad byte after an odd size.
#pragma once

#include <cstdint>

#include "sound_file.h"

namespace sorvane {

inline constexpr int kChunkLevel = 1;
inline constexpr int kSubLevel = 2;  // records inside a chunk (cue points, loops)

struct Chunk {
  std::uint8_t id[4];
  std::uint64_t start;      // offset of the identifier
  std::uint64_t dataStart;  // offset after the size
  std::uint64_t size;       // data bytes (a ds64 size may exceed 32 bits)
  // A size reaching past the end of the file or of the enclosing chunk: the size
  // as stored (size is then what is there), and the name of its field.
  std::uint64_t storedSize = 0;
  const char* cutSizeName = nullptr;
  bool cutByFile = false;

  std::uint64_t Padded() const { return size + (size & 1); }
  std::uint64_t End() const { return dataStart + Padded(); }
  // The size as stored, for the checks of the chunk's own layout: the reads of a
  // cut chunk then end where the file does, after the fields that are there.
  std::uint64_t Stored() const { return cutSizeName != nullptr ? storedSize : size; }
  std::uint64_t StoredPadded() const { return Stored() + (Stored() & 1); }
  std::uint64_t StoredEnd() const { return dataStart + StoredPadded(); }
};

// The identifier's four characters, ended at the first zero byte.
struct IdText {
  explicit IdText(const std::uint8_t id[4]);
  char text[5];
};

bool IsId(const std::uint8_t id[4], const char* text);

// How a chunk is shown: its heading name and the comment on its identifier.
struct ChunkLabel {
  const char* heading;
  const char* comment;
};

// Reads the next identifier: 1 when there is a chunk, 0 at the end of the file,
// -1 on a read error (code 3 recorded).
int NextChunk(SoundFile& file, Chunk& chunk);

// Walks the chunks that follow until the file ends (also inside an identifier),
// which is success; the first walker that fails ends the walk.
// The note on a chunk cut by the end of the file or of its enclosing chunk,
// written after its last item: it depends on where the file ends, so it comes
// after everything the chunk shows from before that place.
void WriteCutNote(SoundFile& file, const Chunk& chunk);

template <typename Walker>
bool WalkChunksToEnd(SoundFile& file, Walker walker) {
  Chunk chunk;
  int next;
  while ((next = NextChunk(file, chunk)) > 0) {
    if (!walker(chunk) || !file.out.Ok()) return false;
    WriteCutNote(file, chunk);
  }
  return next == 0;
}

// After a walk that reached the end of the file: a note on a container size
// (RIFF or FORM, name) that does not match what follows it, whose field is at offset.
void NoteContainerSize(SoundFile& file, const char* name, std::uint32_t size, std::uint64_t offset);

// The chunk heading: the identifier as a 4-byte value with a comment.
void WriteHeading(SoundFile& file, const Chunk& chunk, std::string_view name, std::string_view comment, int level);
// The heading named by the identifier's text with suffix, commented with the
// text followed by remark.
void WriteNamedHeading(SoundFile& file, const Chunk& chunk, const char* suffix, const char* remark, int level);

// Reads the size field (named sizeName). A size reaching past limit (the end of
// the file or of the enclosing chunk) is noted and the chunk cut to what is there.
bool ReadChunkSize(SoundFile& file, Chunk& chunk, int code, std::uint64_t limit, const char* sizeName = "ChunkSize");
// Cuts a chunk whose data reaches past limit to the bytes before it.
void ClipToLimit(SoundFile& file, Chunk& chunk, std::uint64_t limit, const char* sizeName);

// The size a streaming writer leaves in a header it could not rewrite.
inline constexpr std::uint32_t kOpenSize = 0xFFFFFFFF;
// A container size of 0 or 0xFFFFFFFF: the writer never came back to fill it in.
inline bool IsOpenSize(std::uint32_t size) { return size == 0 || size == kOpenSize; }
// The size field of a chunk of sound data. 0xFFFFFFFF, or 0 in a file whose
// container size is open too, means the data runs to the end of the file.
bool ReadSoundDataSize(SoundFile& file, Chunk& chunk, int code, bool openContainer, const char* sizeName);

// Records code with the fault at the chunk's size field, for a size found wrong.
inline bool FailAtSize(const Chunk& chunk, int code) { return hpi::FailAt(code, chunk.dataStart - 4); }

// A chunk shown as its size and one range over its data (nothing for an empty one),
// left at its padded end.
bool WalkOpaqueChunk(SoundFile& file, Chunk& chunk, const char* rangeName, int code, std::uint64_t limit,
                     const char* sizeName = "ChunkSize");

// A chunk holding an ID3v2 tag: its header's fields and the frames as a range.
bool WalkId3Chunk(SoundFile& file, Chunk& chunk, int code, const char* sizeName);

}  // namespace sorvane
