// The RIFF header and the top-level chunk loop of a WAVE file.
#include <span>

#include "sorvane.h"
#include "wave.h"

namespace sorvane {
namespace {

using ChunkWalker = bool (*)(WaveWalk&, Chunk&);

bool WalkPadding(WaveWalk& walk, Chunk& chunk) {
  return WalkOpaqueChunk(walk.file, chunk, "Padding", kWrongChunk, walk.file.Size());
}
bool WalkId3(WaveWalk& walk, Chunk& chunk) { return WalkId3Chunk(walk.file, chunk, kWrongChunk, "ChunkSize"); }

struct WaveChunk {
  const char* id;
  ChunkLabel label;
  ChunkWalker walk;
};
constexpr WaveChunk kChunks[] = {
    {"fmt ", {"fmt Chunk", "'fmt '"}, WalkFmt},
    {"data", {"data Chunk", "'data'"}, WalkData},
    {"fact", {"fact Chunk", "'fact'"}, WalkFact},
    {"cue ", {"cue Chunk", "'cue '"}, WalkCue},
    {"LIST", {"LIST chunk", "'LIST'"}, WalkList},
    {"plst", {"playlist Chunk", "'plst'--Playlist Chunk"}, WalkPlst},
    {"smpl", {"smpl Chunk", "'smpl'--Sampler Chunk"}, WalkSmpl},
    {"inst", {"inst Chunk", "'inst'--Instrument Chunk"}, WalkInst},
    {"ds64", {"ds64 Chunk", "'ds64'--RF64 sizes"}, WalkDs64},
    {"bext", {"bext Chunk", "'bext'--Broadcast Audio Extension"}, WalkBext},
    {"cart", {"cart Chunk", "'cart'--Cart chunk (AES46)"}, WalkCart},
    {"PEAK", {"PEAK Chunk", "'PEAK'--Peak Envelope"}, WalkPeak},
    {"acid", {"acid Chunk", "'acid'--ACID loop information"}, WalkAcid},
    {"DISP", {"DISP Chunk", "'DISP'--Display object"}, WalkDisp},
    {"iXML", {"iXML Chunk", "'iXML'--iXML metadata"}, WalkIxml},
    {"_PMX", {"_PMX Chunk", "'_PMX'--XMP metadata"}, WalkXmp},
    {"JUNK", {"JUNK Chunk", "'JUNK'--Junk"}, WalkPadding},
    {"junk", {"junk Chunk", "'junk'--Junk"}, WalkPadding},
    {"PAD ", {"PAD Chunk", "'PAD '--Padding"}, WalkPadding},
    {"id3 ", {"id3 Chunk", "'id3 '--ID3 tag"}, WalkId3},
    {"ID3 ", {"ID3 Chunk", "'ID3 '--ID3 tag"}, WalkId3},
};

constexpr std::uint64_t kRiffSizeOffset = 4;

bool WalkChunk(WaveWalk& walk, Chunk& chunk) {
  for (const WaveChunk& known : kChunks) {
    if (IsId(chunk.id, known.id)) {
      WriteHeading(walk.file, chunk, known.label.heading, known.label.comment, kChunkLevel);
      return known.walk(walk, chunk);
    }
  }
  WriteNamedHeading(walk.file, chunk, " chunk", "--Unkown Chunk", kChunkLevel);
  return WalkOpaqueChunk(walk.file, chunk, "Data", kWrongChunk, walk.file.Size());
}

// groupID, FileSize and riffType. The stored size is shown as it is; the walk
// reads chunks up to the end of the file whatever it says.
bool WalkRiffHeader(WaveWalk& walk) {
  SoundFile& file = walk.file;
  hpi::Writer& out = file.out;
  std::uint8_t id[4];
  if (!file.Bytes(id, sizeof id, kWrongRiffHeader)) return false;
  bool riff = IsId(id, "RIFF");
  bool large = IsId(id, "RF64") || IsId(id, "BW64");
  if (!riff && !large && !IsId(id, "RIFX")) return Fail(kWrongRiffId);
  file.SetBigEndian(IsId(id, "RIFX"));
  file.WriteNumber("groupID", 0, 4, file.IdNumber(id));
  out.Comment("'%s'", IdText(id).text);

  std::uint32_t size = 0;
  if (!file.Field("FileSize", 4, kWrongRiffHeader, size)) return false;
  if (large && size == UINT32_MAX) {
    out.WriteComment("file size-8 in the ds64 chunk");
  } else if (IsOpenSize(size)) {
    out.WriteComment("file size-8");
    out.Note("%s: size left open by a streaming writer", size == 0 ? "0" : "0xFFFFFFFF");
    walk.openRiffSize = true;
  } else {
    out.WriteComment("file size-8");
    walk.riffSize = size;
  }

  std::uint8_t type[4];
  std::uint64_t at = file.Position();
  if (!file.Bytes(type, sizeof type, kWrongRiffHeader)) return false;
  if (!IsId(type, "WAVE")) return Fail(kWrongWaveType);
  file.WriteNumber("riffType", at, 4, file.IdNumber(type));
  out.WriteComment("'WAVE'");
  return true;
}

}  // namespace

bool AnalyseWave(hpi::Analysis& analysis) {
  SoundFile file(analysis, false);
  WaveWalk walk{file};
  if (!WalkRiffHeader(walk)) return false;
  if (!WalkChunksToEnd(file, [&walk](Chunk& chunk) { return WalkChunk(walk, chunk); })) return false;
  if (walk.riffSize) NoteContainerSize(file, "FileSize", *walk.riffSize, kRiffSizeOffset);
  return true;
}

}  // namespace sorvane
