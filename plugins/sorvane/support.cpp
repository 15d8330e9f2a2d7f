#include <cstring>

#include "sorvane.h"

namespace sorvane {
namespace {

bool Is(const std::uint8_t* bytes, const char* text) { return std::memcmp(bytes, text, 4) == 0; }

}  // namespace

// RIFX is the big-endian RIFF; RF64 and BW64 carry 64-bit sizes in a ds64 chunk.
Kind KindOf(const std::uint8_t* head, std::size_t length) {
  if (length < 12) return kNone;
  if (Is(head, "RIFF") || Is(head, "RIFX") || Is(head, "RF64") || Is(head, "BW64")) {
    return Is(head + 8, "WAVE") ? kWave : kNone;
  }
  if (Is(head, "FORM")) {
    if (Is(head + 8, "AIFF")) return kAiff;
    if (Is(head + 8, "AIFC")) return kAifc;
    return kNone;
  }
  return Is(head, ".snd") || Is(head, "dns.") ? kAu : kNone;
}

Kind KindOfPrefix(const std::uint8_t* head, std::size_t length) {
  if (length < 4) return kNone;
  if (Is(head, "RIFF") || Is(head, "RIFX") || Is(head, "RF64") || Is(head, "BW64")) return kWave;
  if (Is(head, "FORM")) return kAiff;
  return Is(head, ".snd") || Is(head, "dns.") ? kAu : kNone;
}

int IsSupported(const std::uint8_t* head, std::size_t length) { return KindOf(head, length) != kNone ? 1 : 0; }

}  // namespace sorvane
