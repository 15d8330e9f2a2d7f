#include "support.h"

#include "hpi/bytes.h"

namespace voltane {
namespace {

constexpr std::size_t kDirectoryStart = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;

bool ValidColorCount(std::uint8_t count) { return count == 0 || count == 2 || count == 8 || count == 16; }

}  // namespace

// A BMP starts with "BM". An icon or cursor directory must have plausible
// entries and, when the first image's header lies within the window, a
// BITMAPINFOHEADER there (the walk notes sizes that disagree with the entry). An image stored as PNG (Windows Vista and
// later) is accepted by its signature.
int IsSupported(const std::uint8_t* head, std::size_t length) {
  if (length < kDirectoryStart) return 0;
  if (hpi::LE16(head) == kBmpMarker) return 1;
  std::uint16_t type = hpi::LE16(head + 2);
  if (hpi::LE16(head) != 0 || (type != 1 && type != 2)) return 0;
  std::size_t count = hpi::LE16(head + 4);
  std::size_t taken = 0;
  bool windowExceeded = false;
  for (; taken < count; ++taken) {
    std::size_t end = kDirectoryStart + kEntrySize * (taken + 1);
    if (end > length) {
      windowExceeded = true;
      break;
    }
    const std::uint8_t* entry = head + end - kEntrySize;
    if (!ValidColorCount(entry[2]) || entry[3] != 0) return 0;
  }
  // An empty directory has no image to compare with; it is a valid icon file.
  if (count == 0) return 1;
  // The first image lies where its entry says, after any padding.
  const std::uint8_t* first = head + kDirectoryStart;
  std::size_t after = hpi::LE32(first + 12);
  if (windowExceeded || after + kInfoHeaderSize >= length) return 1;
  const std::uint8_t* image = head + after;
  if (image[0] == 0x89 && image[1] == 'P' && image[2] == 'N' && image[3] == 'G') return 1;
  return hpi::LE32(image) == kInfoHeaderSize ? 1 : 0;
}

}  // namespace voltane
