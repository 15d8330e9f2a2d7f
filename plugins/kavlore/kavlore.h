// Kavlore: ZIP, GZIP, Microsoft cabinet and LZH archives.
#pragma once

#include <cstddef>
#include <cstdint>

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

// Bytes the support test looks at.
inline constexpr std::size_t kSupportBytes = 7;
inline constexpr int kBaseLevel = 1;
inline constexpr int F = hpi::kFieldLevel;

// The kind of archive that the first bytes announce; a local file header after
// leading data (a self-extracting ZIP) counts as ZIP.
ArchiveKind KindOf(const std::uint8_t* head, std::size_t length);
int IsSupported(const std::uint8_t* head, std::size_t length);

bool WalkZip(hpi::Analysis& analysis);
bool WalkGzip(hpi::Analysis& analysis);
bool WalkCab(hpi::Analysis& analysis);
bool WalkLzh(hpi::Analysis& analysis);
// True when the file holds a ZIP archive after some leading data.
bool HasPrefixedZip(hpi::Analysis& analysis);

}  // namespace kavlore
