// Finding the archive through its end records, as readers that extract do: the
// end of central directory record is the last one in the file, the central
// directory ends where the end records begin, and any difference between that
// position and the stored offsets is data in front of the archive (the program
// of a self-extracting archive).
#include <algorithm>
#include <vector>

#include "hpi/bytes.h"
#include "zip.h"

namespace kavlore::zip {
namespace {

constexpr std::uint64_t kEndRecordSize = 22;
constexpr std::uint64_t kMaxCommentLength = 0xFFFF;
constexpr std::uint64_t kLocatorSize = 20;
constexpr std::uint64_t kZip64EndSize = 56;
constexpr std::uint64_t kCentralHeaderSize = 46;
constexpr std::uint16_t kZip64ExtraId = 0x0001;

bool ReadAt(hpi::BinaryFile& file, std::uint64_t position, void* destination, std::size_t n) {
  return file.Seek(static_cast<std::int64_t>(position)) && file.Read(destination, n) == static_cast<int>(n);
}

struct Directory {
  std::uint64_t entries;
  std::uint64_t size;
  std::uint64_t offset;
  std::uint64_t end;  // file position where the central directory should end
};

// The last end of central directory record whose comment fits in the file.
std::optional<Directory> FindEndRecord(hpi::BinaryFile& file, std::uint64_t size) {
  if (size < kEndRecordSize) return std::nullopt;
  std::uint64_t tail = std::min(size, kEndRecordSize + kMaxCommentLength);
  std::vector<std::uint8_t> bytes(tail);
  if (!ReadAt(file, size - tail, bytes.data(), bytes.size())) return std::nullopt;
  for (std::uint64_t p = tail - kEndRecordSize + 1; p-- > 0;) {
    const std::uint8_t* r = bytes.data() + p;
    if (hpi::LE32(r) == kEndOfCentralDirectory && p + kEndRecordSize + hpi::LE16(r + 20) <= tail) {
      return Directory{hpi::LE16(r + 10), hpi::LE32(r + 12), hpi::LE32(r + 16), size - tail + p};
    }
  }
  return std::nullopt;
}

// Replaces the values that an end record marks as kept in the zip64 end record.
void ApplyZip64(hpi::BinaryFile& file, Directory& d) {
  std::uint8_t locator[kLocatorSize];
  if (d.end < kLocatorSize + kZip64EndSize || !ReadAt(file, d.end - kLocatorSize, locator, sizeof locator) ||
      hpi::LE32(locator) != kZip64Locator) {
    return;
  }
  // The stored offset is relative to the archive's start; the record normally
  // sits right before the locator.
  std::uint8_t record[kZip64EndSize];
  for (std::uint64_t at : {hpi::LE64(locator + 8), d.end - kLocatorSize - kZip64EndSize}) {
    if (at + kZip64EndSize <= d.end && ReadAt(file, at, record, sizeof record) &&
        hpi::LE32(record) == kZip64EndOfCentralDirectory) {
      d = {hpi::LE64(record + 32), hpi::LE64(record + 40), hpi::LE64(record + 48), at};
      return;
    }
  }
}

// The 8-byte value kept in the zip64 block of an extra field for a header field
// that holds the marker; `before` counts the marked fields that precede it,
// whose values come first in the block.
std::optional<std::uint64_t> Zip64Value(const std::uint8_t* extra, std::size_t length, std::size_t before) {
  for (std::size_t at = 0; at + 4 <= length;) {
    std::size_t dataSize = hpi::LE16(extra + at + 2);
    if (dataSize > length - at - 4) break;
    if (hpi::LE16(extra + at) == kZip64ExtraId) {
      std::size_t field = 8 * before;
      if (field + 8 > dataSize) break;
      return hpi::LE64(extra + at + 4 + field);
    }
    at += 4 + dataSize;
  }
  return std::nullopt;
}

}  // namespace

bool IsRecordAt(Reader& in, std::uint64_t position) {
  std::uint8_t sig[4];
  return in.SeekTo(position) && in.ReadSome(sig, 4) == 4 &&
         (hpi::LE32(sig) == kLocalFileHeader || hpi::LE32(sig) == kCentralFileHeader ||
          hpi::LE32(sig) == kEndOfCentralDirectory);
}

const CentralEntry* Layout::EntryAt(std::uint64_t localHeader) const {
  auto it = std::lower_bound(entries.begin(), entries.end(), localHeader,
                             [](const CentralEntry& e, std::uint64_t at) { return e.localHeader < at; });
  return it != entries.end() && it->localHeader == localHeader ? &*it : nullptr;
}

bool FindLayout(hpi::BinaryFile& file, std::uint64_t size, Layout& layout) {
  std::optional<Directory> found = FindEndRecord(file, size);
  if (!found) return false;
  Directory d = *found;
  if (d.entries == 0xFFFF || d.size == kZip64Marker || d.offset == kZip64Marker) ApplyZip64(file, d);
  // Every count and offset is checked before it drives the reading below.
  if (d.size > d.end || d.offset > d.end - d.size || d.entries > d.size / kCentralHeaderSize) return false;
  std::uint64_t shift = d.end - d.size - d.offset;
  layout.start = d.offset + shift;
  layout.directoryStart = d.offset + shift;
  layout.directoryEnd = d.end;
  layout.entries.clear();
  layout.entries.reserve(static_cast<std::size_t>(d.entries));
  if (!file.Seek(static_cast<std::int64_t>(d.offset + shift))) return false;
  std::vector<std::uint8_t> variable;
  for (std::uint64_t i = 0; i < d.entries; ++i) {
    std::uint8_t h[kCentralHeaderSize];
    if (file.Read(h, sizeof h) != static_cast<int>(sizeof h) || hpi::LE32(h) != kCentralFileHeader) break;
    std::size_t nameLength = hpi::LE16(h + 28);
    std::size_t extraLength = hpi::LE16(h + 30);
    variable.resize(nameLength + extraLength + hpi::LE16(h + 32));
    if (file.Read(variable.data(), variable.size()) != static_cast<int>(variable.size())) break;
    const std::uint8_t* extra = variable.data() + nameLength;
    bool uncompressedMarked = hpi::LE32(h + 24) == kZip64Marker;
    bool compressedMarked = hpi::LE32(h + 20) == kZip64Marker;
    std::uint64_t compressed = hpi::LE32(h + 20);
    std::uint64_t local = hpi::LE32(h + 42);
    if (compressedMarked) compressed = Zip64Value(extra, extraLength, uncompressedMarked).value_or(compressed);
    if (local == kZip64Marker) {
      local = Zip64Value(extra, extraLength, uncompressedMarked + compressedMarked).value_or(local);
    }
    layout.entries.push_back({local + shift, compressed});
  }
  std::sort(layout.entries.begin(), layout.entries.end(),
            [](const CentralEntry& a, const CentralEntry& b) { return a.localHeader < b.localHeader; });
  if (!layout.entries.empty()) layout.start = std::min(layout.start, layout.entries.front().localHeader);
  return true;
}

}  // namespace kavlore::zip
