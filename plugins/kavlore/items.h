// Item writing shared by the walkers: fields laid out one after another in a
// record read whole, range items, and text fields.
#pragma once

#include <cstdint>
#include <string_view>

#include "hpi/writer.h"
#include "reader.h"
#include "short_text.h"

namespace kavlore {

// "name[index]" texts such as "local file header[1]".
ShortText Indexed(std::string_view name, std::uint64_t index);

// A range item; the stream holds 32-bit offsets and sizes, so larger values are
// cut to their low 32 bits (offset) or to the largest size.
void WriteRange(hpi::Writer& out, std::string_view name, int level, std::uint64_t offset, std::uint64_t size);

// The range item "Leading data" over the bytes in front of an archive; nothing when there are none.
void WriteLeadingData(hpi::Writer& out, std::uint64_t size);

// Reads a fixed-size record as far as the file holds it, the rest zero-filled:
// the count of bytes read, or -1 after a read error (code 3 recorded).
int ReadRecord(Reader& in, std::uint8_t* bytes, std::size_t size);

// The range item of an entry's data of `size` bytes from the reader's position,
// which moves past it. Data that runs past the end of the file is shown up to
// the end with a note, and code is recorded at the data's first byte.
bool WriteData(Reader& in, hpi::Writer& out, std::string_view name, int level, std::uint64_t size, int code);

// Writes the fields of a record held in memory, in order, as fields at level 14
// whose values are the record's own little-endian bytes. A record cut short by
// the end of the file holds `available` bytes: the fields that lie wholly in
// them are written, the later ones are not (their values read as the zeros
// after the bytes), and neither are the remarks on them.
class FieldCursor {
 public:
  FieldCursor(hpi::Writer& out, const std::uint8_t* bytes, std::uint64_t offset, std::size_t available = SIZE_MAX)
      : out_(out), bytes_(bytes), offset_(offset), available_(available) {}

  std::uint8_t U8(std::string_view name);
  std::uint16_t U16(std::string_view name);
  std::uint32_t U32(std::string_view name);
  std::uint64_t Long(std::string_view name);
  // A character field of a fixed width with a Text value.
  void Text(std::string_view name, std::uint32_t width);
  std::uint64_t Offset() const { return offset_ + at_; }

  // True while every field so far was written; remarks on a field go through these.
  bool Wrote() const { return !cut_; }
  void Comment(std::string_view text);
  void Note(std::string_view text);
  // True when the whole record was there; otherwise records code at its first missing field.
  bool Complete(int code) const;

 private:
  const std::uint8_t* Field(std::string_view name, std::uint32_t width, hpi::ValueKind kind);

  hpi::Writer& out_;
  const std::uint8_t* bytes_;
  std::uint64_t offset_;
  std::size_t available_;
  std::uint32_t at_ = 0;
  std::uint32_t missing_ = 0;  // where the first field that did not fit begins
  bool cut_ = false;
};

// A text field of a given length: nothing for length 0; otherwise a field of the
// full length whose value is its first 255 bytes, and the reader moves past it.
// A field running past the end of the file records shortCode.
bool WriteTextField(Reader& in, hpi::Writer& out, std::string_view name, std::uint64_t length, int shortCode);

// A zero-terminated text field: the bytes up to a zero byte or the end of the
// file; nothing when none precedes the zero. The zero is consumed.
bool WriteZeroTerminatedField(Reader& in, hpi::Writer& out, std::string_view name);

}  // namespace kavlore
