#include <cstring>
#include <string_view>

#include "hpi/bytes.h"
#include "kavlore.h"

namespace kavlore {
namespace {

constexpr std::uint32_t kLocalHeader = 0x04034B50;
constexpr std::uint32_t kEndOfCentralDirectory = 0x06054B50;

// LHA and LArc method identifiers, found at bytes 2 to 6 of an archive's first header.
constexpr std::string_view kLzhMethods[] = {
    "-lh0-", "-lh1-", "-lh2-", "-lh3-", "-lh4-", "-lh5-", "-lh6-", "-lh7-", "-lh8-", "-lh9-", "-lha-", "-lhb-", "-lhc-",
    "-lhd-", "-lhe-", "-lhx-", "-lz2-", "-lz3-", "-lz4-", "-lz5-", "-lz7-", "-lz8-", "-lzs-", "-pm0-", "-pm2-",
};

// A local file header within the first bytes of a file that starts otherwise:
// the program or script of a self-extracting archive, or other leading data.
bool HasLocalHeaderWithin(const std::uint8_t* head, std::size_t length) {
  constexpr std::uint16_t kMaxVersionNeeded = 100;
  for (std::size_t i = 1; i + 6 <= length; ++i) {
    if (hpi::LE32(head + i) == kLocalHeader && hpi::LE16(head + i + 4) < kMaxVersionNeeded) return true;
  }
  return false;
}

}  // namespace

ArchiveKind KindOf(const std::uint8_t* head, std::size_t length) {
  if (length < kSupportBytes) return ArchiveKind::None;
  // An archive without entries is a lone end of central directory record.
  if (hpi::LE32(head) == kLocalHeader || hpi::LE32(head) == kEndOfCentralDirectory) return ArchiveKind::Zip;
  if (head[0] == 0x1F && head[1] == 0x8B) return ArchiveKind::Gzip;
  if (std::memcmp(head, "MSCF", 4) == 0) return ArchiveKind::Cab;
  std::string_view method(reinterpret_cast<const char*>(head + 2), 5);
  for (std::string_view known : kLzhMethods) {
    if (method == known) return ArchiveKind::Lzh;
  }
  if (HasLocalHeaderWithin(head, length)) return ArchiveKind::Zip;
  return ArchiveKind::None;
}

int IsSupported(const std::uint8_t* head, std::size_t length) {
  return KindOf(head, length) == ArchiveKind::None ? 0 : 1;
}

}  // namespace kavlore
