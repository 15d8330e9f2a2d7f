// The marker segment handlers of the JPEG walk and the helpers they share. The
// walk writes the segment item and its "Length"; each handler then writes the
// segment's fields at the field level. Codes belong to the JPEG message table.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "jpeg_walker.h"
#include "messages.h"

namespace tiffjpeg {

inline constexpr int kField = hpi::kFieldLevel;

// Stream offsets and sizes are 32-bit.
inline std::uint32_t Off(std::int64_t position) { return static_cast<std::uint32_t>(position); }

// Reads a segment's data bytes front to back. A read past the bytes present
// records code 6 where they run out; from then on reads give 0, Ok() is false
// and the field writers below write nothing, so a handler writes every field
// that is present and checks Ok() before it judges a value.
class SegmentCursor {
 public:
  explicit SegmentCursor(const Segment& segment, std::size_t at = 0) : segment_(segment), at_(at) {}

  bool Ok() const { return ok_; }
  bool Has(std::size_t n) const { return ok_ && at_ + n <= segment_.bytes.size(); }
  bool Need(std::size_t n) {
    if (Has(n)) return true;
    if (ok_) JpegFailAt(hpi::kWrongFormat, std::min(Position(), segment_.data + Present()));
    ok_ = false;
    return false;
  }
  std::uint8_t U8() { return Need(1) ? segment_.bytes[at_++] : 0; }
  std::uint16_t U16() {
    if (!Need(2)) return 0;
    std::uint16_t v = static_cast<std::uint16_t>(segment_.bytes[at_] << 8 | segment_.bytes[at_ + 1]);
    at_ += 2;
    return v;
  }
  const std::uint8_t* Here() const { return segment_.bytes.data() + at_; }
  void Skip(std::size_t n) { at_ += n; }
  std::int64_t Position() const { return segment_.data + static_cast<std::int64_t>(at_); }
  // Declared bytes left in the segment (present in the window or not).
  std::uint32_t Left() const { return segment_.dataSize - static_cast<std::uint32_t>(at_); }

 private:
  std::int64_t Present() const { return static_cast<std::int64_t>(segment_.bytes.size()); }

  const Segment& segment_;
  std::size_t at_;
  bool ok_ = true;
};

// A 1- or 2-byte field read at the cursor, its value returned.
std::uint8_t U8Field(hpi::Writer& out, SegmentCursor& r, std::string_view name);
std::uint16_t U16Field(hpi::Writer& out, SegmentCursor& r, std::string_view name);
// "AP(Application data)" over the bytes from position to the segment's end.
void WriteApplicationData(JpegContext& c, const Segment& s, std::int64_t position);
// Whether the segment's data starts with an identifier.
bool StartsWith(const Segment& s, const std::uint8_t* id, std::size_t n);
// A field of n characters shown as a Text value; nothing when they are not all present.
void TextField(hpi::Writer& out, SegmentCursor& r, std::string_view name, std::size_t n);
// "for Y", "for Cb", ...
const char* ComponentComment(std::uint8_t id);

bool WriteSof0(JpegContext& c, const Segment& s);
bool WriteDht(JpegContext& c, const Segment& s);
bool WriteDqt(JpegContext& c, const Segment& s);
bool WriteSos(JpegContext& c, const Segment& s);
bool WriteDri(JpegContext& c, const Segment& s);
bool WriteCom(JpegContext& c, const Segment& s);
bool WriteApp0(JpegContext& c, const Segment& s);
bool WriteApp1(JpegContext& c, const Segment& s);
bool WriteApp2(JpegContext& c, const Segment& s);
bool WriteApp13(JpegContext& c, const Segment& s);
bool WriteApp14(JpegContext& c, const Segment& s);
// APPn without a handler of its own: "AP(Application data)".
bool WriteOtherApp(JpegContext& c, const Segment& s);
// A marker without a handler: "Data".
bool WriteGeneral(JpegContext& c, const Segment& s);

// The name of a marker's item.
std::string_view MarkerName(std::uint8_t marker, char (&buffer)[64]);

}  // namespace tiffjpeg
