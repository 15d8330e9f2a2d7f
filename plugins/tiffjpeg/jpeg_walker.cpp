#include "jpeg_walker.h"

#include <algorithm>

#include "byte_source.h"
#include "jpeg_segments.h"

namespace tiffjpeg {
namespace {

constexpr std::uint8_t kSoi = 0xD8;
constexpr std::uint8_t kEoi = 0xD9;
constexpr std::uint8_t kSos = 0xDA;
constexpr std::uint8_t kTem = 0x01;
constexpr std::uint8_t kRst0 = 0xD0;
constexpr std::uint8_t kRst7 = 0xD7;

using Handler = bool (*)(JpegContext&, const Segment&);
struct HandlerRow {
  std::uint8_t marker;
  Handler handler;
};
constexpr HandlerRow kHandlers[] = {
    {0xC0, WriteSof0}, {0xC4, WriteDht},  {kSos, WriteSos},   {0xDB, WriteDqt},   {0xDD, WriteDri}, {0xE0, WriteApp0},
    {0xE1, WriteApp1}, {0xE2, WriteApp2}, {0xED, WriteApp13}, {0xEE, WriteApp14}, {0xFE, WriteCom},
};

Handler HandlerOf(std::uint8_t marker) {
  for (const HandlerRow& row : kHandlers) {
    if (row.marker == marker) return row.handler;
  }
  return marker >= 0xE3 && marker <= 0xEF ? WriteOtherApp : WriteGeneral;
}

bool IsRestart(std::uint8_t marker) { return marker >= kRst0 && marker <= kRst7; }

// TEM and RST0-RST7 stand alone: no length word follows them.
bool IsStandalone(std::uint8_t marker) { return marker == kTem || IsRestart(marker); }

class MarkerWalk {
 public:
  MarkerWalk(JpegContext& c, JpegByteSource& source, std::int64_t start) : c_(c), source_(source), start_(start) {}

  bool Run() {
    std::uint8_t soi[2];
    int got = source_.Read(soi, 2);
    if (got == JpegByteSource::kError) return JpegFailAt(hpi::kStreamError, start_);
    if (got != 2 || soi[0] != 0xFF || soi[1] != kSoi) return JpegFailAt(kNotJpeg, start_);
    c_.out.WriteU16Item("SOI(Start of Image)", c_.level, Off(start_), 0xFFD8);
    for (;;) {
      if (!c_.out.Ok()) return false;
      std::uint8_t marker = 0;
      std::int64_t at = 0;
      int found = FindNextMarker(marker, at);
      if (found < 0) return false;
      if (found == 0) return EndedEarly(at);
      if (scanning_) WriteScanData(at);
      if (marker == kEoi) {
        c_.out.WriteU16Item("EOI(End of image)", c_.level, Off(at), 0xFFD9);
        WriteBytesAfterEoi();
        return c_.out.Ok();
      }
      if (marker == kSoi) return JpegFailAt(hpi::kWrongFormat, at);
      char buffer[64];
      std::string_view name = MarkerName(marker, buffer);
      if (IsStandalone(marker)) {
        c_.out.WriteU16Item(name, c_.level, Off(at), 0xFF00u | marker);
        continue;
      }
      if (!WalkSegment(marker, at, name)) return false;
    }
  }

 private:
  // 1 with the marker and the position of its 0xFF; 0 at the end of the window,
  // with the position of a marker cut by it or of the end; -1 on a read error.
  // Fill bytes (0xFF repeated before a marker) are passed over; so are stuffed
  // zeros and, inside scan data, restart markers. Outside scan data, bytes
  // before the marker's 0xFF run belong to no segment and get a range.
  int FindNextMarker(std::uint8_t& marker, std::int64_t& at) {
    std::int64_t from = source_.Tell();
    for (;;) {
      at = source_.End();
      int state = source_.SkipPastFF();
      std::int64_t run = state == 1 ? source_.Tell() - 1 : source_.End();
      std::uint8_t code = 0xFF;
      while (state == 1 && code == 0xFF) {
        at = source_.Tell() - 1;
        state = source_.ReadByte(code);
      }
      if (state == JpegByteSource::kError) {
        JpegFailAt(hpi::kStreamError, source_.Tell());
        return -1;
      }
      if (state != JpegByteSource::kEnd && code == 0x00) continue;
      if (scanning_ && IsRestart(code)) {
        ++restarts_;
        continue;
      }
      if (!scanning_ && run > from) {
        c_.out.WriteItem("Bytes between segments", c_.level, Off(from), Off(run - from));
      }
      if (state == JpegByteSource::kEnd) return 0;
      marker = code;
      return 1;
    }
  }

