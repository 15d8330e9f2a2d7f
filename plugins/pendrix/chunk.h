// One chunk as its handler sees it: a cursor over the chunk's data that reads
// each field from the file and writes it as an item, never past the data's end.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

#include "hpi/crc32.h"
#include "hpi/plugin.h"

namespace pendrix {

inline constexpr const char* kUnknownValue = "Unkown value";

struct Meaning {
  std::uint32_t value;
  const char* text;
};

// What the values of a field mean; any value without a row gets otherwise
// (no comment when it is null).
struct Meanings {
  std::span<const Meaning> rows;
  const char* otherwise = kUnknownValue;

  const char* Of(std::uint32_t value) const;
};

enum class Width : std::uint8_t {
  U8,
  U16,
  U32,
  S8,
  S32,
  PaddedU8,  // two bytes of which the second is the value (old MAGN layouts)
};

struct FieldLayout {
  const char* name;
  Width width;
  const Meanings* meanings = nullptr;
};

// What the walk remembers from one chunk for the next ones.
struct WalkState {
  std::uint8_t colourType = 3;  // of the last IHDR or JHDR; palette until one is met
  std::uint32_t paletteEntries = 0;
  bool mng = false;
  bool inImage = false;           // between an image's header chunk and its IEND
  bool imageDataStarted = false;  // an IDAT of the current image was met
  // APNG: acTL's frame count, the fcTL chunks met and the next sequence number.
  bool animated = false;
  std::uint32_t numFrames = 0;
  std::uint32_t frameControls = 0;
  std::uint32_t nextSequence = 0;
};

// Bytes up to a zero byte or the end of the chunk; the first 255 are kept.
struct CString {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;  // without the terminator
  bool terminated = false;
  char head[hpi::kMaxPayload];
};

// A field name with indices, such as "Red[3]" or "Group 0 sample[2]".
struct Indexed {
  char text[48];
  Indexed(const char* format, std::uint32_t i);
  Indexed(const char* format, std::uint32_t i, std::uint32_t j);
  operator std::string_view() const { return text; }
};

class Chunk {
 public:
  Chunk(hpi::Analysis& analysis, WalkState& state, std::uint32_t type, std::uint32_t length, std::uint64_t dataStart,
        int code);

  std::uint32_t Type() const { return type_; }
  std::uint32_t Length() const { return length_; }
  std::uint32_t Left() const { return static_cast<std::uint32_t>(end_ - position_); }
  std::uint32_t Position() const { return static_cast<std::uint32_t>(position_); }
  // The data or the CRC reaches past the end of the file.
  bool RunsPastFile() const { return end_ + 4 > analysis_.fileSize; }
  // The end of the data as far as the file holds it: the window of an embedded walk.
  std::int64_t WindowEnd() const { return static_cast<std::int64_t>(std::min(end_, analysis_.fileSize)); }
  WalkState& State() { return state_; }
  hpi::Writer& Out() { return out_; }
  // The file, for an embedded structure walked by another engine; the walk must
  // leave it at Position() again.
  hpi::BinaryFile& File() { return analysis_.file; }
  // After an embedded walk failed: its fault as an item here, and the error cleared.
  bool WriteRecordedFault() { return hpi::WriteRecordedFault(analysis_); }

  // Records the chunk's code and returns false.
  bool Fail() { return Fail(code_); }
  bool Fail(int code);
  // A remark shown beneath the chunk item (a chunk out of its place).
  void SetNote(const char* note) { note_ = note; }
  // Fails unless lengthOk; then writes the chunk item, named after shownAs, and "Chunk data size".
  bool Accept(bool lengthOk, std::uint32_t shownAs = 0);

  // Every data byte passes through Read or Skip, which add it to the CRC.
  bool Read(void* destination, std::uint32_t n);
  bool Skip(std::uint32_t n);
  // Reads a field, writes it with its meaning and, when value is set, returns it.
  bool Field(std::string_view name, Width width, std::uint32_t* value = nullptr, const Meanings* meanings = nullptr);
  bool Field(const FieldLayout& field, std::uint32_t* value = nullptr) {
    return Field(field.name, field.width, value, field.meanings);
  }
  bool Fields(std::span<const FieldLayout> fields);
  // Each field is read while the data still holds it; bytes left over fail.
  bool FieldsWhileBytesRemain(std::span<const FieldLayout> fields);
  bool LongField(std::string_view name);
  bool Range(std::string_view name, std::uint32_t size);
  // A field with a Text value of the first 255 of size bytes; the rest is passed over.
  bool Text(std::string_view name, std::uint32_t size);
  bool TextField(std::string_view name, const CString& text);
  // Reads up to a zero byte (consumed) or the chunk's end; fails when longer than maxLength.
  bool ReadCString(CString& text, std::uint32_t maxLength);
  // The PNG keyword rule: 1 to 79 bytes and a zero byte, shown as a Text field.
  bool Keyword(std::string_view name, std::uint32_t* length = nullptr);
  // Passes over what the handler left unread and writes the stored CRC, with a
  // note when it differs from the CRC of the type and data.
  bool Finish();

 private:
  hpi::Analysis& analysis_;
  hpi::Writer& out_;
  WalkState& state_;
  std::uint32_t type_;
  std::uint32_t length_;
  std::uint64_t start_;
  std::uint64_t position_;
  std::uint64_t end_;
  int code_;
  const char* note_ = nullptr;
  hpi::Crc32 crc_;
};

std::uint32_t WidthBytes(Width width);

}  // namespace pendrix
