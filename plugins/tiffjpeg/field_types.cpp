#include "field_types.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace tiffjpeg {
namespace {

using hpi::ValueKind;

// A reader's result as the note functions give it.
int Status(int got, int width) { return got == width ? 1 : got < 0 ? -1 : 0; }

int ByteNote(hpi::BinaryFile& f, const ByteOrder&, char* text, std::size_t size) {
  std::uint8_t b = 0;
  int s = Status(hpi::ReadByte(f, b), 1);
  std::snprintf(text, size, "0x%02x(%u)", b, b);
  return s;
}

int SignedByteNote(hpi::BinaryFile& f, const ByteOrder&, char* text, std::size_t size) {
  std::uint8_t b = 0;
  int s = Status(hpi::ReadByte(f, b), 1);
  std::snprintf(text, size, "0x%02x(%d)", b, static_cast<std::int8_t>(b));
  return s;
}

int UndefinedNote(hpi::BinaryFile& f, const ByteOrder&, char* text, std::size_t size) {
  std::uint8_t b = 0;
  int s = Status(hpi::ReadByte(f, b), 1);
  std::snprintf(text, size, "0x%02x", b);
  return s;
}

int ShortNote(hpi::BinaryFile& f, const ByteOrder& o, char* text, std::size_t size) {
  std::uint16_t v = 0;
  int s = Status(o.read16(f, v), 2);
  std::snprintf(text, size, "0x%04x(%u)", v, v);
  return s;
}

int SignedShortNote(hpi::BinaryFile& f, const ByteOrder& o, char* text, std::size_t size) {
  std::uint16_t v = 0;
  int s = Status(o.read16(f, v), 2);
  std::snprintf(text, size, "0x%04x(%d)", v, static_cast<std::int16_t>(v));
  return s;
}

int LongNote(hpi::BinaryFile& f, const ByteOrder& o, char* text, std::size_t size) {
  std::uint32_t v = 0;
  int s = Status(o.read32(f, v), 4);
  std::snprintf(text, size, "0x%08x(%u)", v, v);
  return s;
}

int SignedLongNote(hpi::BinaryFile& f, const ByteOrder& o, char* text, std::size_t size) {
  std::uint32_t v = 0;
  int s = Status(o.read32(f, v), 4);
  std::snprintf(text, size, "0x%08x(%d)", v, static_cast<std::int32_t>(v));
  return s;
}

// Numerator, then denominator.
int ReadPair(hpi::BinaryFile& f, const ByteOrder& o, std::uint32_t& n, std::uint32_t& d) {
  int s = Status(o.read32(f, n), 4);
  return s == 1 ? Status(o.read32(f, d), 4) : s;
}

int RationalNote(hpi::BinaryFile& f, const ByteOrder& o, char* text, std::size_t size) {
  std::uint32_t n = 0;
  std::uint32_t d = 0;
  int s = ReadPair(f, o, n, d);
  if (d == 0) {
    std::snprintf(text, size, "0x%08x/0x%08x", n, 0u);
  } else {
    std::uint32_t q = n / d;
    std::snprintf(text, size, "0x%08x/0x%08x=0x%08x(%u)", n, d, q, q);
  }
  return s;
}

// The quotient is taken in 64 bits: -2147483648 / -1 has no 32-bit result.
int SignedRationalNote(hpi::BinaryFile& f, const ByteOrder& o, char* text, std::size_t size) {
  std::uint32_t n = 0;
  std::uint32_t d = 0;
  int s = ReadPair(f, o, n, d);
  if (d == 0) {
    std::snprintf(text, size, "0x%08x/0x%08x", n, 0u);
  } else {
    std::int64_t q = static_cast<std::int64_t>(static_cast<std::int32_t>(n)) / static_cast<std::int32_t>(d);
    std::snprintf(text, size, "0x%08x/0x%08x=0x%08x(%" PRId64 ")", n, d, static_cast<std::uint32_t>(q), q);
  }
  return s;
}

int FloatNote(hpi::BinaryFile& f, const ByteOrder& o, char* text, std::size_t size) {
  std::uint32_t bits = 0;
  int s = Status(o.read32(f, bits), 4);
  float v = 0;
  std::memcpy(&v, &bits, sizeof v);
  std::snprintf(text, size, "0x%08x(%f)", bits, static_cast<double>(v));
  return s;
}

int DoubleNote(hpi::BinaryFile& f, const ByteOrder& o, char* text, std::size_t size) {
  double v = 0;
  int s = Status(o.readDouble(f, v), 8);
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  std::snprintf(text, size, "0x%016" PRIx64 "(%.6f)", bits, v);
  return s;
}

// ASCII is noted as one text, not element by element.
constexpr FieldType kTypes[] = {
    {"BYTE", 1, ValueKind::Unsigned, ByteNote},
    {"ASCII", 1, ValueKind::Unsigned, nullptr},
    {"SHORT", 2, ValueKind::Unsigned, ShortNote},
    {"LONG", 4, ValueKind::Unsigned, LongNote},
    {"RATIONAL", 8, ValueKind::Unsigned, RationalNote},
    {"SBYTE", 1, ValueKind::Signed, SignedByteNote},
    {"UNDEFINEED", 1, ValueKind::Unsigned, UndefinedNote},
    {"SSHORT", 2, ValueKind::Signed, SignedShortNote},
    {"SLONG", 4, ValueKind::Signed, SignedLongNote},
    {"SRATIONAL", 8, ValueKind::Signed, SignedRationalNote},
    {"FLOAT", 4, ValueKind::Real, FloatNote},
    {"DOUBLE", 8, ValueKind::Real, DoubleNote},
    {"IFD", 4, ValueKind::Unsigned, LongNote},  // TIFF Technical Note 1: a LONG that points to a directory
};

}  // namespace

const ByteOrder kLittleEndian{hpi::ReadLE16, hpi::ReadLE32, hpi::ReadLEDouble};
const ByteOrder kBigEndian{hpi::ReadBE16, hpi::ReadBE32, hpi::ReadBEDouble};

const FieldType* FieldTypeOf(std::uint16_t type) {
  return type >= 1 && type <= std::size(kTypes) ? &kTypes[type - 1] : nullptr;
}

}  // namespace tiffjpeg