  // The segment item and its length word are written as they are read; the
  // handler then writes the fields among the data bytes present. A segment
  // whose length runs past the end of the stream's window fails at its length.
  bool WalkSegment(std::uint8_t marker, std::int64_t at, std::string_view name) {
    Handler handler = HandlerOf(marker);
    // A marker without a handler of its own shows its code byte alone.
    c_.out.WriteU16Item(name, c_.level, Off(at), handler == WriteGeneral ? marker : 0xFF00u | marker);
    Segment s{marker, at, 0, at + 4, 0, {}};
    std::uint8_t word[2];
    int got = source_.Read(word, 2);
    if (got == JpegByteSource::kError) return JpegFailAt(hpi::kStreamError, at + 2);
    if (got != 2) return JpegFailAt(hpi::kWrongFormat, at + 2);
    s.length = static_cast<std::uint16_t>(word[0] << 8 | word[1]);
    c_.out.WriteU16Item("Length", kField, Off(at + 2), s.length);
    if (s.length < 2) return JpegFailAt(hpi::kWrongFormat, at + 2);  // the length counts itself
    s.dataSize = s.length - 2u;
    s.bytes.resize(s.dataSize);
    got = source_.Read(s.bytes.data(), s.dataSize);
    if (got == JpegByteSource::kError) return JpegFailAt(hpi::kStreamError, s.data);
    s.bytes.resize(static_cast<std::size_t>(got));
    if (!handler(c_, s)) return false;
    if (s.bytes.size() < s.dataSize) return JpegFailAt(hpi::kWrongFormat, at + 2);
    if (marker == kSos) {
      scanning_ = true;
      scanStart_ = s.End();
      restarts_ = 0;
    }
    source_.Seek(std::max(source_.Tell(), s.End()));
    return true;
  }

  // The rest of the window after EOI, such as a further image of the file.
  void WriteBytesAfterEoi() {
    std::int64_t from = source_.Tell();
    if (from >= source_.End()) return;
    c_.out.WriteItem("Bytes after EOI", c_.level, Off(from), Off(source_.End() - from));
    std::uint8_t soi[2];
    if (source_.Read(soi, 2) == 2 && soi[0] == 0xFF && soi[1] == kSoi) c_.out.WriteComment("starts with SOI");
  }

  void WriteScanData(std::int64_t upTo) {
    c_.out.WriteItem("Compressed image data", kField, Off(scanStart_), Off(upTo - scanStart_));
    if (restarts_ > 0) c_.out.Comment("%u restart markers (RST0-RST7) inside", restarts_);
    scanning_ = false;
  }

  // The window ended before EOI: the stream is cut short at position (the last
  // FF D9 of the window may belong to a segment, such as an Exif thumbnail's end).
  bool EndedEarly(std::int64_t position) {
    if (scanning_) WriteScanData(position);
    return JpegFailAt(hpi::kWrongFormat, position);
  }

  JpegContext& c_;
  JpegByteSource& source_;
  std::int64_t start_;
  bool scanning_ = false;
  std::int64_t scanStart_ = 0;
  std::uint32_t restarts_ = 0;
};

}  // namespace

bool JpegWalker::WalkJpeg(std::int64_t start, std::int64_t end, int level) {
  hpi::SetPluginError(hpi::kNoError, kJpegMessages);
  if (!file_.IsOpen() || level < 1 || level > kMaxJpegLevel) return JpegFailAt(hpi::kWrongArgument, start);
  std::int64_t length = file_.Length();
  if (length < 0) return JpegFailAt(hpi::kFileReadError, start);
  JpegByteSource source(file_, std::min(end, length));
  source.Seek(start);
  JpegContext context{file_, out_, flavour_, level};
  return MarkerWalk(context, source, start).Run();
}

}  // namespace tiffjpeg
