// The AIFF/AIFC walk (the Audio IFF and AIFF-C standards): its state and its
// chunk walkers. Each walker is called with the chunk's heading written and the
// code of its chunk, reads the size field and leaves the file after the chunk.
#pragma once

#include "chunk.h"

namespace sorvane {

struct AiffWalk {
  SoundFile& file;
  bool aifc = false;  // the form type: COMM carries a compression type only in AIFC
  // The FORM size is 0 or 0xFFFFFFFF, as a streaming writer leaves it.
  bool openFormSize = false;
  std::uint32_t formSize = 0;
};

using AiffChunkWalker = bool (*)(AiffWalk& walk, Chunk& chunk, int code);

bool WalkFver(AiffWalk& walk, Chunk& chunk, int code);
bool WalkComm(AiffWalk& walk, Chunk& chunk, int code);
bool WalkSsnd(AiffWalk& walk, Chunk& chunk, int code);
bool WalkMark(AiffWalk& walk, Chunk& chunk, int code);
bool WalkComt(AiffWalk& walk, Chunk& chunk, int code);
bool WalkAiffInst(AiffWalk& walk, Chunk& chunk, int code);
bool WalkMidi(AiffWalk& walk, Chunk& chunk, int code);
bool WalkAesd(AiffWalk& walk, Chunk& chunk, int code);
bool WalkAppl(AiffWalk& walk, Chunk& chunk, int code);
bool WalkText(AiffWalk& walk, Chunk& chunk, int code);
bool WalkId3(AiffWalk& walk, Chunk& chunk, int code);
bool WalkChan(AiffWalk& walk, Chunk& chunk, int code);
// A chunk shown as its size and a Data range.
bool WalkData(AiffWalk& walk, Chunk& chunk, int code);

}  // namespace sorvane
