// Names from the ZIP application note: compression methods, general purpose flag
// bits, hosts of "version made by" and extra field header IDs.
#include <iterator>
#include <span>

#include "zip.h"

namespace kavlore::zip {
namespace {

struct Named {
  std::uint16_t code;
  const char* text;
};

constexpr Named kMethods[] = {
    {0, "The file is stored(no compression)"},
    {1, "The file is Shrunk"},
    {2, "The file is Reduced with compression factor 1"},
    {3, "The file is Reduced with compression factor 2"},
    {4, "The file is Reduced with compression factor 3"},
    {5, "The file is Reduced with compression factor 4"},
    {6, "The file is Imploded"},
    {7, "Reserved for Tokenizing compression algorithm"},
    {8, "The file is Deflated"},
    {9, "Reserved for enhanced Deflating"},
    {10, "PKWARE Date Compression Library Imploding"},
    {12, "The file is compressed using BZIP2 algorithm"},
    {14, "The file is compressed using LZMA algorithm"},
    {93, "The file is compressed using Zstandard"},
    {95, "The file is compressed using XZ"},
    {98, "The file is compressed using PPMd version I, Rev 1"},
    {99, "AE-x encryption marker"},
};

constexpr Named kHeaderIds[] = {
    {0x0001, "Zip64 extended information extra field"},
    {0x0007, "AV Info"},
    {0x0009, "OS/2"},
    {0x000A, "NTFS"},
    {0x000C, "VAX/VMS"},
    {0x000D, "reserved for Unix"},
    {0x07C8, "Macintosh"},
    {0x4341, "Acorn/SparkFS"},
    {0x4453, "Windows NT security descriptor(binary ACL)"},
    {0x4704, "VM/CMS"},
    {0x470F, "MVS"},
    {0x4B46, "FWKCS MD5"},
    {0x4C41, "OS/2 access control list(text ACL)"},
    {0x4D49, "Info-ZIP VMS(VAX or Alpha)"},
    {0x5455, "extended timestamp"},
    {0x5855, "Info-ZIP Unix(original,also OS/2,NT,etc)"},
    {0x6375, "Info-ZIP Unicode Comment"},
    {0x6542, "BeOS/BeBox"},
    {0x7075, "Info-ZIP Unicode Path"},
    {0x756E, "ASi Unix"},
    {0x7855, "Info-ZIP Unix(new)"},
    {0x7875, "Info-ZIP Unix(UID/GID)"},
    {0x9901, "AE-x encryption structure"},
    {0xFD4A, "SMS/QDOS"},
};

constexpr const char* kHosts[] = {
    "MS-DOS and OS/2 (FAT/VFAT/FAT32 file systems)",
    "Amiga",
    "VAX/VMS",
    "Unix",
    "VM/CMS",
    "Atari ST",
    "OS/2 H.P.F.S.",
    "Macintosh",
    "Z-System",
    "CP/M",
    "Windows NTFS",
    "thru 255 - unused",
};

// Unix file types, bits 12 to 15 of the mode.
constexpr Named kUnixFileTypes[] = {
    {0x1, "FIFO"},         {0x2, "character device"}, {0x4, "directory"}, {0x6, "block device"},
    {0x8, "regular file"}, {0xA, "symbolic link"},    {0xC, "socket"},
};

// Deflate's compression option, from flag bits 1 and 2.
constexpr const char* kDeflateOptions[] = {
    "Normal compression option was used",
    "Maximum compression option was used",
    "Fast compression option was used",
    "Super Fast compression option was used",
};

const char* Find(std::span<const Named> table, std::uint16_t code) {
  for (const Named& row : table) {
    if (row.code == code) return row.text;
  }
  return nullptr;
}

}  // namespace

const char* MethodText(std::uint16_t method) {
  const char* text = Find(kMethods, method);
  return text != nullptr ? text : "Unkown value";
}

const char* HeaderIdText(std::uint16_t id) { return Find(kHeaderIds, id); }

void WriteFlagNotes(hpi::Writer& out, std::uint16_t flag, std::uint16_t method) {
  constexpr std::uint16_t kImploded = 6;
  constexpr std::uint16_t kDeflated = 8;
  if (flag & 0x0001) out.WriteNote("File is encrypted");
  if (method == kImploded) {
    out.WriteNote(flag & 0x0002 ? "8K sliding dictionary was used" : "4K sliding dictionary was used");
    out.WriteNote(flag & 0x0004 ? "3 Shannon-Fano trees were used" : "2 Shannon-Fano trees were used");
  }
  if (method == kDeflated) out.WriteNote(kDeflateOptions[(flag >> 1) & 3]);
  if (flag & 0x0008) {
    out.WriteNote("Correct value of crc-32,compressed size and uncompressed size are in Data descriptor field");
  }
  if (flag & 0x0040) out.WriteNote("Strong encryption");
  if (flag & 0x0800) out.WriteNote("Language encoding flag(EFS): filename and comment are UTF-8");
  if (flag & 0x2000) out.WriteNote("Central directory is encrypted: local header values are masked");
}

void WriteExternalAttributeNotes(hpi::Writer& out, std::uint16_t madeBy, std::uint32_t attributes) {
  constexpr const char* kDosAttributes[] = {"Read only",    "Hidden",        "System",
                                            "Volume label", "Sub directory", "Archive"};
  for (std::size_t bit = 0; bit < std::size(kDosAttributes); ++bit) {
    if (attributes >> bit & 1) out.WriteNote(kDosAttributes[bit]);
  }
  constexpr unsigned kUnix = 3;
  if (madeBy >> 8 != kUnix) return;
  std::uint32_t mode = attributes >> 16;
  for (const Named& type : kUnixFileTypes) {
    if (type.code == (mode >> 12)) out.WriteNote(type.text);
  }
  char text[11] = "----------";
  constexpr char kTypeLetters[] = "?pc?d?b?-?l?s???";
  text[0] = kTypeLetters[mode >> 12 & 0xF];
  for (int i = 0; i < 9; ++i) {
    if (mode >> (8 - i) & 1) text[1 + i] = "rwx"[i % 3];
  }
  if (mode & 04000) text[3] = text[3] == 'x' ? 's' : 'S';
  if (mode & 02000) text[6] = text[6] == 'x' ? 's' : 'S';
  if (mode & 01000) text[9] = text[9] == 'x' ? 't' : 'T';
  out.WriteNote(text);
}

ShortText VersionMadeByText(std::uint16_t version) {
  unsigned host = version >> 8;
  unsigned tenths = version & 0xFF;
  ShortText text(host < std::size(kHosts) ? kHosts[host] : "Unkown value");
  text.Append(":ver.").Number(tenths / 10, 2, ' ').Append('.').Number(tenths % 10);
  return text;
}

}  // namespace kavlore::zip
