// The GZIP walk: the first member's header, its compressed data and the trailer,
// taken as the file's last 8 bytes: without inflating, the end of a member's
// deflate data is unknown.
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "hpi/bytes.h"
#include "items.h"
#include "kavlore.h"
#include "time_text.h"

namespace kavlore {
namespace {

constexpr std::uint64_t kHeaderSize = 10;
constexpr std::uint64_t kTrailerSize = 8;
constexpr std::uint16_t kIdentification = 0x8B1F;

enum Flag : std::uint8_t { FTEXT = 0x01, FHCRC = 0x02, FEXTRA = 0x04, FNAME = 0x08, FCOMMENT = 0x10 };

constexpr const char* kFlagNames[] = {"FTEXT",    "FHCRC",       "FEXTRA",      "FNAME",
                                      "FCOMMENT", "reserved(5)", "reserved(6)", "reserved(7)"};

struct XflName {
  std::uint8_t value;
  const char* text;
};
constexpr XflName kXflNames[] = {
    {0, "no extra flags"},
    {2, "maximum compression,slowest algorithm"},
    {4, "fastest algorithm"},
};

// Subfield IDs (SI1 SI2) registered or in common use.
struct SubfieldName {
  char si1, si2;
  const char* text;
};
constexpr SubfieldName kSubfields[] = {
    {'A', 'c', "Acorn RISC OS/BBC MOS file type information"},
    {'A', 'p', "Apollo file type information"},
    {'B', 'C', "BGZF block size(samtools)"},
    {'K', 'N', "KeyNote assertion(RFC 2704)"},
    {'R', 'A', "random access(dictzip)"},
    {'c', 'p', "file compressed by cpio"},
};

constexpr const char* kOperatingSystems[] = {
    "FAT filesystem(MS-DOS,OS/2,NT/Win32)",
    "Amiga",
    "VMS(or OpenVMS)",
    "Unix",
    "VM/CMS",
    "Atari TOS",
    "HPFS filesystem(OS/2,NT)",
    "Macintosh",
    "Z-System",
    "CP/M",
    "TOPS-20",
    "NTFS filesystem(NT)",
    "QDOS",
    "Acorn RISCOS",
};

std::string FlagText(std::uint8_t flags) {
  std::string text;
  for (std::size_t bit = 0; bit < std::size(kFlagNames); ++bit) {
    if (flags >> bit & 1) text += (text.empty() ? "" : ",") + std::string(kFlagNames[bit]);
  }
  return text;
}

const char* OsText(std::uint8_t os) {
  if (os < std::size(kOperatingSystems)) return kOperatingSystems[os];
  return os == 255 ? "Unkown" : nullptr;
}

const char* XflText(std::uint8_t xfl) {
  for (const XflName& x : kXflNames) {
    if (x.value == xfl) return x.text;
  }
  return "Unkown value";
}

const char* SubfieldText(std::uint8_t si1, std::uint8_t si2) {
  for (const SubfieldName& n : kSubfields) {
    if (static_cast<std::uint8_t>(n.si1) == si1 && static_cast<std::uint8_t>(n.si2) == si2) return n.text;
  }
  return nullptr;
}

// The FEXTRA area: subfields of SI1, SI2, LEN and LEN bytes of data. BGZF and
// dictzip subfields are shown field by field. An area cut short by the end of
// the file shows the subfields that it holds whole.
bool WalkExtraArea(Reader& in, hpi::Writer& out, std::uint16_t length) {
  std::uint64_t start = in.Position();
  auto xlen = static_cast<std::uint16_t>(std::min<std::uint64_t>(length, in.Remaining()));
  std::vector<std::uint8_t> area(xlen);
  if (!in.Read(area.data(), xlen, kWrongDescriptorField)) return false;
  WriteRange(out, "extra field", kBaseLevel, start, xlen);
  std::size_t at = 0;
  for (std::uint64_t k = 1; at + 4 <= xlen; ++k) {
    const std::uint8_t* s = area.data() + at;
    std::size_t len = hpi::LE16(s + 2);
    if (len > xlen - at - 4) break;
    WriteRange(out, Indexed("subfield", k), kBaseLevel + 1, start + at, 4 + len);
    FieldCursor f(out, s, start + at);
    f.Text("SI1", 1);
    f.Text("SI2", 1);
    if (const char* text = SubfieldText(s[0], s[1])) out.WriteComment(text);
    f.U16("LEN");
    if (s[0] == 'B' && s[1] == 'C' && len == 2) {
      out.Comment("block size %u", f.U16("BSIZE(total block size - 1)") + 1u);
    } else if (s[0] == 'R' && s[1] == 'A' && len >= 6) {
      f.U16("VER");
      f.U16("CHLEN(chunk length)");
      std::uint16_t count = f.U16("CHCNT(chunk count)");
      if (len > 6) WriteRange(out, "chunk sizes", F, f.Offset(), len - 6);
      if (len - 6 != 2u * count) out.WriteNote("CHCNT does not match LEN");
    } else if (len != 0) {
      WriteRange(out, "subfield data", F, f.Offset(), len);
    }
    out.WriteGroupEnd(kBaseLevel + 1);
    at += 4 + len;
  }
  if (xlen < length) return FailAt(kWrongDescriptorField, start + at);
  if (at < xlen) WriteRange(out, "Unkown data", F, start + at, xlen - at);
  out.WriteGroupEnd(kBaseLevel);
  return true;
}

// True when a member header (ID1 ID2 CM=8 and a FLG without reserved bits) starts
// in the bytes from `from` to `to`.
bool HoldsMemberSignature(Reader& in, std::uint64_t from, std::uint64_t to) {
  constexpr std::size_t kChunk = 1 << 16;
  std::vector<std::uint8_t> b(kChunk + 3);
  for (std::uint64_t at = from; at + 4 <= to; at += kChunk) {
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk + 3, to - at));
    if (!in.SeekTo(at) || in.ReadSome(b.data(), want) != static_cast<int>(want)) return false;
    for (std::size_t i = 0; i + 4 <= want; ++i) {
      if (b[i] == 0x1F && b[i + 1] == 0x8B && b[i + 2] == 8 && (b[i + 3] & 0xE0) == 0) return true;
    }
  }
  return false;
}

}  // namespace

