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

// left: bytes of the segment after the identifier.
bool WriteJfif(JpegContext& c, SegmentCursor& r, std::uint32_t left) {
  if (left <= 8) return JpegFail(kWrongApp0);
  if (!r.Need(9)) return false;
  U16Field(c.out, r, "Version");
  c.out.WriteComment(UnitsComment(U8Field(c.out, r, "Units")));
  U16Field(c.out, r, "Xdensity");
  U16Field(c.out, r, "Ydensity");
  std::uint32_t n = U8Field(c.out, r, "XThumbnail");
  n *= U8Field(c.out, r, "YThumbnail") * 3u;
  if (left == 9 || n == 0) return true;
  if (left - 9 != n) return JpegFail(kWrongApp0);
  c.out.WriteItem("Thumbnail Image", kField, Off(r.Position()), n);
  return true;
}

bool WriteJfxx(JpegContext& c, const Segment& s, SegmentCursor& r, std::uint32_t left) {
  if (left == 0) return JpegFail(kWrongApp0);
  if (!r.Need(1)) return false;
  std::uint8_t code = U8Field(c.out, r, "Extension_code");
  c.out.WriteComment(ExtensionComment(code));
  if (code == 0x10) {
    if (left == 1) return true;
    if (c.level + 1 > kMaxJpegLevel) {
      c.out.WriteItem("Thumbnail Image", kField, Off(r.Position()), left - 1);
      return c.out.WriteComment("Nested too deeply: not analysed") > 0;
    }
    return JpegWalker(c.file, c.out, c.flavour).WalkJpeg(r.Position(), s.End(), c.level + 1);
  }
  if (code != 0x11 && code != 0x13) return true;
  if (left < 3) return JpegFail(kWrongApp0);
  if (!r.Need(2)) return false;
  std::uint32_t n = U8Field(c.out, r, "Xthumbnail");
  n *= U8Field(c.out, r, "Ythumbnail");
  if (left == 3) return true;
  std::uint32_t palette = code == 0x11 ? kPaletteSize : 0;
  if (code == 0x13) n *= 3;
  if (left - 3 < n + palette) return JpegFail(kWrongApp0);
  if (palette != 0) {
    c.out.WriteItem("Palette", kField, Off(r.Position()), palette);
    r.Skip(palette);
  }
  c.out.WriteItem("Thumbnail Image", kField, Off(r.Position()), n);
  return true;
}

}  // namespace

bool WriteApp0(JpegContext& c, const Segment& s) {
  WriteSegmentHead(c, s, "APP0(Application type 0 segment)", 0xFFE0);
  SegmentCursor r(s);
  if (s.dataSize >= 5 && !r.Need(5)) return false;
  bool jfif = StartsWith(s, kJfif, 5);
  if (!jfif && !StartsWith(s, kJfxx, 5)) {
    WriteApplicationData(c, s, s.data);
    return true;
  }
  c.out.WriteItem("Identifier", kField, Off(s.data), 5, s.bytes.data(), hpi::ValueKind::Text);
  r.Skip(5);
  return jfif ? WriteJfif(c, r, s.dataSize - 5) : WriteJfxx(c, s, r, s.dataSize - 5);
}

// An Exif APP1 holds "Exif", two zero bytes and a TIFF structure whose offsets
// count from its own header.
bool WriteApp1(JpegContext& c, const Segment& s) {
  WriteSegmentHead(c, s, "APP1(Application type 1 segment)", 0xFFE1);
  SegmentCursor r(s);
  if (s.dataSize > 6 && !r.Need(6)) return false;
  if (s.dataSize <= 6 || !StartsWith(s, kExif, 6)) {
    WriteApplicationData(c, s, s.data);
    return true;
  }
  if (c.level + 1 > kMaxTiffLevel) {
    WriteApplicationData(c, s, s.data);
    return c.out.WriteComment("Nested too deeply: not analysed") > 0;
  }
  return AnalyzeTiff(c.file, c.out, c.flavour, s.data + 6, s.End(), c.level + 1);
}

}  // namespace tiffjpeg
