#include "chunk.h"

#include <cstdio>
#include <cstring>

#include "sorvane.h"

namespace sorvane {

IdText::IdText(const std::uint8_t id[4]) {
  std::memcpy(text, id, 4);
  text[4] = '\0';
}

bool IsId(const std::uint8_t id[4], const char* text) { return std::memcmp(id, text, 4) == 0; }

int NextChunk(SoundFile& file, Chunk& chunk) {
  chunk.start = file.Position();
  int got = file.Identifier(chunk.id);
  if (got < 0) return -1;
  return got == 4 ? 1 : 0;
}

void WriteHeading(SoundFile& file, const Chunk& chunk, std::string_view name, std::string_view comment, int level) {
  file.out.WriteName(name, level);
  file.out.WriteOffset(Clip32(chunk.start));
  file.out.WriteSize(4);
  std::uint32_t value = file.IdNumber(chunk.id);
  std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                           static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  file.out.WriteValue(4, bytes, hpi::ValueKind::Unsigned);
  file.out.WriteComment(comment);
}

void WriteNamedHeading(SoundFile& file, const Chunk& chunk, const char* suffix, const char* remark, int level) {
  IdText id(chunk.id);
  char name[16];
  char comment[24];
  std::snprintf(name, sizeof name, "%s%s", id.text, suffix);
  std::snprintf(comment, sizeof comment, "%s%s", id.text, remark);
  WriteHeading(file, chunk, name, comment, level);
}

void ClipToLimit(SoundFile& file, Chunk& chunk, std::uint64_t limit, const char* sizeName) {
  std::uint64_t there = limit > chunk.dataStart ? limit - chunk.dataStart : 0;
  chunk.cutSizeName = nullptr;
  if (chunk.size <= there) return;
  chunk.storedSize = chunk.size;
  chunk.cutSizeName = sizeName;
  chunk.cutByFile = limit == file.Size();
  chunk.size = there;
}

void WriteCutNote(SoundFile& file, const Chunk& chunk) {
  if (chunk.cutSizeName == nullptr) return;
  file.out.Note("%s says %llu bytes; the %s ends after %llu", chunk.cutSizeName,
                static_cast<unsigned long long>(chunk.storedSize), chunk.cutByFile ? "file" : "enclosing chunk",
                static_cast<unsigned long long>(chunk.size));
}

void NoteContainerSize(SoundFile& file, const char* name, std::uint32_t size, std::uint64_t offset) {
  std::uint64_t after = file.Size() - (offset + 4);
  if (size == after) return;
  file.out.Note("%s says %u bytes follow it; the file holds %llu", name, size, static_cast<unsigned long long>(after));
}

bool ReadChunkSize(SoundFile& file, Chunk& chunk, int code, std::uint64_t limit, const char* sizeName) {
  std::uint32_t size = 0;
  if (!file.Field(sizeName, 4, code, size)) return false;
  chunk.size = size;
  chunk.dataStart = file.Position();
  ClipToLimit(file, chunk, limit, sizeName);
  return true;
}

bool ReadSoundDataSize(SoundFile& file, Chunk& chunk, int code, bool openContainer, const char* sizeName) {
  std::uint32_t size = 0;
  if (!file.Field(sizeName, 4, code, size)) return false;
  chunk.size = size;
  chunk.dataStart = file.Position();
  std::uint64_t rest = file.Size() - chunk.dataStart;
  if (size == kOpenSize || (size == 0 && openContainer && rest != 0)) {
    file.out.Comment("%s: size left open by a streaming writer; the data runs to the end of the file",
                     size == 0 ? "0" : "0xFFFFFFFF");
    chunk.size = rest;
  }
  ClipToLimit(file, chunk, file.Size(), sizeName);
  return true;
}

bool WalkOpaqueChunk(SoundFile& file, Chunk& chunk, const char* rangeName, int code, std::uint64_t limit,
                     const char* sizeName) {
  if (!ReadChunkSize(file, chunk, code, limit, sizeName)) return false;
  if (chunk.size != 0) file.out.WriteItem(rangeName, F, Clip32(chunk.dataStart), Clip32(chunk.size));
  return file.SeekTo(chunk.End());
}

}  // namespace sorvane
