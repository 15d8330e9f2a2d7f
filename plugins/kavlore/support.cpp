// Recognising an archive: at the file's first byte, or after other data (the
// program of a self-extracting archive) when a header found there holds
// together. The support test looks at the first bytes only; the analysis looks
// through the file and so finds at least what the support test found.
#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "hpi/bytes.h"
#include "kavlore.h"
#include "lzh.h"
#include "reader.h"
#include "zip.h"

namespace kavlore {
namespace {

constexpr std::uint32_t kLocalHeader = 0x04034B50;
constexpr std::uint32_t kEndOfCentralDirectory = 0x06054B50;

// LHA, LArc and PMarc method identifiers, found at bytes 2 to 6 of a header.
constexpr std::string_view kLzhMethods[] = {
    "-lh0-", "-lh1-", "-lh2-", "-lh3-", "-lh4-", "-lh5-", "-lh6-", "-lh7-", "-lh8-", "-lh9-", "-lha-", "-lhb-", "-lhc-",
    "-lhd-", "-lhe-", "-lhx-", "-lz2-", "-lz3-", "-lz4-", "-lz5-", "-lz7-", "-lz8-", "-lzs-", "-pm0-", "-pm1-", "-pm2-",
};

// How far into a file an LZH archive is looked for.
constexpr std::uint64_t kLzhSearch = 64 * 1024;
constexpr std::size_t kChunk = 64 * 1024;

bool HasLzhMethod(const std::uint8_t* header) {
  std::string_view method(reinterpret_cast<const char*>(header + 2), 5);
  return std::find(std::begin(kLzhMethods), std::end(kLzhMethods), method) != std::end(kLzhMethods);
}

// A local file header whose fields are those of a real entry: a version, flag
// bits and method of the application note, a plain date and a printable name
// that lies within the bytes.
bool IsLocalHeaderAt(const std::uint8_t* b, std::size_t length) {
  constexpr std::size_t kFixed = 30;
  constexpr std::uint16_t kReservedFlags = 0xD780;
  if (length < kFixed || hpi::LE32(b) != kLocalHeader) return false;
  std::uint16_t version = hpi::LE16(b + 4);
  std::uint16_t method = hpi::LE16(b + 8);
  std::uint16_t date = hpi::LE16(b + 12);
  std::size_t nameLength = hpi::LE16(b + 26);
  std::uint16_t month = date >> 5 & 0xF;
  if (version >= 100 || (hpi::LE16(b + 6) & kReservedFlags) != 0 || (method > 20 && (method < 93 || method > 99))) {
    return false;
  }
  if (date != 0 && (month < 1 || month > 12 || (date & 0x1F) == 0)) return false;
  if (nameLength == 0 || nameLength > length - kFixed) return false;
  return std::all_of(b + kFixed, b + kFixed + nameLength, [](std::uint8_t c) { return c >= 0x20 && c != 0x7F; });
}

// A CFHEADER whose fields agree: reserved fields zero, version 1.3, the file
// entries within the cabinet, and (when the file's size is known) the cabinet
// within the file, as cabextract's search asks.
bool IsCabHeaderAt(const std::uint8_t* b, std::size_t length, std::uint64_t at, std::uint64_t fileSize) {
  constexpr std::uint32_t kHeaderSize = 36;
  constexpr std::uint64_t kSlack = 32;
  if (length < kHeaderSize || std::memcmp(b, "MSCF", 4) != 0) return false;
  std::uint32_t cbCabinet = hpi::LE32(b + 8);
  std::uint32_t coffFiles = hpi::LE32(b + 16);
  if (hpi::LE32(b + 4) != 0 || hpi::LE32(b + 12) != 0 || hpi::LE32(b + 20) != 0 || b[24] != 3 || b[25] != 1) {
    return false;
  }
  if (coffFiles < kHeaderSize || coffFiles >= cbCabinet) return false;
  return fileSize == 0 || at + cbCabinet <= fileSize + kSlack;
}

// A level 0 to 3 header with a method identifier whose checksum (levels 0 and
// 1) or CRC-16 in its common extended header (levels 2 and 3) is right. The
// header must lie within the bytes.
bool IsLzhHeaderAt(const std::uint8_t* b, std::size_t length) {
  if (length < 22 || !HasLzhMethod(b)) return false;
  switch (b[20]) {
    case 0:
    case 1: {
      std::size_t size = b[0];
      if (size < 20 || size + 2 > length) return false;
      std::uint8_t sum = 0;
      for (std::size_t i = 2; i < size + 2; ++i) sum = static_cast<std::uint8_t>(sum + b[i]);
      return sum == b[1];
    }
    case 2:
    case 3: return lzh::HeaderCrcMatches(b, length);
    default: return false;
  }
}

// Reads from `at` into `bytes`, as many as the file holds up to its size.
std::size_t ReadAt(Reader& in, std::uint64_t at, std::vector<std::uint8_t>& bytes) {
  if (!in.SeekTo(at)) return 0;
  int got = in.ReadSome(bytes.data(), bytes.size());
  return got < 0 ? 0 : static_cast<std::size_t>(got);
}

// The first position in the file where `matches` holds, searched chunk by chunk;
// each chunk is read with `overlap` more bytes so that a header across two chunks is seen.
template <typename Match>
std::optional<std::uint64_t> Search(Reader& in, std::uint64_t limit, std::size_t overlap, Match matches) {
  std::vector<std::uint8_t> bytes(kChunk + overlap);
  for (std::uint64_t at = 0; at < limit; at += kChunk) {
    std::size_t got = ReadAt(in, at, bytes);
    for (std::size_t i = 0; i < std::min<std::uint64_t>(got, kChunk) && at + i < limit; ++i) {
      if (matches(bytes.data() + i, got - i, at + i)) return at + i;
    }
    if (got < bytes.size()) break;
  }
  return std::nullopt;
}

}  // namespace

Location FindInHead(const std::uint8_t* head, std::size_t length) {
  if (length < 7) return {};
  // An archive without entries is a lone end of central directory record.
  if (hpi::LE32(head) == kLocalHeader || hpi::LE32(head) == kEndOfCentralDirectory) return {ArchiveKind::Zip, 0};
  if (head[0] == 0x1F && head[1] == 0x8B) return {ArchiveKind::Gzip, 0};
  if (std::memcmp(head, "MSCF", 4) == 0) return {ArchiveKind::Cab, 0};
  constexpr std::uint8_t kHighestLevel = 3;
  if (HasLzhMethod(head) && head[20] <= kHighestLevel) return {ArchiveKind::Lzh, 0};
  for (std::size_t i = 1; i + 4 <= length; ++i) {
    const std::uint8_t* b = head + i;
    if (IsLocalHeaderAt(b, length - i)) return {ArchiveKind::Zip, i};
    if (IsCabHeaderAt(b, length - i, i, 0)) return {ArchiveKind::Cab, i};
    if (IsLzhHeaderAt(b, length - i)) return {ArchiveKind::Lzh, i};
  }
  return {};
}

int IsSupported(const std::uint8_t* head, std::size_t length) {
  return FindInHead(head, length).kind == ArchiveKind::None ? 0 : 1;
}

Location Locate(hpi::Analysis& analysis) {
  Reader in(analysis.file, analysis.fileSize);
  // Zero-filled as the host fills its head record.
  std::vector<std::uint8_t> head(kSupportBytes);
  ReadAt(in, 0, head);
  Location found = FindInHead(head.data(), head.size());
  if (found.kind != ArchiveKind::None && found.offset == 0) return found;
  // The end records name the start of a ZIP archive, however long the program in front.
  zip::Layout layout;
  if (zip::FindLayout(analysis.file, analysis.fileSize, layout) && layout.start > 0 &&
      zip::IsRecordAt(in, layout.start)) {
    return {ArchiveKind::Zip, layout.start};
  }
  if (found.kind != ArchiveKind::None) return found;
  constexpr std::size_t kCabOverlap = 36;
  constexpr std::size_t kLzhOverlap = 0x10000 + 22;  // a level 2 header may take 64 KiB
  std::uint64_t size = analysis.fileSize;
  if (auto at = Search(in, size, kCabOverlap, [size](const std::uint8_t* b, std::size_t n, std::uint64_t p) {
        return IsCabHeaderAt(b, n, p, size);
      })) {
    return {ArchiveKind::Cab, *at};
  }
  if (auto at = Search(in, std::min(size, kLzhSearch), kLzhOverlap,
                       [](const std::uint8_t* b, std::size_t n, std::uint64_t) { return IsLzhHeaderAt(b, n); })) {
    return {ArchiveKind::Lzh, *at};
  }
  return {};
}

}  // namespace kavlore
