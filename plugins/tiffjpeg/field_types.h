// The TIFF field types (the twelve of TIFF 6.0 and the IFD type of its supplements): name, unit size, the value record
// of an element kept inside an entry and the note of an element stored at an offset.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hpi/binary_file.h"
#include "hpi/writer.h"

namespace tiffjpeg {

// The file's byte order: the framework's readers of one order.
struct ByteOrder {
  int (*read16)(hpi::BinaryFile&, std::uint16_t&);
  int (*read32)(hpi::BinaryFile&, std::uint32_t&);
  int (*readDouble)(hpi::BinaryFile&, double&);
};
extern const ByteOrder kLittleEndian;
extern const ByteOrder kBigEndian;

inline constexpr std::uint16_t kAscii = 2;

struct FieldType {
  const char* name;
  std::uint32_t unit;
  hpi::ValueKind inlineKind;
  // Reads one element at the file's position and formats its note: 1, 0 when
  // the file ends first, -1 on a read error.
  int (*note)(hpi::BinaryFile& file, const ByteOrder& order, char* text, std::size_t size);
};

// Null for a type outside 1 to 13.
const FieldType* FieldTypeOf(std::uint16_t type);

}  // namespace tiffjpeg