bool WalkGzip(hpi::Analysis& a) {
  Reader in(a.file, a.fileSize);
  hpi::Writer& out = a.out;
  std::uint8_t h[kHeaderSize];
  int got = ReadRecord(in, h, sizeof h);
  if (got < 0) return false;
  if (hpi::LE16(h) != kIdentification) return FailAt(kWrongGzipId, 0);
  FieldCursor f(out, h, 0, static_cast<std::size_t>(got));
  f.U16("IDentification");
  f.Comment(f.U8("CM(Compression Method)") == 8 ? "deflate" : "Unkown value");
  std::uint8_t flags = f.U8("FLG(FLaGs)");
  f.Comment(FlagText(flags));
  std::uint32_t mtime = f.U32("MTIME(Modification TIME)");
  f.Comment(mtime == 0 ? ShortText("no time stamp") : UnixTimeText(mtime));
  f.Comment(XflText(f.U8("XFL(eXtra FLags)")));
  if (const char* os = OsText(f.U8("OS(Operating System)"))) f.Comment(os);
  if (!f.Complete(kWrongDescriptorField)) return false;

  if (flags & FEXTRA) {
    std::uint16_t xlen = 0;
    std::uint64_t at = in.Position();
    if (!in.U16(xlen, kWrongDescriptorField)) return false;
    out.WriteU16Item("XLEN(eXtra LENgth)", F, at, xlen);
    if (xlen != 0 && !WalkExtraArea(in, out, xlen)) return false;
  }
  if ((flags & FNAME) && !WriteZeroTerminatedField(in, out, "original file name")) return false;
  if ((flags & FCOMMENT) && !WriteZeroTerminatedField(in, out, "file comment")) return false;
  if (flags & FHCRC) {
    std::uint16_t crc = 0;
    std::uint64_t at = in.Position();
    if (!in.U16(crc, kWrongDescriptorField)) return false;
    out.WriteU16Item("CRC16", F, at, crc);
  }
  // The header and the trailer must not overlap.
  if (!in.Holds(kTrailerSize)) return in.FailHere(kWrongDescriptorField);
  std::uint64_t data = in.Position();
  std::uint64_t trailer = in.Size() - kTrailerSize;
  WriteRange(out, "compressed data", F, data, trailer - data);
  if (HoldsMemberSignature(in, data, trailer)) out.WriteNote("the file may hold several members or trailing data");
  std::uint8_t t[kTrailerSize];
  if (!in.SeekTo(trailer) || !in.Read(t, sizeof t, kWrongDescriptorField)) return false;
  FieldCursor trailerFields(out, t, trailer);
  constexpr char kTaken[] = "taken from the last 8 bytes of the file";
  trailerFields.U32("CRC32");
  out.WriteComment(kTaken);
  trailerFields.U32("ISIZE");
  out.WriteComment(kTaken);
  return out.Ok();
}

}  // namespace kavlore
