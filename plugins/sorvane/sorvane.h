// Sorvane: RIFF WAVE (with RIFX, RF64 and BW64), AIFF, AIFC and Sun/NeXT AU sound files.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hpi/plugin.h"

namespace sorvane {

enum Code : int {
  kWrongRiffHeader = 11,
  kWrongRiffId = 12,
  kWrongWaveType = 13,
  kWrongFmt = 14,
  kWrongFact = 15,
  kWrongData = 16,
  kWrongCue = 17,
  kWrongList = 18,
  kWrongPlst = 19,
  kWrongSmpl = 20,
  kWrongInst = 21,
  kWrongLtxt = 22,
  kWrongChunk = 23,
  kTooManyNest = 24,
  kWrongExtension = 25,
  kWrongForm = 30,
  kWrongFver = 31,
  kWrongComm = 32,
  kWrongSsnd = 33,
  kWrongMark = 34,
  kWrongMidi = 35,
  kWrongAesd = 36,
  kWrongComt = 37,
  kWrongAppl = 38,
  kWrongName = 39,
  kWrongAuth = 40,
  kWrongCopyright = 41,
  kWrongAnno = 42,
};

enum Kind : int { kNone = 0, kWave = 1, kAiff = 2, kAifc = 3, kAu = 4 };

// The sound file kind from the first 12 bytes.
Kind KindOf(const std::uint8_t* head, std::size_t length);
// The kind of a file shorter than 12 bytes, by its first four (AIFF for a FORM).
Kind KindOfPrefix(const std::uint8_t* head, std::size_t length);
int IsSupported(const std::uint8_t* head, std::size_t length);

bool AnalyseWave(hpi::Analysis& analysis);
bool AnalyseAiff(hpi::Analysis& analysis);
bool AnalyseAu(hpi::Analysis& analysis);

using hpi::Fail;

}  // namespace sorvane
