#include "items.h"

#include <algorithm>

#include "hpi/bytes.h"
#include "hpi/messages.h"
#include "kavlore.h"

namespace kavlore {

ShortText Indexed(std::string_view name, std::uint64_t index) {
  ShortText text(name);
  text.Append('[').Number(index).Append(']');
  return text;
}

void WriteRange(hpi::Writer& out, std::string_view name, int level, std::uint64_t offset, std::uint64_t size) {
  out.WriteItem(name, level, offset, size);
}

void WriteLeadingData(hpi::Writer& out, std::uint64_t size) {
  if (size != 0) WriteRange(out, "Leading data", kBaseLevel, 0, size);
}

bool WriteData(Reader& in, hpi::Writer& out, std::string_view name, int level, std::uint64_t size, int code) {
  std::uint64_t start = in.Position();
  if (in.Holds(size)) {
    WriteRange(out, name, level, start, size);
    return in.Skip(size);
  }
  WriteRange(out, name, level, start, in.Remaining());
  out.Note("the data runs past the end of the file: %llu of %llu bytes present",
           static_cast<unsigned long long>(in.Remaining()), static_cast<unsigned long long>(size));
  return FailAt(code, start);
}

const std::uint8_t* FieldCursor::Field(std::string_view name, std::uint32_t width, hpi::ValueKind kind) {
  const std::uint8_t* value = bytes_ + at_;
  if (!cut_ && at_ + width > available_) {
    cut_ = true;
    missing_ = at_;
  }
  if (!cut_) out_.WriteItem(name, F, offset_ + at_, width, value, kind);
  at_ += width;
  return value;
}

void FieldCursor::Comment(std::string_view text) {
  if (!cut_) out_.WriteComment(text);
}

void FieldCursor::Note(std::string_view text) {
  if (!cut_) out_.WriteNote(text);
}

bool FieldCursor::Complete(int code) const { return !cut_ || FailAt(code, offset_ + missing_); }

int ReadRecord(Reader& in, std::uint8_t* bytes, std::size_t size) {
  int got = in.ReadSome(bytes, size);
  if (got >= 0) std::fill(bytes + got, bytes + size, 0);
  return got;
}

std::uint8_t FieldCursor::U8(std::string_view name) { return *Field(name, 1, hpi::ValueKind::Unsigned); }
std::uint16_t FieldCursor::U16(std::string_view name) { return hpi::LE16(Field(name, 2, hpi::ValueKind::Unsigned)); }
std::uint32_t FieldCursor::U32(std::string_view name) { return hpi::LE32(Field(name, 4, hpi::ValueKind::Unsigned)); }
std::uint64_t FieldCursor::Long(std::string_view name) { return hpi::LE64(Field(name, 8, hpi::ValueKind::Long)); }
void FieldCursor::Text(std::string_view name, std::uint32_t width) { Field(name, width, hpi::ValueKind::Text); }

bool WriteTextField(Reader& in, hpi::Writer& out, std::string_view name, std::uint64_t length, int shortCode) {
  if (length == 0) return true;
  std::uint64_t start = in.Position();
  if (!in.Holds(length)) return FailAt(shortCode, start);
  char text[hpi::kMaxPayload];
  std::size_t shown = static_cast<std::size_t>(std::min<std::uint64_t>(length, sizeof text));
  if (!in.Read(text, shown, shortCode)) return false;
  out.WriteItem(name, F, start, length, nullptr);
  out.WriteValue(static_cast<std::uint32_t>(shown), text, hpi::ValueKind::Text);
  return in.SeekTo(start + length);
}

bool WriteZeroTerminatedField(Reader& in, hpi::Writer& out, std::string_view name) {
  std::uint64_t start = in.Position();
  char text[hpi::kMaxPayload];
  std::uint64_t length = 0;
  for (;;) {
    std::uint8_t c = 0;
    int got = in.ReadSome(&c, 1);
    if (got < 0) return false;
    if (got == 0 || c == 0) break;
    if (length < sizeof text) text[length] = static_cast<char>(c);
    ++length;
  }
  if (length == 0) return true;
  out.WriteItem(name, F, start, length, nullptr);
  out.WriteValue(static_cast<std::uint32_t>(std::min<std::uint64_t>(length, sizeof text)), text, hpi::ValueKind::Text);
  return true;
}

}  // namespace kavlore
