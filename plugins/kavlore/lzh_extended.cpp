// LHA extended headers: type byte, data, size of the next extended header. Each
// type has its own fields; a type met at a header level it does not belong to is
// shown as an unknown header.
#include <algorithm>

#include "hpi/bytes.h"
#include "items.h"
#include "kavlore.h"
#include "lzh.h"
#include "time_text.h"

namespace kavlore::lzh {
namespace {

// One extended header being walked: D is the length of its data.
struct Extended {
  Reader& in;
  hpi::Writer& out;
  const HeaderContext& header;
  std::uint64_t D;
  std::uint64_t start;  // file position of the type byte
  std::uint8_t bytes[24] = {};

  // The header's size does not fit its type.
  bool WrongSize() const { return FailAt(hpi::kWrongFormat, start); }

  // Reads data of exactly `length` bytes into `bytes`; any other length is a format error.
  bool Fixed(std::uint64_t length) {
    if (D != length) return WrongSize();
    return in.Read(bytes, static_cast<std::size_t>(length), hpi::kWrongFormat);
  }
  FieldCursor Fields() { return FieldCursor(out, bytes, in.Position() - D); }
  bool Text(std::string_view name) { return WriteTextField(in, out, name, D, hpi::kWrongFormat); }
};

bool Common(Extended& e) {
  // CRC-16 of the whole header, then an information byte; OS/2 writers put more there.
  if (e.D < 2 || (e.D > 3 && e.header.osId != '2')) return e.WrongSize();
  std::uint64_t at = e.in.Position();
  std::uint16_t crc = 0;
  if (!e.in.U16(crc, hpi::kWrongFormat)) return false;
  e.out.WriteU16Item("CRC-16", F, at, crc);
  std::uint64_t information = e.D - 2;
  if (information == 1) {
    std::uint8_t b = 0;
    if (!e.in.U8(b, hpi::kWrongFormat)) return false;
    e.out.WriteU8Item("Information", F, at + 2, b);
  } else if (information > 1) {
    WriteRange(e.out, "Information", F, at + 2, information);
    return e.in.Skip(information);
  }
  return true;
}

// A text field of the data whose first 255 characters are made from the bytes
// by `convert`, which reads at most `step` bytes for each character.
template <typename Convert>
bool ConvertedText(Extended& e, std::string_view name, std::size_t step, Convert convert) {
  if (e.D == 0) return true;
  std::uint64_t start = e.in.Position();
  std::uint8_t raw[hpi::kMaxPayload * 2];
  std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(e.D, hpi::kMaxPayload * step));
  if (!e.in.Read(raw, length, hpi::kWrongFormat)) return false;
  char text[hpi::kMaxPayload];
  std::size_t shown = 0;
  for (std::size_t i = 0; i + step <= length; i += step) text[shown++] = convert(raw + i);
  e.out.WriteItem(name, F, start, e.D, nullptr);
  e.out.WriteValue(static_cast<std::uint32_t>(shown), text, hpi::ValueKind::Text);
  return e.in.SeekTo(start + e.D);
}

bool FileName(Extended& e) { return e.Text("File name"); }
// LHA separates the directories of a path by 0xFF.
bool DirectoryName(Extended& e) {
  return ConvertedText(e, "Directory name", 1, [](const std::uint8_t* b) { return *b == 0xFF ? '/' : char(*b); });
}
// UTF-16LE names, shown by their ASCII characters ('?' for any other).
char Utf16Character(const std::uint8_t* b) {
  std::uint16_t c = hpi::LE16(b);
  return c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
}
bool Utf16FileName(Extended& e) { return ConvertedText(e, "File name(UTF-16)", 2, Utf16Character); }
bool Utf16DirectoryName(Extended& e) { return ConvertedText(e, "Directory name(UTF-16)", 2, Utf16Character); }

bool CodePage(Extended& e) {
  if (!e.Fixed(4)) return false;
  e.Fields().U32("Code page");
  return true;
}

bool Os9Attributes(Extended& e) {
  if (e.D == 0) return true;
  WriteRange(e.out, "OS-9 attributes", F, e.in.Position(), e.D);
  return e.in.Skip(e.D);
}
bool Comments(Extended& e) { return e.Text("Comments"); }
bool GroupName(Extended& e) { return e.Text("Group name"); }
bool UserName(Extended& e) { return e.Text("User name"); }
bool CompressComment(Extended& e) { return e.Text("Compress comment"); }

bool MultiDisc(Extended& e) {
  if (!e.Fixed(9)) return false;
  constexpr const char* kModes[] = {"SPAN_COMPLETE", "SPAN_MORE", "SPAN_LAST"};
  FieldCursor f = e.Fields();
  std::uint8_t mode = f.U8("Span mode");
  if (mode < 3) e.out.WriteComment(kModes[mode]);
  f.U32("Beginning offset");
  f.U32("Size of data");
  return true;
}

bool MsdosAttribute(Extended& e) {
  if (!e.Fixed(2)) return false;
  WriteAttributeNotes(e.out, e.Fields().U16("File attribute"));
  return true;
}

bool WindowsTimeStamp(Extended& e) {
  if (!e.Fixed(24)) return false;
  FieldCursor f = e.Fields();
  for (const char* name : {"Creation time", "Last modified time", "Last access time"}) {
    e.out.WriteNote(FileTimeText(f.Long(name)));
  }
  return true;
}

bool FileSize(Extended& e) {
  if (!e.Fixed(16)) return false;
  FieldCursor f = e.Fields();
  f.Long("Compressed size");
  f.Long("Uncompressed size");
  return true;
}

bool UnixPermission(Extended& e) {
  if (!e.Fixed(2)) return false;
  WritePermissionNotes(e.out, e.Fields().U16("Permission value"));
  return true;
}

bool UnixIds(Extended& e) {
  if (!e.Fixed(4)) return false;
  FieldCursor f = e.Fields();
  f.U16("Group ID");
  f.U16("User ID");
  return true;
}

bool UnixTime(Extended& e) {
  if (!e.Fixed(4)) return false;
  e.out.WriteComment(UnixTimeText(e.Fields().U32("Last modified time")));
  return true;
}

bool Capsule(Extended& e) {
  if (!e.Fixed(8)) return false;
  FieldCursor f = e.Fields();
  f.U32("Capsule header size");
  f.U32("File size");
  return true;
}

// An OS name of the length in its first byte, then the attributes of that OS.
bool ExtendedAttribute(Extended& e) {
  std::uint64_t at = e.in.Position();
  std::uint8_t length = 0;
  if (e.D < 1) return e.WrongSize();
  if (!e.in.U8(length, hpi::kWrongFormat)) return false;
  e.out.WriteU8Item("OS name length", F, at, length);
  if (e.D < 1u + length) return FailAt(hpi::kWrongFormat, at);
  if (!WriteTextField(e.in, e.out, "OS name", length, hpi::kWrongFormat)) return false;
  std::uint64_t area = e.D - 1 - length;
  if (area == 0) return true;
  WriteRange(e.out, "Extended attribute area", F, e.in.Position(), area);
  return e.in.Skip(area);
}

// The creation and access times of the new attribute headers, Unix times as LHA for UNIX writes them.
void WriteUnixTimes(hpi::Writer& out, FieldCursor& f) {
  out.WriteComment(UnixTimeText(f.U32("Creation time")));
  out.WriteComment(UnixTimeText(f.U32("Last access time")));
}

bool NewAttribute(Extended& e) {
  if (!e.Fixed(16)) return false;
  FieldCursor f = e.Fields();
  WriteAttributeNotes(e.out, f.U16("MS-DOS file attribute"));
  WritePermissionNotes(e.out, f.U16("Permission"));
  f.U16("Group ID");
  f.U16("User ID");
  WriteUnixTimes(e.out, f);
  return true;
}

bool NewAttribute2(Extended& e) {
  if (!e.Fixed(20)) return false;
  FieldCursor f = e.Fields();
  f.U32("Permission");
  f.U32("Group ID");
  f.U32("User ID");
  WriteUnixTimes(e.out, f);
  return true;
}

bool Unknown(Extended& e) {
  if (e.D == 0) return true;
  WriteRange(e.out, "Unkown data", F, e.in.Position(), e.D);
  return e.in.Skip(e.D);
}

constexpr std::uint8_t L1 = 1 << 1, L2 = 1 << 2, L3 = 1 << 3, kAllLevels = L1 | L2 | L3;

struct Kind {
  std::uint8_t first;
  std::uint8_t last;
  const char* name;
  std::uint8_t levels;
  bool (*walk)(Extended&);
};

constexpr Kind kKinds[] = {
    {0x00, 0x00, "Common header(Extension header)", kAllLevels, Common},
    {0x01, 0x01, "File name header(Extension header)", kAllLevels, FileName},
    {0x02, 0x02, "Directory name header(Extension header)", kAllLevels, DirectoryName},
    {0x39, 0x39, "Multi-disc header(Extension header)", L1 | L2, MultiDisc},
    {0x3F, 0x3F, "Comment header(Extension header)", kAllLevels, Comments},
    {0x40, 0x40, "MS-DOS file attribute header(Extension header)", kAllLevels, MsdosAttribute},
    {0x41, 0x41, "Windows time stamp header(Extension header)", L2 | L3, WindowsTimeStamp},
    {0x42, 0x42, "File size header(Extension header)", L2, FileSize},
    {0x44, 0x44, "UTF-16 file name header(Extension header)", kAllLevels, Utf16FileName},
    {0x45, 0x45, "UTF-16 directory name header(Extension header)", kAllLevels, Utf16DirectoryName},
    {0x46, 0x46, "Code page header(Extension header)", kAllLevels, CodePage},
    {0x50, 0x50, "UNIX file permission(Extension header)", L1 | L2, UnixPermission},
    {0x51, 0x51, "UNIX file group/user ID(Extension header)", L1 | L2, UnixIds},
    {0x52, 0x52, "UNIX file group name(Extension header)", kAllLevels, GroupName},
    {0x53, 0x53, "UNIX file user name(Extension header)", kAllLevels, UserName},
    {0x54, 0x54, "UNIX file last modified time(Extension header)", L1, UnixTime},
    {0x7D, 0x7D, "Capsule header(Extension header)", L3, Capsule},
    {0x7E, 0x7E, "Extended attribute header(Extension header)", L3, ExtendedAttribute},
    {0x7F, 0x7F, "New attribute header(Extension header)", L3, NewAttribute},
    {0xC4, 0xC8, "Compress comment header(Extension header)", kAllLevels, CompressComment},
    {0xCC, 0xCC, "OS-9 header(Extension header)", kAllLevels, Os9Attributes},
    {0xFF, 0xFF, "New attribute header2(Extension header)", L3, NewAttribute2},
};
constexpr Kind kUnknown{0, 0, "Unkown header(Extension header)", kAllLevels, Unknown};

const Kind& KindOf(std::uint8_t type, int headerLevel) {
  for (const Kind& k : kKinds) {
    if (type >= k.first && type <= k.last && (k.levels >> headerLevel & 1)) return k;
  }
  return kUnknown;
}

// One extended header of size S; `next` receives the size of the one after it.
bool WalkOne(Reader& in, hpi::Writer& out, const HeaderContext& h, std::uint32_t S, std::uint32_t& next) {
  std::uint32_t nextWidth = h.headerLevel == 3 ? 4 : 2;
  std::uint64_t start = in.Position();
  if (S < 1 + nextWidth || !in.Holds(S)) return FailAt(hpi::kWrongFormat, start);
  std::uint8_t type = 0;
  if (!in.U8(type, hpi::kWrongFormat)) return false;
  const Kind& kind = KindOf(type, h.headerLevel);
  WriteRange(out, kind.name, h.groupLevel, start, S);
  out.WriteU8Item("Extension type", F, start, type);
  if (&kind == &kUnknown) out.WriteComment("Unkown value");
  Extended e{in, out, h, S - 1u - nextWidth, start};
  if (!kind.walk(e)) return false;
  std::uint8_t size[4] = {};
  std::uint64_t at = in.Position();
  if (!in.Read(size, nextWidth, hpi::kWrongFormat)) return false;
  out.WriteItem("Next header size", F, at, nextWidth, size);
  next = hpi::LE32(size);
  return out.Ok();
}

}  // namespace

bool WalkExtendedHeaders(Reader& in, hpi::Writer& out, const HeaderContext& context, std::uint32_t size,
                         std::uint64_t& taken) {
  while (size != 0) {
    std::uint32_t next = 0;
    if (!WalkOne(in, out, context, size, next)) return false;
    taken += size;
    size = next;
  }
  return true;
}

}  // namespace kavlore::lzh
