// The LZH walk: file headers of levels 0 to 3, each with its extended headers and
// its compressed data, up to the archive's end byte or the end of the file.
#include <string_view>

#include "hpi/bytes.h"
#include "items.h"
#include "kavlore.h"
#include "lzh.h"
#include "time_text.h"

namespace kavlore {
namespace {

using namespace lzh;

constexpr int L = kBaseLevel;
constexpr std::uint64_t kLevelOffset = 20;  // the level byte is the 21st of every header
constexpr std::size_t kLevel01FixedSize = 22;
constexpr std::size_t kLevel2FixedSize = 26;
constexpr std::size_t kLevel3FixedSize = 32;
constexpr std::size_t kMethodLength = 5;

class LzhWalker {
 public:
  explicit LzhWalker(hpi::Analysis& a) : in_(a.file, a.fileSize), out_(a.out) {}

  bool Run(std::uint64_t archiveStart);

 private:
  // Each header walker leaves the reader at the compressed data and gives its size.
  bool Level0(std::uint64_t start, std::uint64_t& dataSize);
  bool UnixExtendedArea(std::uint32_t size);
  bool Level1(std::uint64_t start, std::uint64_t& dataSize);
  bool Level2(std::uint64_t start, std::uint64_t& dataSize);
  bool Level3(std::uint64_t start, std::uint64_t& dataSize);

  void Method(FieldCursor& f, const std::uint8_t* bytes);
  // Bytes that a level 2 or 3 header counts beyond its extended headers.
  bool Padding(std::uint64_t headerEnd);

