// APP0 (JFIF header, JFXX extension) and APP1 (Exif: a TIFF structure walked
// by the TIFF walk).
#include <cstring>

#include "ifd_walker.h"
#include "jpeg_segments.h"

namespace tiffjpeg {
namespace {

constexpr std::uint8_t kJfif[] = {'J', 'F', 'I', 'F', 0};
constexpr std::uint8_t kJfxx[] = {'J', 'F', 'X', 'X', 0};
constexpr std::uint8_t kExif[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint32_t kPaletteSize = 768;

const char* UnitsComment(std::uint8_t units) {
  constexpr const char* kUnits[] = {"no units", "dots per inch", "dots per cm"};
  return units < std::size(kUnits) ? kUnits[units] : "Unkown units";
}

const char* ExtensionComment(std::uint8_t code) {
  switch (code) {
    case 0x10: return "Thumbnail used JPEG";
    case 0x11: return "Thumbnail 1byte/pixel";
    case 0x13: return "Thumbnail 3byte/pixel";
    default: return "Unkown";
  }
}

// Sizes that do not fit the segment are faults of its "Length".
bool WriteJfif(JpegContext& c, const Segment& s, SegmentCursor& r) {
  std::uint32_t left = r.Left();
  if (left <= 8) return JpegFailAt(kWrongApp0, s.at + 2);
  U16Field(c.out, r, "Version");
  std::uint8_t units = U8Field(c.out, r, "Units");
  if (r.Ok()) c.out.WriteComment(UnitsComment(units));
  U16Field(c.out, r, "Xdensity");
  U16Field(c.out, r, "Ydensity");
  std::uint32_t n = U8Field(c.out, r, "XThumbnail");
  n *= U8Field(c.out, r, "YThumbnail") * 3u;
  if (!r.Ok()) return false;
  if (left == 9 || n == 0) return true;
  if (left - 9 != n) return JpegFailAt(kWrongApp0, s.at + 2);
  c.out.WriteItem("Thumbnail Image", kField, Off(r.Position()), n);
  return true;
}

// A JPEG thumbnail is walked as a JPEG of its own; its fault is a warning
// inside this segment.
bool WriteJpegThumbnail(JpegContext& c, const Segment& s, SegmentCursor& r) {
  if (c.level + 1 > kMaxJpegLevel) {
    c.out.WriteItem("Thumbnail Image", kField, Off(r.Position()), r.Left());
    return c.out.WriteComment("Nested too deeply: not analysed") > 0;
  }
  if (!JpegWalker(c.file, c.out, c.flavour).WalkJpeg(r.Position(), s.End(), c.level + 1)) {
    return WriteWarning(c.file, c.out);
  }
  return true;
}

bool WriteJfxx(JpegContext& c, const Segment& s, SegmentCursor& r) {
  std::uint32_t left = r.Left();
  if (left == 0) return JpegFailAt(kWrongApp0, s.at + 2);
  std::uint8_t code = U8Field(c.out, r, "Extension_code");
  if (!r.Ok()) return false;
  c.out.WriteComment(ExtensionComment(code));
  if (code == 0x10) return left == 1 || WriteJpegThumbnail(c, s, r);
  if (code != 0x11 && code != 0x13) return true;
  if (left < 3) return JpegFailAt(kWrongApp0, s.at + 2);
  std::uint32_t n = U8Field(c.out, r, "Xthumbnail");
  n *= U8Field(c.out, r, "Ythumbnail");
  if (!r.Ok()) return false;
  if (left == 3) return true;
  std::uint32_t palette = code == 0x11 ? kPaletteSize : 0;
  if (code == 0x13) n *= 3;
  if (left - 3 < n + palette) return JpegFailAt(kWrongApp0, s.at + 2);
  if (palette != 0) {
    c.out.WriteItem("Palette", kField, Off(r.Position()), palette);
    r.Skip(palette);
  }
  c.out.WriteItem("Thumbnail Image", kField, Off(r.Position()), n);
  return true;
}

}  // namespace

bool WriteApp0(JpegContext& c, const Segment& s) {
  SegmentCursor r(s);
  if (s.dataSize >= 5 && !r.Need(5)) return false;
  bool jfif = StartsWith(s, kJfif, 5);
  if (!jfif && !StartsWith(s, kJfxx, 5)) {
    WriteApplicationData(c, s, s.data);
    return true;
  }
  TextField(c.out, r, "Identifier", 5);
  if (!r.Ok()) return false;
  return jfif ? WriteJfif(c, s, r) : WriteJfxx(c, s, r);
}

// An Exif APP1 holds "Exif", two zero bytes and a TIFF structure whose offsets
// count from its own header. Exif data too long for one segment goes on in
// later "Exif" APP1 segments, whose bytes continue the structure.
bool WriteApp1(JpegContext& c, const Segment& s) {
  SegmentCursor r(s);
  if (s.dataSize > 6 && !r.Need(6)) return false;
  if (s.dataSize <= 6 || !StartsWith(s, kExif, 6)) {
    WriteApplicationData(c, s, s.data);
    return true;
  }
  bool continuation = c.exifSeen && !(s.bytes.size() >= 10 && IsTiffHeader(s.bytes.data() + 6));
  c.exifSeen = true;
  if (continuation) {
    TextField(c.out, r, "Identifier", 6);
    c.out.WriteItem("Exif continuation", kField, Off(r.Position()), r.Left());
    return c.out.WriteComment("continues the Exif data of an earlier APP1 segment") > 0;
  }
  if (c.level + 1 > kMaxTiffLevel) {
    WriteApplicationData(c, s, s.data);
    return c.out.WriteComment("Nested too deeply: not analysed") > 0;
  }
  return AnalyzeTiff(c.file, c.out, c.flavour, s.data + 6, s.End(), c.level + 1);
}

}  // namespace tiffjpeg
