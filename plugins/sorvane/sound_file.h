// Forward reading of a sound file in its byte order, with the position kept at
// hand, and the field writers that pair each read with its item.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "hpi/plugin.h"

namespace sorvane {

inline constexpr int F = hpi::kFieldLevel;
inline constexpr std::size_t kMaxText = hpi::kMaxPayload;
// The longest record of fixed fields that is read in one piece.
inline constexpr std::size_t kMaxRecord = 64;

// One fixed-width field of a record: 1, 2 or 4 bytes, with an optional remark
// written after its value.
struct FieldSpec {
  const char* name;
  std::uint8_t width;
  hpi::ValueKind kind = hpi::ValueKind::Unsigned;
  void (*remark)(hpi::Writer& out, std::uint32_t value, const std::uint8_t* bytes) = nullptr;
};

class SoundFile {
 public:
  SoundFile(hpi::Analysis& analysis, bool bigEndian);

  hpi::Writer& out;

  // The order of numbers; identifiers keep the order the file kind shows them in.
  void SetBigEndian(bool bigEndian) { bigEndian_ = bigEndian; }
  bool BigEndian() const { return bigEndian_; }
  std::uint64_t Position() const { return position_; }
  std::uint64_t Size() const { return size_; }
  // Bytes between the position and end (0 when the position is past it).
  std::uint64_t Left(std::uint64_t end) const { return end > position_ ? end - position_ : 0; }

  // Each read records code 3 when the file reports an error and code when it ends early.
  bool Bytes(void* destination, std::size_t n, int code);
  bool U32(std::uint32_t& value, int code);
  // A chunk identifier: 4 when read, fewer at the end of the file, -1 on an error (code 3 recorded).
  int Identifier(std::uint8_t id[4]);
  // Records code 5 when the seek fails.
  bool SeekTo(std::uint64_t position);

  std::uint32_t Number(const std::uint8_t* bytes, std::size_t width) const;
  // A chunk identifier as the number whose value bytes are its characters in file
  // order (RIFF, RIFX) or as a big-endian number (IFF).
  std::uint32_t IdNumber(const std::uint8_t id[4]) const;

  // Reads one number and writes it as a field at the position it was read from.
  bool Field(std::string_view name, std::size_t width, int code, std::uint32_t& value,
             hpi::ValueKind kind = hpi::ValueKind::Unsigned);
  // Reads a record and writes its fields; values (when given) receive the numbers.
  // A record cut by the end of the file keeps the fields before the cut.
  bool Fields(std::span<const FieldSpec> fields, int code, std::uint32_t* values = nullptr);
  // Writes the fields of a record already in memory that was read at offset.
  void WriteFields(std::span<const FieldSpec> fields, const std::uint8_t* bytes, std::uint64_t offset,
                   std::uint32_t* values = nullptr);
  // A text field of size bytes: the first 255 become its value, the rest is passed over.
  bool TextField(std::string_view name, std::uint64_t size, int code);
  // A range item over the next size bytes, which are passed over.
  bool RangeItem(std::string_view name, int level, std::uint64_t size);

  void WriteNumber(std::string_view name, std::uint64_t offset, std::size_t width, std::uint32_t value,
                   hpi::ValueKind kind = hpi::ValueKind::Unsigned);

 private:
  hpi::BinaryFile& file_;
  std::uint64_t size_;
  bool bigEndian_;
  bool bigEndianIds_;
  std::uint64_t position_ = 0;
};

// How many of the fields lie wholly within the first bytes of their record.
std::size_t FieldsWithin(std::span<const FieldSpec> fields, std::uint64_t bytes);

// The derived values of sound data as a note: frame count, bytes per frame (when
// known, else 0) and duration at rate frames per second (none when rate is 0).
void WriteFramesNote(hpi::Writer& out, std::uint64_t frames, std::uint32_t frameBytes, double rate);

// Stream offsets and sizes are 32 bits wide; larger values are shown cut to 0xFFFFFFFF.
std::uint32_t Clip32(std::uint64_t value);

}  // namespace sorvane
