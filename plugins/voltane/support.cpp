#include "support.h"

#include "hpi/bytes.h"

namespace voltane {
namespace {

constexpr std::size_t kDirectoryStart = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;

bool ValidColorCount(std::uint8_t count) { return count == 0 || count == 2 || count == 8 || count == 16; }

}  // namespace

// A BMP starts with "BM". An icon or cursor directory is taken when a
// BITMAPINFOHEADER or a PNG signature (Windows Vista and later) lies where
// the first entry points (the walk notes entries that disagree with it); when
// that place is beyond the window, the entries must be plausible.
int IsSupported(const std::uint8_t* head, std::size_t length) {
  if (length < kDirectoryStart) return 0;
  if (hpi::LE16(head) == kBmpMarker) return 1;
  std::uint16_t type = hpi::LE16(head + 2);
  if (hpi::LE16(head) != 0 || (type != 1 && type != 2)) return 0;
  std::size_t count = hpi::LE16(head + 4);
  // An empty directory has no image to look at; it is a valid icon file.
  if (count == 0) return 1;
  bool plausible = true;
  for (std::size_t taken = 0; taken < count; ++taken) {
    std::size_t end = kDirectoryStart + kEntrySize * (taken + 1);
    if (end > length) break;
    const std::uint8_t* entry = head + end - kEntrySize;
    if (!ValidColorCount(entry[2]) || entry[3] != 0) plausible = false;
  }
  std::size_t first = length >= kDirectoryStart + kEntrySize ? hpi::LE32(head + kDirectoryStart + 12) : length;
  if (first + kInfoHeaderSize >= length) return plausible ? 1 : 0;
  const std::uint8_t* image = head + first;
  if (image[0] == 0x89 && image[1] == 'P' && image[2] == 'N' && image[3] == 'G') return 1;
  return hpi::LE32(image) == kInfoHeaderSize ? 1 : 0;
}

}  // namespace voltane
