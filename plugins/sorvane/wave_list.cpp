// The LIST chunk: an INFO list of text chunks, or an associated-data list (adtl)
// of labels, notes and labelled texts.
#include <string>

#include "sorvane.h"
#include "wave.h"

namespace sorvane {
namespace {

struct InfoRow {
  const char* id;
  ChunkLabel label;
};
constexpr InfoRow kInfoChunks[] = {
    {"IART", {"IART Chunk", "'IART'--arist"}},         {"ICMS", {"ICMS Chunk", "'ICMS'--commissioned"}},
    {"ICMT", {"ICMT Chunk", "'ICMT'--comments"}},      {"ICOP", {"ICOP Chunk", "'ICOP'--copyright"}},
    {"ICRD", {"ICRD Chunk", "'ICRD'--creation date"}}, {"INAM", {"INAM Chunk", "'INAM'--name"}},
    {"IPRD", {"IPRD Chunk", "'IPRD'--product"}},       {"IGNR", {"IGNR Chunk", "'IGNR'--genre"}},
    {"IENG", {"IENG Chunk", "'IENG'--engineer"}},      {"ISRC", {"ISRC Chunk", "'ISRC'--source"}},
    {"ISFT", {"ISFT Chunk", "'ISFT'--software"}},      {"IKEY", {"IKEY Chunk", "'IKEY'--keywords"}},
    {"ITCH", {"ITCH Chunk", "'ITCH'--technician"}},    {"ISBJ", {"ISBJ Chunk", "'ISBJ'--subject"}},
};

constexpr FieldSpec kLabeledText[] = {
    {"dwIdentifier", 4}, {"dwSampleLength", 4}, {"dwPurpose", 4}, {"wCountry", 2},
    {"wLanguage", 2},    {"wDialect", 2},       {"wCodePage", 2},
};
constexpr std::uint32_t kLabeledTextSize = 20;

// INFO and adtl are walked; the other list types that WAVE files carry are named.
struct ListType {
  const char* id;
  const char* comment;
};
constexpr ListType kListTypes[] = {
    {"INFO", "'INFO'"},
    {"adtl", "'adtl'--Associated data list"},
    {"wavl", "'wavl'--Wave list (data and silence chunks)"},
    {"exif", "'exif'--Exif attributes"},
};

std::string ListTypeName(const std::uint8_t type[4]) {
  for (const ListType& row : kListTypes) {
    if (IsId(type, row.id)) return row.comment;
  }
  return std::string(IdText(type).text) + "--other list type";
}

void WriteInfoHeading(SoundFile& file, const Chunk& chunk) {
  for (const InfoRow& row : kInfoChunks) {
    if (IsId(chunk.id, row.id)) {
      WriteHeading(file, chunk, row.label.heading, row.label.comment, kListLevel);
      return;
    }
  }
  WriteNamedHeading(file, chunk, " Chunk", "--Unkown value", kListLevel);
}

bool WalkInfoChunk(SoundFile& file, Chunk& chunk, std::uint64_t listEnd) {
  WriteInfoHeading(file, chunk);
  return ReadChunkSize(file, chunk, kWrongList, listEnd) && file.TextField("dwText", chunk.size, kWrongList);
}

// labl and note: the cue point's identifier and a text.
bool WalkLabel(SoundFile& file, Chunk& chunk, const char* heading, const char* comment, std::uint64_t listEnd) {
  WriteHeading(file, chunk, heading, comment, kListLevel);
  if (!ReadChunkSize(file, chunk, kWrongList, listEnd)) return false;
  std::uint64_t text = chunk.size;
  if (chunk.size >= 4) {
    std::uint32_t identifier = 0;
    if (!file.Field("dwIdentifier", 4, kWrongList, identifier)) return false;
    text -= 4;
  }
  return text == 0 || file.TextField("dwText", text, kWrongList);
}

bool WalkLabeledText(SoundFile& file, Chunk& chunk, std::uint64_t listEnd) {
  WriteHeading(file, chunk, "ltxt Chunk", "'ltxt'--Labeled Text", kListLevel);
  if (!ReadChunkSize(file, chunk, kWrongLtxt, listEnd)) return false;
  if (chunk.Stored() < kLabeledTextSize) return FailAtSize(chunk, kWrongLtxt);
  if (!file.Fields(kLabeledText, kWrongLtxt)) return false;
  std::uint64_t text = chunk.size - kLabeledTextSize;
  return text == 0 || file.TextField("dwText", text, kWrongLtxt);
}

bool WalkAssociatedChunk(SoundFile& file, Chunk& chunk, std::uint64_t listEnd) {
  if (IsId(chunk.id, "labl")) return WalkLabel(file, chunk, "labl Chunk", "'labl'--Label", listEnd);
  if (IsId(chunk.id, "note")) return WalkLabel(file, chunk, "note Chunk", "'note'--Note", listEnd);
  if (IsId(chunk.id, "ltxt")) return WalkLabeledText(file, chunk, listEnd);
  // Other chunks show as a field with their size and data beside it.
  WriteNamedHeading(file, chunk, " Chunk", "--Unkown chunk", F);
  return WalkOpaqueChunk(file, chunk, "Data", kWrongList, listEnd);
}

}  // namespace

bool WalkList(WaveWalk& walk, Chunk& list) {
  SoundFile& file = walk.file;
  if (!ReadChunkSize(file, list, kWrongList, file.Size())) return false;
  if (list.Stored() < 4) return FailAtSize(list, kWrongList);
  std::uint8_t type[4];
  std::uint64_t at = file.Position();
  if (!file.Bytes(type, sizeof type, kWrongList)) return false;
  file.WriteNumber("typeID", at, 4, file.IdNumber(type));
  bool info = IsId(type, "INFO");
  file.out.WriteComment(ListTypeName(type));
  std::uint64_t listEnd = list.dataStart + list.size;
  Chunk chunk;
  while (file.Position() < listEnd) {
    int next = NextChunk(file, chunk);
    if (next <= 0) return next == 0 && Fail(kWrongList);
    bool ok = info ? WalkInfoChunk(file, chunk, listEnd) : WalkAssociatedChunk(file, chunk, listEnd);
    if (!ok || !file.SeekTo(chunk.End()) || !file.out.Ok()) return false;
    WriteCutNote(file, chunk);
  }
  return file.SeekTo(list.End());
}

}  // namespace sorvane
