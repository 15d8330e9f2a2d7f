// The GZIP walk: the first member's header, its compressed data and the trailer,
// taken as the file's last 8 bytes.
#include <iterator>
#include <string>

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

constexpr const char* kFlagNames[] = {"FTEXT", "FHCRC", "FEXTRA", "FNAME", "FCOMMENT"};

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

}  // namespace

bool WalkGzip(hpi::Analysis& a) {
  Reader in(a.file, a.fileSize);
  hpi::Writer& out = a.out;
  // A file too short for the fixed header and the trailer leaves no data between them.
  if (in.Size() < kHeaderSize + kTrailerSize) return Fail(hpi::kWrongFormat);
  std::uint8_t h[kHeaderSize];
  if (!in.Read(h, sizeof h, kWrongDescriptorField)) return false;
  if (hpi::LE16(h) != kIdentification) return Fail(kWrongGzipId);
  FieldCursor f(out, h, 0);
  f.U16("IDentification");
  out.WriteComment(f.U8("CM(Compression Method)") == 8 ? "deflate" : "Unkown value");
  std::uint8_t flags = f.U8("FLG(FLaGs)");
  out.WriteComment(FlagText(flags));
  out.WriteComment(UnixTimeText(f.U32("MTIME(Modification TIME)")));
  std::uint8_t xfl = f.U8("XFL(eXtra FLags)");
  if (xfl == 2) out.WriteComment("maximum compression,slowest algorithm");
  if (xfl == 4) out.WriteComment("fastest algorithm");
  if (const char* os = OsText(f.U8("OS(Operating System)"))) out.WriteComment(os);

  std::uint64_t trailer = in.Size() - kTrailerSize;
  if (flags & FEXTRA) {
    std::uint16_t xlen = 0;
    std::uint64_t at = in.Position();
    if (!in.U16(xlen, kWrongDescriptorField)) return false;
    out.WriteU16Item("XLEN(eXtra LENgth)", F, static_cast<std::uint32_t>(at), xlen);
    if (in.Position() + xlen > trailer) return Fail(kWrongDescriptorField);
    if (xlen != 0) WriteRange(out, "extra field", F, in.Position(), xlen);
    if (!in.Skip(xlen)) return false;
  }
  if ((flags & FNAME) && !WriteZeroTerminatedField(in, out, "original file name")) return false;
  if ((flags & FCOMMENT) && !WriteZeroTerminatedField(in, out, "file comment")) return false;
  if (flags & FHCRC) {
    std::uint16_t crc = 0;
    std::uint64_t at = in.Position();
    if (!in.U16(crc, kWrongDescriptorField)) return false;
    out.WriteU16Item("CRC16", F, static_cast<std::uint32_t>(at), crc);
  }
  if (in.Position() > trailer) return Fail(kWrongDescriptorField);
  WriteRange(out, "compressed data", F, in.Position(), trailer - in.Position());
  std::uint8_t t[kTrailerSize];
  if (!in.SeekTo(trailer) || !in.Read(t, sizeof t, kWrongDescriptorField)) return false;
  FieldCursor trailerFields(out, t, trailer);
  trailerFields.U32("CRC32");
  trailerFields.U32("ISIZE");
  return out.Ok();
}

}  // namespace kavlore
