// Application segments written by other tools: APP2 ICC_PROFILE (ICC.1) and
// MPF (CIPA DC-007 multi-picture format), APP13 Photoshop image resources and
// APP14 Adobe. A segment without the expected identifier is plain data.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ifd_walker.h"
#include "jpeg_segments.h"

namespace tiffjpeg {
namespace {

constexpr std::uint8_t kIccProfile[] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
constexpr std::uint8_t kMpf[] = {'M', 'P', 'F', 0};
constexpr std::uint8_t kPhotoshop[] = {'P', 'h', 'o', 't', 'o', 's', 'h', 'o', 'p', ' ', '3', '.', '0', 0};
constexpr std::uint8_t kResourceSignature[] = {'8', 'B', 'I', 'M'};
constexpr std::uint8_t kAdobe[] = {'A', 'd', 'o', 'b', 'e'};
constexpr std::size_t kIccHeaderSize = 128;
constexpr std::size_t kAdobeSize = 12;

struct IdName {
  std::uint16_t id;
  const char* name;
};
constexpr IdName kResourceNames[] = {
    {0x03E9, "Macintosh print manager print info record"},
    {0x03ED, "ResolutionInfo structure"},
    {0x03EE, "Names of the alpha channels"},
    {0x03F0, "Caption"},
    {0x03F2, "Background color"},
    {0x03F3, "Print flags"},
    {0x03F5, "Color halftoning information"},
    {0x03F7, "Color transfer functions"},
    {0x03F8, "Duotone transfer functions"},
    {0x0400, "Layer state information"},
    {0x0402, "Layers group information"},
    {0x0404, "IPTC-NAA record"},
    {0x0406, "JPEG quality"},
    {0x0408, "Grid and guides information"},
    {0x0409, "Thumbnail resource (Photoshop 4.0)"},
    {0x040A, "Copyright flag"},
    {0x040B, "URL"},
    {0x040C, "Thumbnail resource"},
    {0x040D, "Global Angle"},
    {0x040F, "ICC Profile"},
    {0x0410, "Watermark"},
    {0x0411, "ICC Untagged Profile"},
    {0x0412, "Effects visible"},
    {0x0414, "Document-specific IDs seed number"},
    {0x0415, "Unicode Alpha Names"},
    {0x0419, "Global Altitude"},
    {0x041A, "Slices"},
    {0x041D, "Alpha Identifiers"},
    {0x041E, "URL List"},
    {0x0421, "Version Info"},
    {0x0422, "EXIF data 1"},
    {0x0423, "EXIF data 3"},
    {0x0424, "XMP metadata"},
    {0x0425, "Caption digest"},
    {0x0426, "Print scale"},
    {0x0428, "Pixel Aspect Ratio"},
    {0x043A, "Print Information"},
    {0x043B, "Print Style"},
    {0x2710, "Print flags information"},
};

const char* ResourceName(std::uint16_t id) {
  for (const IdName& row : kResourceNames) {
    if (row.id == id) return row.name;
  }
  return nullptr;
}

const char* ColorTransformComment(std::uint8_t transform) {
  constexpr const char* kTransforms[] = {"Unknown (RGB or CMYK)", "YCbCr", "YCCK"};
  return transform < std::size(kTransforms) ? kTransforms[transform] : nullptr;
}

std::uint32_t Big32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

std::uint32_t U32Field(hpi::Writer& out, SegmentCursor& r, std::string_view name) {
  if (!r.Need(4)) return 0;
  std::uint32_t v = Big32(r.Here());
  out.WriteU32Item(name, kField, Off(r.Position()), v);
  r.Skip(4);
  return v;
}

// The fixed 128-byte header at the start of an ICC profile.
void WriteIccHeader(hpi::Writer& out, SegmentCursor& r) {
  U32Field(out, r, "Profile size");
  TextField(out, r, "Preferred CMM type", 4);
  std::uint32_t version = U32Field(out, r, "Profile version number");
  out.Comment("%u.%u.%u", version >> 24, version >> 20 & 0x0F, version >> 16 & 0x0F);
  TextField(out, r, "Profile/Device class", 4);
  TextField(out, r, "Colour space of data", 4);
  TextField(out, r, "PCS", 4);
  const std::uint8_t* d = r.Here();
  out.WriteItem("Date and time", kField, Off(r.Position()), 12);
  out.Comment("%04u-%02u-%02u %02u:%02u:%02u", d[0] << 8 | d[1], d[2] << 8 | d[3], d[4] << 8 | d[5], d[6] << 8 | d[7],
              d[8] << 8 | d[9], d[10] << 8 | d[11]);
  r.Skip(12);
  TextField(out, r, "Profile file signature", 4);
  TextField(out, r, "Primary platform signature", 4);
  r.Skip(20);  // flags, device manufacturer and model, attributes
  U32Field(out, r, "Rendering intent");
  r.Skip(12);  // PCS illuminant
  TextField(out, r, "Profile creator signature", 4);
}

bool WriteIccProfile(JpegContext& c, const Segment& s) {
  SegmentCursor r(s);
  TextField(c.out, r, "Identifier", sizeof kIccProfile);
  std::uint8_t sequence = U8Field(c.out, r, "Sequence number");
  U8Field(c.out, r, "Number of chunks");
  if (!r.Ok()) return false;
  c.out.WriteItem("Profile data", kField, Off(r.Position()), r.Left());
  if (sequence == 1 && r.Left() >= kIccHeaderSize && r.Has(kIccHeaderSize)) WriteIccHeader(c.out, r);
  return true;
}

bool WriteMultiPicture(JpegContext& c, const Segment& s) {
  SegmentCursor r(s);
  TextField(c.out, r, "Identifier", sizeof kMpf);
  if (c.level + 1 > kMaxTiffLevel) {
    WriteApplicationData(c, s, r.Position());
    return c.out.WriteComment("Nested too deeply: not analysed") > 0;
  }
  // A fault in the index stays inside this segment.
  if (!AnalyzeTiff(c.file, c.out, c.flavour, r.Position(), s.End(), c.level + 1, TiffKind::MultiPicture)) {
    return WriteWarning(c.file, c.out);
  }
  return true;
}

// One image resource block: signature, ID, a Pascal name padded to an even
// length, a size and the data padded to an even length. False when the rest of
// the segment does not hold a whole block.
bool WriteResourceBlock(JpegContext& c, SegmentCursor& r) {
  if (r.Left() < 12 || !r.Has(12) || std::memcmp(r.Here(), kResourceSignature, 4) != 0) return false;
  std::size_t nameLength = r.Here()[6];
  std::size_t namePadded = (nameLength + 2) & ~std::size_t{1};
  if (!r.Has(6 + namePadded + 4)) return false;
  std::uint32_t size = Big32(r.Here() + 6 + namePadded);
  std::uint64_t block = 6 + namePadded + 4 + ((static_cast<std::uint64_t>(size) + 1) & ~std::uint64_t{1});
  if (block > r.Left() + (size & 1)) return false;  // the last block may lack its pad byte
  c.out.WriteItem("Image resource block", c.level + 1, Off(r.Position()),
                  static_cast<std::uint32_t>(std::min<std::uint64_t>(block, r.Left())));
  TextField(c.out, r, "Signature", 4);
  std::uint16_t id = U16Field(c.out, r, "Resource ID");
  if (const char* name = ResourceName(id)) c.out.WriteComment(name);
  c.out.WriteItem("Name", kField, Off(r.Position()), static_cast<std::uint32_t>(namePadded));
  c.out.WriteValue(static_cast<std::uint32_t>(nameLength), r.Here() + 1, hpi::ValueKind::Text);
  r.Skip(namePadded);
  U32Field(c.out, r, "Size");
  c.out.WriteItem("Resource data", kField, Off(r.Position()), size);
  r.Skip(std::min<std::uint64_t>(size + (size & 1), r.Left()));
  return true;
}

}  // namespace

bool WriteApp2(JpegContext& c, const Segment& s) {
  bool icc = StartsWith(s, kIccProfile, sizeof kIccProfile);
  bool mpf = StartsWith(s, kMpf, sizeof kMpf);
  if (!icc && !mpf) return WriteOtherApp(c, s);
  return icc ? WriteIccProfile(c, s) : WriteMultiPicture(c, s);
}

bool WriteApp13(JpegContext& c, const Segment& s) {
  if (!StartsWith(s, kPhotoshop, sizeof kPhotoshop)) return WriteOtherApp(c, s);
  SegmentCursor r(s);
  TextField(c.out, r, "Identifier", sizeof kPhotoshop);
  bool blocks = false;
  while (r.Left() > 0 && WriteResourceBlock(c, r)) blocks = true;
  if (r.Left() > 0) {
    if (blocks) c.out.WriteGroupEnd(c.level + 1);
    WriteApplicationData(c, s, r.Position());
  }
  return true;
}

bool WriteApp14(JpegContext& c, const Segment& s) {
  if (s.dataSize < kAdobeSize || !StartsWith(s, kAdobe, sizeof kAdobe)) return WriteOtherApp(c, s);
  SegmentCursor r(s);
  TextField(c.out, r, "Identifier", sizeof kAdobe);
  U16Field(c.out, r, "DCTEncodeVersion");
  U16Field(c.out, r, "APP14Flags0");
  U16Field(c.out, r, "APP14Flags1");
  std::uint8_t transform = U8Field(c.out, r, "ColorTransform");
  if (!r.Ok()) return false;
  if (const char* meaning = ColorTransformComment(transform)) c.out.WriteComment(meaning);
  if (r.Left() > 0) WriteApplicationData(c, s, r.Position());
  return true;
}

}  // namespace tiffjpeg
