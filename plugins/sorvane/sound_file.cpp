#include "sound_file.h"

#include <algorithm>
#include <cstdio>

#include "hpi/bytes.h"
#include "sorvane.h"

namespace sorvane {

std::uint32_t Clip32(std::uint64_t value) {
  return value > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(value);
}

std::size_t FieldsWithin(std::span<const FieldSpec> fields, std::uint64_t bytes) {
  std::size_t n = 0;
  for (std::uint64_t end = 0; n < fields.size(); ++n) {
    end += fields[n].width;
    if (end > bytes) break;
  }
  return n;
}

void WriteFramesNote(hpi::Writer& out, std::uint64_t frames, std::uint32_t frameBytes, double rate) {
  char text[96];
  int n = std::snprintf(text, sizeof text, "%llu sample frames", static_cast<unsigned long long>(frames));
  if (frameBytes != 0 && n > 0) n += std::snprintf(text + n, sizeof text - n, " of %u bytes", frameBytes);
  if (rate > 0 && n > 0) std::snprintf(text + n, sizeof text - n, ", %.6f seconds", static_cast<double>(frames) / rate);
  out.WriteNote(text);
}

SoundFile::SoundFile(hpi::Analysis& analysis, bool bigEndian)
    : out(analysis.out),
      file_(analysis.file),
      size_(analysis.fileSize),
      bigEndian_(bigEndian),
      bigEndianIds_(bigEndian) {}

bool SoundFile::Bytes(void* destination, std::size_t n, int code) {
  int got = hpi::ReadBlock(file_, destination, n);
  if (got < 0) return Fail(hpi::kStreamError);
  position_ += static_cast<std::uint64_t>(got);
  return static_cast<std::size_t>(got) == n || Fail(code);
}

std::uint32_t SoundFile::Number(const std::uint8_t* b, std::size_t width) const {
  switch (width) {
    case 1: return b[0];
    case 2: return bigEndian_ ? hpi::BE16(b) : hpi::LE16(b);
    default: return bigEndian_ ? hpi::BE32(b) : hpi::LE32(b);
  }
}

std::uint32_t SoundFile::IdNumber(const std::uint8_t id[4]) const {
  return bigEndianIds_ ? hpi::BE32(id) : hpi::LE32(id);
}

bool SoundFile::U32(std::uint32_t& value, int code) {
  std::uint8_t b[4];
  if (!Bytes(b, sizeof b, code)) return false;
  value = Number(b, 4);
  return true;
}

int SoundFile::Identifier(std::uint8_t id[4]) {
  int got = hpi::ReadBlock(file_, id, 4);
  if (got < 0) {
    Fail(hpi::kStreamError);
    return -1;
  }
  position_ += static_cast<std::uint64_t>(got);
  return got;
}

// Every read goes through this object, so the kept position is the file's and a
// seek to it (which would drop the stdio buffer) can be left out.
bool SoundFile::SeekTo(std::uint64_t position) {
  if (position == position_) return true;
  if (position > INT64_MAX || !file_.Seek(static_cast<std::int64_t>(position))) return Fail(hpi::kFileReadError);
  position_ = position;
  return true;
}

void SoundFile::WriteNumber(std::string_view name, std::uint64_t offset, std::size_t width, std::uint32_t value,
                            hpi::ValueKind kind) {
  std::uint8_t bytes[4];
  for (std::size_t i = 0; i < width; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  out.WriteItem(name, F, Clip32(offset), static_cast<std::uint32_t>(width), bytes, kind);
}

bool SoundFile::Field(std::string_view name, std::size_t width, int code, std::uint32_t& value, hpi::ValueKind kind) {
  std::uint64_t at = position_;
  std::uint8_t b[4];
  if (!Bytes(b, width, code)) return false;
  value = Number(b, width);
  WriteNumber(name, at, width, value, kind);
  return true;
}

void SoundFile::WriteFields(std::span<const FieldSpec> fields, const std::uint8_t* bytes, std::uint64_t offset,
                            std::uint32_t* values) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldSpec& field = fields[i];
    std::uint32_t value = Number(bytes + at, field.width);
    WriteNumber(field.name, offset + at, field.width, value, field.kind);
    if (field.remark != nullptr) field.remark(out, value, bytes + at);
    if (values != nullptr) values[i] = value;
    at += field.width;
  }
}

bool SoundFile::Fields(std::span<const FieldSpec> fields, int code, std::uint32_t* values) {
  std::uint8_t bytes[kMaxRecord];
  std::size_t total = 0;
  for (const FieldSpec& field : fields) total += field.width;
  std::uint64_t at = position_;
  bool whole = Bytes(bytes, std::min(total, sizeof bytes), code);
  WriteFields(fields.first(FieldsWithin(fields, position_ - at)), bytes, at, values);
  return whole;
}

bool SoundFile::TextField(std::string_view name, std::uint64_t size, int code) {
  char text[kMaxText];
  std::uint64_t at = position_;
  std::size_t shown = static_cast<std::size_t>(std::min<std::uint64_t>(size, kMaxText));
  if (!Bytes(text, shown, code)) return false;
  out.WriteItem(name, F, Clip32(at), Clip32(size), text, hpi::ValueKind::Text);
  return shown == size || SeekTo(at + size);
}

bool SoundFile::RangeItem(std::string_view name, int level, std::uint64_t size) {
  std::uint64_t at = position_;
  out.WriteItem(name, level, Clip32(at), Clip32(size));
  return SeekTo(at + size);
}

}  // namespace sorvane
