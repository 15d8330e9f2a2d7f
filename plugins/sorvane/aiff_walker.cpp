// The FORM header and the chunk loop of an AIFF or AIFC file.
#include "aiff.h"
#include "sorvane.h"

namespace sorvane {
namespace {

struct AiffChunk {
  const char* id;
  ChunkLabel label;
  int code;
  AiffChunkWalker walk;
};
constexpr AiffChunk kChunks[] = {
    {"FVER", {"Format Version Chunk", "'FVER'"}, kWrongFver, WalkFver},
    {"COMM", {"Common Chunk", "'COMM'"}, kWrongComm, WalkComm},
    {"SSND", {"Sound Data Chunk", "'SSND'"}, kWrongSsnd, WalkSsnd},
    {"MARK", {"Marker Chunk", "'MARK'"}, kWrongMark, WalkMark},
    {"INST", {"Instrument Chunk", "'INST'"}, kWrongInst, WalkAiffInst},
    {"MIDI", {"MIDI Data Chunk", "'MIDI'"}, kWrongMidi, WalkMidi},
    {"AESD", {"Audio Recording Chunk", "'AESD'"}, kWrongAesd, WalkAesd},
    {"COMT", {"Comments Chunk", "'COMT'"}, kWrongComt, WalkComt},
    {"APPL", {"Application Specific", "'APPL'"}, kWrongAppl, WalkAppl},
    {"NAME", {"Name Chunk", "'NAME'"}, kWrongName, WalkText},
    {"AUTH", {"Author Chunk", "'AUTH'"}, kWrongAuth, WalkText},
    {"(c) ", {"Copyright Chunk", "'(c) '"}, kWrongCopyright, WalkText},
    {"ANNO", {"Annotation Chunk", "'ANNO'"}, kWrongAnno, WalkText},
    {"ID3 ", {"ID3 Chunk", "'ID3 '--ID3 tag"}, kWrongChunk, WalkId3},
    {"CHAN", {"Channel Layout Chunk", "'CHAN'--Core Audio channel layout"}, kWrongChunk, WalkChan},
    {"basc", {"Apple Loops Chunk", "'basc'--Apple Loops basic information"}, kWrongChunk, WalkData},
    {"cate", {"Apple Loops Category Chunk", "'cate'--Apple Loops categories"}, kWrongChunk, WalkData},
    {"trns", {"Apple Loops Transients Chunk", "'trns'--Apple Loops transients"}, kWrongChunk, WalkData},
};

bool WalkChunk(AiffWalk& walk, Chunk& chunk) {
  for (const AiffChunk& known : kChunks) {
    if (IsId(chunk.id, known.id)) {
      WriteHeading(walk.file, chunk, known.label.heading, known.label.comment, kChunkLevel);
      return known.walk(walk, chunk, known.code);
    }
  }
  WriteNamedHeading(walk.file, chunk, " chunk", "--Unkown Chunk", kChunkLevel);
  return WalkOpaqueChunk(walk.file, chunk, "Data", kWrongChunk, walk.file.Size());
}

// ckID, ckSize and formType; the stored size is shown but the walk reads chunks
// up to the end of the file.
bool WalkFormHeader(AiffWalk& walk) {
  SoundFile& file = walk.file;
  std::uint8_t id[4];
  if (!file.Bytes(id, sizeof id, kWrongForm)) return false;
  if (!IsId(id, "FORM")) return Fail(kWrongForm);
  file.WriteNumber("ckID", 0, 4, file.IdNumber(id));
  file.out.WriteComment("'FORM'");
  std::uint32_t size = 0;
  if (!file.Field("ckSize", 4, kWrongForm, size)) return false;
  file.out.WriteComment("file size-8");
  if (IsOpenSize(size)) {
    file.out.Note("%s: size left open by a streaming writer", size == 0 ? "0" : "0xFFFFFFFF");
    walk.openFormSize = true;
  } else {
    walk.formSize = size;
  }
  std::uint8_t type[4];
  std::uint64_t at = file.Position();
  if (!file.Bytes(type, sizeof type, kWrongForm)) return false;
  file.WriteNumber("formType", at, 4, file.IdNumber(type));
  if (IsId(type, "AIFF")) {
    file.out.WriteComment("'AIFF'");
    walk.aifc = false;
  } else if (IsId(type, "AIFC")) {
    file.out.WriteComment("'AIFC'");
    walk.aifc = true;
  } else {
    return Fail(kWrongForm);
  }
  return true;
}

}  // namespace

bool AnalyseAiff(hpi::Analysis& analysis) {
  SoundFile file(analysis, true);
  AiffWalk walk{file};
  if (!WalkFormHeader(walk)) return false;
  if (!WalkChunksToEnd(file, [&walk](Chunk& chunk) { return WalkChunk(walk, chunk); })) return false;
  constexpr std::uint64_t kFormSizeOffset = 4;
  if (!walk.openFormSize) NoteContainerSize(file, "FORM ckSize", walk.formSize, kFormSizeOffset);
  return true;
}

}  // namespace sorvane
