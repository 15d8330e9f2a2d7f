// The writer operations that append analysed-data records to an SFStream.
//
// Every operation returns a positive count on success and -1 when the stream
// refused a write (the stream has recorded its error). After the first refusal
// the writer writes nothing more, so a stream never holds half a record and a
// walker may check Ok() once after a run of writes.
#pragma once

#include <array>
#include <cstdarg>
#include <cstdint>
#include <string_view>

#include "hpi/hpi.h"
#include "hpi/sf_stream.h"

namespace hpi {

enum class ValueKind : int { Unsigned = 0, Text = 1, Hex = 2, Signed = 3, Real = 4, Long = 5 };

class Writer {
 public:
  explicit Writer(SFStream& stream) : stream_(stream) {}

  bool Ok() const { return ok_; }

  int WriteRootName(std::string_view text);
  int WriteName(std::string_view text, int level);
  // Offsets and sizes take 4 bytes, or 8 when the value needs more than 32 bits.
  int WriteOffset(std::uint64_t offset);
  int WriteSize(std::uint64_t size);
  // Writes nothing and returns 0 when value is null; the length is cut to 255.
  int WriteValue(std::uint32_t length, const void* value, ValueKind kind);
  // Name, offset and size records, then the value when it is not null; the size is
  // both the size record and the value's length.
  int WriteItem(std::string_view name, int level, std::uint64_t offset, std::uint64_t size, const void* value = nullptr,
                ValueKind kind = ValueKind::Unsigned);
  int WriteU8Item(std::string_view name, int level, std::uint64_t offset, std::uint32_t value);
  int WriteU16Item(std::string_view name, int level, std::uint64_t offset, std::uint32_t value);
  int WriteU32Item(std::string_view name, int level, std::uint64_t offset, std::uint32_t value);
  int WriteS8Item(std::string_view name, int level, std::uint64_t offset, std::int32_t value);
  int WriteS16Item(std::string_view name, int level, std::uint64_t offset, std::int32_t value);
  int WriteS32Item(std::string_view name, int level, std::uint64_t offset, std::int32_t value);
  int WriteLongItem(std::string_view name, int level, std::uint64_t offset, std::uint64_t value);
  // Remark on the record before; texts of 256 characters or more are cut to 255.
  int WriteComment(std::string_view text);
  // A line beneath the record before; cut like a comment.
  int WriteNote(std::string_view text);
  int WriteGroupEnd(int level);
  // A fault item (see hpi.h): the message, where it happened, the bytes from there
  // on. Open groups whose range does not hold the offset are ended first, so the
  // item stands in the structure where the fault is.
  int WriteFault(std::string_view message, std::uint64_t offset, std::uint64_t size);

  // The bytes of the records written whole: a stream that refused part of a
  // record is handed over up to here.
  std::uint32_t CompleteBytes() const { return complete_; }

  // Convenience forms used by walkers: a comment or note built with printf.
  int Comment(const char* format, ...) HPI_PRINTF(2, 3);
  int Note(const char* format, ...) HPI_PRINTF(2, 3);

 private:
  // Appends whole records; the count of bytes, or -1.
  int Put(const std::uint8_t* bytes, std::size_t length);
  int TextRecord(RecordClass cls, int level, std::string_view text);
  int NumberRecord(RecordClass cls, std::uint64_t value);
  int Formatted(RecordClass cls, const char* format, va_list args);
  int IntegerItem(std::string_view name, int level, std::uint64_t offset, std::uint32_t width, std::uint64_t value,
                  ValueKind kind);

  // The groups open at levels 1 to 13, with the ranges their records gave.
  struct OpenGroup {
    bool open = false;
    std::uint64_t begin = 0;
    std::uint64_t end = ~std::uint64_t{0};
  };
  void Opened(int level);
  void Ranged(RecordClass cls, std::uint64_t value);

  SFStream& stream_;
  bool ok_ = true;
  std::uint32_t complete_ = 0;
  std::array<OpenGroup, kFieldLevel> groups_{};
  int lastGroup_ = -1;  // the group that the next offset or size record describes
};

}  // namespace hpi
