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

// Maps a byte source result to the JPEG codes: an error is code 3, an early end code 6.
bool ReadOk(int result, std::size_t wanted) {
  if (result == JpegByteSource::kError) return JpegFail(hpi::kStreamError);
  return static_cast<std::size_t>(result) == wanted || JpegFail(hpi::kWrongFormat);
}

class MarkerWalk {
 public:
  MarkerWalk(JpegContext& c, JpegByteSource& source, std::int64_t start) : c_(c), source_(source), start_(start) {}

  bool Run() {
    std::uint8_t soi[2];
    int got = source_.Read(soi, 2);
    if (got != 2 || soi[0] != 0xFF || soi[1] != kSoi) return JpegFail(kNotJpeg);
    c_.out.WriteU16Item("SOI(Start of Image)", c_.level, Off(start_), 0xFFD8);
    for (;;) {
      if (!c_.out.Ok()) return false;
      std::uint8_t marker = 0;
      std::int64_t at = 0;
      int found = FindNextMarker(marker, at);
      if (found < 0) return false;
      if (found == 0) return EndCheck();
      if (scanning_) WriteScanData(at);
      if (marker == kEoi) {
        c_.out.WriteU16Item("EOI(End of image)", c_.level, Off(at), 0xFFD9);
        return c_.out.Ok();
      }
      if (marker == kSoi) return JpegFail(hpi::kWrongFormat);
      if (IsStandalone(marker)) {
        char buffer[64];
        c_.out.WriteU16Item(MarkerName(marker, buffer), c_.level, Off(at), 0xFF00u | marker);
        continue;
      }
      Segment segment{marker, at, 0, at + 4, 0, {}};
      if (!ReadSegment(segment) || !HandlerOf(marker)(c_, segment)) return false;
      if (marker == kSos) {
        scanning_ = true;
        scanStart_ = segment.End();
        restarts_ = 0;
      }
      source_.Seek(std::max(source_.Tell(), segment.End()));
    }
  }

 private:
  // 1 with the marker and the position of its 0xFF, 0 at the end of the
  // window, -1 on a read error. Fill bytes (0xFF repeated before a marker) are
  // passed over; so are stuffed zeros and, inside scan data, restart markers.
  int FindNextMarker(std::uint8_t& marker, std::int64_t& at) {
    for (;;) {
      int state = source_.SkipPastFF();
      std::uint8_t code = 0xFF;
      while (state == 1 && code == 0xFF) {
        at = source_.Tell() - 1;
        state = source_.ReadByte(code);
      }
      if (state == JpegByteSource::kError) {
        JpegFail(hpi::kStreamError);
        return -1;
      }
      if (state == JpegByteSource::kEnd) return 0;
      if (code == 0x00) continue;
      if (scanning_ && IsRestart(code)) {
        ++restarts_;
        continue;
      }
      marker = code;
      return 1;
    }
  }

  bool ReadSegment(Segment& s) {
    std::uint8_t word[2];
    if (!ReadOk(source_.Read(word, 2), 2)) return false;
    s.length = static_cast<std::uint16_t>(word[0] << 8 | word[1]);
    s.dataSize = static_cast<std::uint16_t>(s.length - 2);
    s.bytes.resize(s.dataSize);
    int got = source_.Read(s.bytes.data(), s.dataSize);
    if (got == JpegByteSource::kError) return JpegFail(hpi::kStreamError);
    s.bytes.resize(static_cast<std::size_t>(got));
    return true;
  }

  void WriteScanData(std::int64_t upTo) {
    c_.out.WriteItem("Compressed image data", kField, Off(scanStart_), Off(upTo - scanStart_));
    if (restarts_ > 0) c_.out.Comment("%u restart markers (RST0-RST7) inside", restarts_);
    scanning_ = false;
  }

  // The marker search met the end: the stream must still end with EOI.
  bool EndCheck() {
    std::int64_t last = source_.End() - 2;
    std::uint8_t eoi[2];
    if (last < start_ || !source_.Seek(last)) return JpegFail(hpi::kFileReadError);
    if (source_.Read(eoi, 2) != 2) return JpegFail(hpi::kFileReadError);
    if (eoi[0] != 0xFF || eoi[1] != kEoi) return JpegFail(hpi::kWrongFormat);
    c_.out.WriteU16Item("EOI(End of image)", c_.level, Off(last), 0xFFD9);
    return c_.out.Ok();
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
  if (!file_.IsOpen() || level < 1 || level > kMaxJpegLevel) return JpegFail(hpi::kWrongArgument);
  std::int64_t length = file_.Length();
  if (length < 0) return JpegFail(hpi::kFileReadError);
  JpegByteSource source(file_, std::min(end, length));
  source.Seek(start);
  JpegContext context{file_, out_, flavour_, level};
  return MarkerWalk(context, source, start).Run();
}

}  // namespace tiffjpeg
