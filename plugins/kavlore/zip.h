// Shared pieces of the ZIP walk: record signatures, the central directory index,
// the extra field and the tables of names.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "hpi/binary_file.h"
#include "hpi/writer.h"
#include "reader.h"
#include "short_text.h"

namespace kavlore::zip {

inline constexpr std::uint32_t kLocalFileHeader = 0x04034B50;
inline constexpr std::uint32_t kDataDescriptor = 0x08074B50;
inline constexpr std::uint32_t kCentralFileHeader = 0x02014B50;
inline constexpr std::uint32_t kDigitalSignature = 0x05054B50;
inline constexpr std::uint32_t kZip64EndOfCentralDirectory = 0x06064B50;
inline constexpr std::uint32_t kZip64Locator = 0x07064B50;
inline constexpr std::uint32_t kEndOfCentralDirectory = 0x06054B50;
// A 32-bit size or offset of this value is kept in the zip64 extra field.
inline constexpr std::uint32_t kZip64Marker = 0xFFFFFFFF;

// What the central directory says about one entry, by the file position of its
// local header.
struct CentralEntry {
  std::uint64_t localHeader;
  std::uint64_t compressedSize;
};

// Where the archive lies in the file, found through the end of central directory
// record (and the zip64 records it points to).
struct Layout {
  std::uint64_t start = 0;  // the first byte of the first record; any bytes before it are leading data
  std::uint64_t directoryStart = 0;
  std::uint64_t directoryEnd = 0;
  std::vector<CentralEntry> entries;  // sorted by local header position

  const CentralEntry* EntryAt(std::uint64_t localHeader) const;
};

// Reads the end records and indexes the central directory. False when there is
// no end record or its counts, sizes and offsets do not fit in the file.
bool FindLayout(hpi::BinaryFile& file, std::uint64_t size, Layout& layout);

// True when a local header, central header or end record signature is at `position`.
bool IsRecordAt(Reader& in, std::uint64_t position);

// The values of a zip64 extended information block found in an extra field.
struct Zip64Values {
  bool present = false;
  std::optional<std::uint64_t> compressedSize;
};

enum class Form { Local, Central };

// The header fields that hold the zip64 marker, so that their values are in the
// zip64 extra block (central form; the local form always holds both sizes).
struct MarkedFields {
  bool uncompressedSize;
  bool compressedSize;
  bool localHeaderOffset;
  bool diskNumber;
};

bool WalkExtraField(Reader& in, hpi::Writer& out, int level, std::uint16_t length, Form form,
                    const MarkedFields& marked, Zip64Values& zip64);

const char* MethodText(std::uint16_t method);
void WriteFlagNotes(hpi::Writer& out, std::uint16_t flag, std::uint16_t method);
// MS-DOS attribute notes, then for an entry made on Unix its file type and mode.
void WriteExternalAttributeNotes(hpi::Writer& out, std::uint16_t madeBy, std::uint32_t attributes);
ShortText VersionMadeByText(std::uint16_t version);
const char* HeaderIdText(std::uint16_t id);

}  // namespace kavlore::zip
