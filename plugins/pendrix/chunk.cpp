#include "chunk.h"

#include <algorithm>
#include <cstdio>

#include "hpi/bytes.h"
#include "pendrix.h"

namespace pendrix {
namespace {

constexpr int F = hpi::kFieldLevel;

}  // namespace

const char* Meanings::Of(std::uint32_t value) const {
  for (const Meaning& row : rows) {
    if (row.value == value) return row.text;
  }
  return otherwise;
}

Indexed::Indexed(const char* format, std::uint32_t i) { std::snprintf(text, sizeof text, format, i); }
Indexed::Indexed(const char* format, std::uint32_t i, std::uint32_t j) {
  std::snprintf(text, sizeof text, format, i, j);
}

std::uint32_t WidthBytes(Width width) {
  switch (width) {
    case Width::U8:
    case Width::S8: return 1;
    case Width::U16:
    case Width::PaddedU8: return 2;
    default: return 4;
  }
}

Chunk::Chunk(hpi::Analysis& analysis, WalkState& state, std::uint32_t type, std::uint32_t length,
             std::uint64_t dataStart, int code)
    : analysis_(analysis),
      out_(analysis.out),
      state_(state),
      type_(type),
      length_(length),
      start_(dataStart),
      position_(dataStart),
      end_(dataStart + length),
      code_(code) {
  std::uint8_t typeBytes[4] = {static_cast<std::uint8_t>(type >> 24), static_cast<std::uint8_t>(type >> 16),
                               static_cast<std::uint8_t>(type >> 8), static_cast<std::uint8_t>(type)};
  crc_.Update(typeBytes, sizeof typeBytes);
}

bool Chunk::Fail(int code) { return hpi::Fail(code); }

bool Chunk::Accept(bool lengthOk, std::uint32_t shownAs) {
  if (!lengthOk) return Fail();
  char name[16];
  std::snprintf(name, sizeof name, "%s Chunk", TypeText(shownAs != 0 ? shownAs : type_).chars);
  out_.WriteU32Item(name, kChunkLevel, static_cast<std::uint32_t>(start_ - 4), type_);
  if (note_ != nullptr) out_.WriteNote(note_);
  out_.WriteU32Item("Chunk data size", F, static_cast<std::uint32_t>(start_ - 8), length_);
  return out_.Ok();
}

bool Chunk::Read(void* destination, std::uint32_t n) {
  if (n > end_ - position_) return Fail();
  int got = hpi::ReadBlock(analysis_.file, destination, n);
  if (got < 0) return Fail(hpi::kStreamError);
  if (static_cast<std::uint32_t>(got) != n) return Fail();
  crc_.Update(destination, n);
  position_ += n;
  return true;
}

// Skipped bytes are read all the same: the CRC covers them.
bool Chunk::Skip(std::uint32_t n) {
  if (n > end_ - position_) return Fail();
  std::uint8_t buffer[16384];
  while (n > 0) {
    std::uint32_t piece = std::min<std::uint32_t>(n, sizeof buffer);
    if (!Read(buffer, piece)) return false;
    n -= piece;
  }
  return true;
}

bool Chunk::Field(std::string_view name, Width width, std::uint32_t* value, const Meanings* meanings) {
  std::uint8_t bytes[4];
  std::uint32_t n = WidthBytes(width);
  if (!Read(bytes, n)) return false;
  std::uint32_t at = Position() - n;
  std::uint32_t v = 0;
  switch (width) {
    case Width::U8: out_.WriteU8Item(name, F, at, v = bytes[0]); break;
    case Width::PaddedU8: out_.WriteU8Item(name, F, at + 1, v = bytes[1]); break;
    case Width::U16: out_.WriteU16Item(name, F, at, v = hpi::BE16(bytes)); break;
    case Width::U32: out_.WriteU32Item(name, F, at, v = hpi::BE32(bytes)); break;
    case Width::S8: out_.WriteS8Item(name, F, at, static_cast<std::int8_t>(v = bytes[0])); break;
    case Width::S32: out_.WriteS32Item(name, F, at, static_cast<std::int32_t>(v = hpi::BE32(bytes))); break;
  }
  if (meanings != nullptr) {
    if (const char* text = meanings->Of(v)) out_.WriteComment(text);
  }
  if (value != nullptr) *value = v;
  return out_.Ok();
}

bool Chunk::Fields(std::span<const FieldLayout> fields) {
  for (const FieldLayout& field : fields) {
    if (!Field(field)) return false;
  }
  return true;
}

bool Chunk::FieldsWhileBytesRemain(std::span<const FieldLayout> fields) {
  for (const FieldLayout& field : fields) {
    if (Left() < WidthBytes(field.width)) break;
    if (!Field(field)) return false;
  }
  return Left() == 0 || Fail();
}

bool Chunk::LongField(std::string_view name) {
  std::uint8_t bytes[8];
  if (!Read(bytes, sizeof bytes)) return false;
  out_.WriteLongItem(name, F, Position() - 8, hpi::BE64(bytes));
  return out_.Ok();
}

bool Chunk::Range(std::string_view name, std::uint32_t size) {
  std::uint32_t at = Position();
  if (!Skip(size)) return false;
  out_.WriteItem(name, F, at, size);
  return out_.Ok();
}

bool Chunk::Text(std::string_view name, std::uint32_t size) {
  char head[hpi::kMaxPayload];
  std::uint32_t at = Position();
  std::uint32_t kept = std::min<std::uint32_t>(size, sizeof head);
  if (!Read(head, kept) || !Skip(size - kept)) return false;
  out_.WriteItem(name, F, at, size, head, hpi::ValueKind::Text);
  return out_.Ok();
}

bool Chunk::TextField(std::string_view name, const CString& text) {
  out_.WriteItem(name, F, text.offset, text.length, text.head, hpi::ValueKind::Text);
  return out_.Ok();
}

bool Chunk::ReadCString(CString& text, std::uint32_t maxLength) {
  text.offset = Position();
  text.length = 0;
  text.terminated = false;
  while (Left() > 0) {
    std::uint8_t byte;
    if (!Read(&byte, 1)) return false;
    if (byte == 0) {
      text.terminated = true;
      return true;
    }
    if (text.length == maxLength) return Fail();
    if (text.length < sizeof text.head) text.head[text.length] = static_cast<char>(byte);
    ++text.length;
  }
  return true;
}

bool Chunk::Keyword(std::string_view name, std::uint32_t* length) {
  CString keyword;
  if (!ReadCString(keyword, kMaxKeyword) || !keyword.terminated || keyword.length == 0) return Fail();
  if (length != nullptr) *length = keyword.length;
  return TextField(name, keyword);
}

bool Chunk::Finish() {
  if (!Skip(Left())) return false;
  std::uint8_t crc[4];
  int got = hpi::ReadBlock(analysis_.file, crc, sizeof crc);
  if (got < 0) return Fail(hpi::kStreamError);
  if (got != sizeof crc) return Fail();
  out_.WriteU32Item("CRC", F, static_cast<std::uint32_t>(end_), hpi::BE32(crc));
  if (crc_.Value() != hpi::BE32(crc)) out_.Note("CRC mismatch: computed 0x%08x", crc_.Value());
  return out_.Ok();
}

}  // namespace pendrix