  Reader in_;
  hpi::Writer& out_;
};

bool LzhWalker::Run(std::uint64_t archiveStart) {
  if (in_.Size() == 0) return FailAt(hpi::kWrongFormat, 0);
  WriteLeadingData(out_, archiveStart);
  if (!in_.SeekTo(archiveStart)) return false;
  while (!in_.AtEnd()) {
    std::uint64_t start = in_.Position();
    std::uint8_t first = 0;
    if (!in_.U8(first, hpi::kWrongFormat)) return false;
    if (first == 0) {
      out_.WriteGroupEnd(L);
      out_.WriteItem("Archive end", F, start, 1, &first);
      return out_.Ok();
    }
    // The level byte, or for a header cut short before it the word size 4 that only level 3 headers begin with.
    std::uint8_t peek[kLevelOffset + 1];
    if (!in_.SeekTo(start)) return false;
    int got = ReadRecord(in_, peek, sizeof peek);
    if (got < 0 || !in_.SeekTo(start)) return false;
    constexpr std::uint16_t kLevel3WordSize = 4;
    bool cutLevel3 = got >= 2 && hpi::LE16(peek) == kLevel3WordSize;
    if (static_cast<std::size_t>(got) < sizeof peek && !cutLevel3) return in_.Fault(hpi::kWrongFormat, start + got);
    std::uint8_t level = static_cast<std::size_t>(got) == sizeof peek ? peek[kLevelOffset] : 3;
    std::uint64_t dataSize = 0;
    bool walked = false;
    switch (level) {
      case 0: walked = Level0(start, dataSize); break;
      case 1: walked = Level1(start, dataSize); break;
      case 2: walked = Level2(start, dataSize); break;
      case 3: walked = Level3(start, dataSize); break;
      default: return FailAt(hpi::kWrongFormat, start + kLevelOffset);
    }
    if (!walked) return false;
    if (dataSize != 0 && !WriteData(in_, out_, "Compress data", L, dataSize, hpi::kWrongFormat)) return false;
    if (!out_.Ok()) return false;
  }
  return true;
}

void LzhWalker::Method(FieldCursor& f, const std::uint8_t* bytes) {
  f.Text("Method ID", kMethodLength);
  if (f.Wrote()) WriteMethodNotes(out_, std::string_view(reinterpret_cast<const char*>(bytes), kMethodLength));
}

bool LzhWalker::Level0(std::uint64_t start, std::uint64_t& dataSize) {
  std::uint8_t b[kLevel01FixedSize];
  if (!in_.Read(b, sizeof b, hpi::kWrongFormat)) return false;
  std::uint8_t headerSize = b[0];
  std::uint8_t nameLength = b[21];
  // LArc and early LHarc headers end with the name, without the CRC-16.
  bool hasCrc = headerSize >= nameLength + 22;
  if (headerSize < nameLength + 20) return FailAt(hpi::kWrongFormat, start);
  WriteRange(out_, "Archived file header", L, start, headerSize + 2u);
  FieldCursor f(out_, b, start);
  f.U8("Size of archived file header");
  out_.WriteComment("base file header size - 2");
  f.U8("Header checksum");
  Method(f, b + 2);
  dataSize = f.U32("Compressed size");
  f.U32("Uncompressed size");
  out_.WriteComment(DosDateTimeText(f.U32("Last modified time")));
  WriteAttributeNotes(out_, f.U8("MS-DOS file attribute"));
  f.U8("Level");
  f.U8("Filename length");
  if (!WriteTextField(in_, out_, "Filename", nameLength, hpi::kWrongFormat)) return false;
  std::uint32_t extended = headerSize - nameLength - 20u;
  if (hasCrc) {
    std::uint64_t at = in_.Position();
    std::uint16_t crc = 0;
    if (!in_.U16(crc, hpi::kWrongFormat)) return false;
    out_.WriteU16Item("CRC-16 of original file", F, at, crc);
    extended -= 2;
  }
  if (extended == 0) return true;
  if (!in_.Holds(extended)) return in_.FailHere(hpi::kWrongFormat);
  return UnixExtendedArea(extended);
}

// LHa for UNIX fills a level 0 header's extended area with 'U', a minor
// version, the Unix time stamp, the mode, the user ID and the group ID.
bool LzhWalker::UnixExtendedArea(std::uint32_t size) {
  constexpr std::uint32_t kUnixAreaSize = 12;
  std::uint64_t at = in_.Position();
  std::uint8_t b[kUnixAreaSize] = {};
  if (size == kUnixAreaSize && !in_.Read(b, sizeof b, hpi::kWrongFormat)) return false;
  if (size != kUnixAreaSize || b[0] != 'U') {
    WriteRange(out_, "Extended area", F, at, size);
    return in_.SeekTo(at + size);
  }
  WriteRange(out_, "Extended area", L + 1, at, size);
  FieldCursor f(out_, b, at);
  f.Text("OS ID", 1);
  WriteOsComment(out_, b[0]);
  f.U8("Minor version");
  out_.WriteComment(UnixTimeText(f.U32("Last modified time")));
  WritePermissionNotes(out_, f.U16("Permission"));
  f.U16("User ID");
  f.U16("Group ID");
  out_.WriteGroupEnd(L + 1);
  return true;
}

bool LzhWalker::Level1(std::uint64_t start, std::uint64_t& dataSize) {
  std::uint8_t b[kLevel01FixedSize];
  if (!in_.Read(b, sizeof b, hpi::kWrongFormat)) return false;
  std::uint8_t headerSize = b[0];
  std::uint8_t nameLength = b[21];
  if (headerSize < nameLength + 25) return FailAt(hpi::kWrongFormat, start);
  WriteRange(out_, "Base file header", L, start, headerSize + 2u);
  FieldCursor f(out_, b, start);
  f.U8("Size of base file header");
  out_.WriteComment("base file header size - 2");
  f.U8("Base header checksum");
  Method(f, b + 2);
  std::uint32_t skipSize = f.U32("Skip size(All extended headers + Compress data)");
  f.U32("Uncompressed size");
  out_.WriteComment(DosDateTimeText(f.U32("Last modified time")));
  f.U8("Reserved");
  f.U8("Level");
  f.U8("Filename length");
  if (!WriteTextField(in_, out_, "Filename", nameLength, hpi::kWrongFormat)) return false;

  std::uint8_t t[3];
  std::uint64_t at = in_.Position();
  if (!in_.Read(t, sizeof t, hpi::kWrongFormat)) return false;
  FieldCursor tail(out_, t, at);
  tail.U16("CRC-16 of original file");
  tail.Text("OS ID", 1);
  WriteOsComment(out_, t[2]);
  std::uint32_t extended = headerSize - nameLength - 25u;
  if (extended != 0) {
    if (!in_.Holds(extended)) return in_.FailHere(hpi::kWrongFormat);
    WriteRange(out_, "Extended area", F, in_.Position(), extended);
    if (!in_.Skip(extended)) return false;
  }
  std::uint16_t next = 0;
  at = in_.Position();
  if (!in_.U16(next, hpi::kWrongFormat)) return false;
  out_.WriteU16Item("Next header size", F, at, next);

  // The skip size counts the extended headers as well as the data.
  std::uint64_t taken = 0;
  if (!WalkExtendedHeaders(in_, out_, {1, t[2], L}, next, taken)) return false;
  constexpr std::uint64_t kSkipSizeAt = 7;
  if (taken > skipSize) return FailAt(hpi::kWrongFormat, start + kSkipSizeAt);
  dataSize = skipSize - taken;
  return true;
}

bool LzhWalker::Level2(std::uint64_t start, std::uint64_t& dataSize) {
  std::uint8_t b[kLevel2FixedSize];
  if (!in_.Read(b, sizeof b, hpi::kWrongFormat)) return false;
  std::uint16_t totalSize = hpi::LE16(b);
  WriteRange(out_, "Base file header", L, start, totalSize);
  FieldCursor f(out_, b, start);
  f.U16("Size of archived file header");
  Method(f, b + 2);
  dataSize = f.U32("Compressed size");
  f.U32("Uncompressed size");
  out_.WriteComment(UnixTimeText(f.U32("Original file time stamp")));
  f.U8("Reserved");
  f.U8("Level");
  f.U16("CRC-16 of original file");
  f.Text("OS ID", 1);
  WriteOsComment(out_, b[23]);
  std::uint16_t next = f.U16("Next header size");
  std::uint64_t taken = 0;
  return WalkExtendedHeaders(in_, out_, {2, b[23], L}, next, taken) && Padding(start + totalSize);
}

bool LzhWalker::Level3(std::uint64_t start, std::uint64_t& dataSize) {
  // A heading without a range: written first, so that a header cut short shows its fields that are there.
  out_.WriteName("Base file header", L);
  std::uint8_t b[kLevel3FixedSize];
  int got = ReadRecord(in_, b, sizeof b);
  if (got < 0) return false;
  FieldCursor f(out_, b, start, static_cast<std::size_t>(got));
  f.U16("Word size");
  Method(f, b + 2);
  dataSize = f.U32("Compressed size");
  f.U32("Uncompressed size");
  f.Comment(UnixTimeText(f.U32("Last modified time")));
  f.U8("Reserved");
  f.U8("Level");
  f.U16("CRC-16 of original file");
  f.Text("OS ID", 1);
  if (f.Wrote()) WriteOsComment(out_, b[23]);
  std::uint32_t totalSize = f.U32("Header size(base header + each extended headers)");
  std::uint32_t next = f.U32("Next header size");
  if (!f.Complete(hpi::kWrongFormat)) return false;
  std::uint64_t taken = 0;
  return WalkExtendedHeaders(in_, out_, {3, b[23], L}, next, taken) && Padding(start + totalSize);
}

// Some writers pad a level 2 header by a byte; the header size says where the data begins.
bool LzhWalker::Padding(std::uint64_t headerEnd) {
  if (headerEnd <= in_.Position()) return true;
  if (!in_.Holds(headerEnd - in_.Position())) return in_.FailHere(hpi::kWrongFormat);
  WriteRange(out_, "Padding", F, in_.Position(), headerEnd - in_.Position());
  return in_.SeekTo(headerEnd);
}

}  // namespace

bool WalkLzh(hpi::Analysis& analysis, std::uint64_t start) { return LzhWalker(analysis).Run(start); }

}  // namespace kavlore
