// Kavlore: ZIP, GZIP, Microsoft cabinet and LZH archives.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hpi/hpi.h"
#include "hpi/plugin.h"

namespace kavlore {

enum Code : int {
  kWrongLocalSignature = 11,
  kWrongCentralSignature = 12,
  kWrongDigitalSignature = 13,
  kWrongEndSignature = 16,
  kWrongDescriptorSignature = 17,
  kWrongLocalField = 18,
  kWrongDescriptorField = 19,
  kWrongExtraField = 20,
  kTooManyNests = 21,
  kWrongGzipId = 30,        // no text of its own: the unknown-error text
  kWrongCabSignature = 41,  // likewise
};

enum class ArchiveKind { None, Zip, Gzip, Cab, Lzh };

// Bytes the support test looks at: all that the host offers.
inline constexpr std::size_t kSupportBytes = hpi::kHeadBytes;
inline constexpr int kBaseLevel = 1;
inline constexpr int F = hpi::kFieldLevel;

// An archive's kind and the offset of its first byte in the file.
struct Location {
  ArchiveKind kind = ArchiveKind::None;
  std::uint64_t offset = 0;
};

// The archive that the first bytes show: one starting at byte 0, or a ZIP local
// header, CAB header or LZH header after other data whose fields hold together.
Location FindInHead(const std::uint8_t* head, std::size_t length);
int IsSupported(const std::uint8_t* head, std::size_t length);
// The archive in the file: what FindInHead finds in its first bytes, a ZIP archive
// found through its end records, a CAB header anywhere in the file or an LZH
// header within its first 64 KiB; the file's position is left anywhere.
Location Locate(hpi::Analysis& analysis);

// Each walker shows the bytes before `start` as one range, then the archive from `start`.
bool WalkZip(hpi::Analysis& analysis, std::uint64_t start);
bool WalkGzip(hpi::Analysis& analysis);
bool WalkCab(hpi::Analysis& analysis, std::uint64_t start);
bool WalkLzh(hpi::Analysis& analysis, std::uint64_t start);

}  // namespace kavlore
