// Names from the LHA header descriptions: methods, OS IDs, MS-DOS attributes and
// UNIX permissions.
#include <initializer_list>
#include <string>

#include "lzh.h"

namespace kavlore::lzh {
namespace {

struct MethodNotes {
  std::string_view method;
  std::initializer_list<const char*> notes;
};

const MethodNotes kMethods[] = {
    {"-lh0-", {"LHA method", "No compression"}},
    {"-lh1-", {"LHA method", "4k sliding dictionary(max 60 bytes)", "Dynamic Huffman", "Fixed encoding of position"}},
    {"-lh2-", {"LHA method", "8k sliding dictionary(max 256 bytes)", "dynamic Huffman(Obsoleted)"}},
    {"-lh3-", {"LHA method", "8k sliding dictionary(max 256 bytes)", "static Huffman(Obsoleted)"}},
    {"-lh4-",
     {"LHA method", "4k sliding dictionary(max 256 bytes)", "Static Huffman",
      "Improved encoding of position and trees"}},
    {"-lh5-",
     {"LHA method", "8k sliding dictionary(max 256 bytes)", "static Huffman",
      "improved encoding of position and trees"}},
    {"-lh6-",
     {"LHA method", "32k sliding dictionary(max 256 bytes)", "Static Huffman",
      "Improved encoding of position and trees"}},
    {"-lh7-", {"LHA method", "64k sliding dictionary(max 256 bytes)", "static Huffman"}},
    {"-lh8-", {"LHA method", "64k sliding dictionary"}},
    {"-lh9-", {"LHA method", "128k sliding dictionary"}},
    {"-lha-", {"LHA method", "256k sliding dictionary"}},
    {"-lhb-", {"LHA method", "512k sliding dictionary"}},
    {"-lhc-", {"LHA method", "1024k sliding dictionary"}},
    {"-lhe-", {"LHA method", "2048k sliding dictionary"}},
    {"-lzs-", {"LArc method", "2k sliding dictionary(max 17 bytes)"}},
    {"-lz4-", {"LArc method", "No compression"}},
    {"-lz5-", {"LArc method", "4k sliding dictionary(max 17 bytes)"}},
    {"-lhd-", {"Directory(no compressed data)"}},
    {"-pm0-", {"PMarc method", "No compression"}},
    {"-pm1-", {"PMarc method"}},
    {"-pm2-", {"PMarc method"}},
};

struct OsName {
  std::uint8_t id;
  const char* name;
};
constexpr OsName kOperatingSystems[] = {
    {0x00, "generic(Unofficial)"},
    {'2', "OS/2"},
    {'3', "OS/386"},
    {'9', "OS9"},
    {'C', "CP/M"},
    {'F', "FLEX"},
    {'H', "HUMAN"},
    {'J', "Java Virtual Machine(Unofficial)"},
    {'K', "OS/68K"},
    {'M', "MS-DOS"},
    {'R', "Runser"},
    {'T', "TownsOS(Unofficial)"},
    {'U', "UNIX"},
    {'W', "Windows NT(Unofficial)"},
    {'X', "XOSK(Unofficial)"},
    {'m', "Mac"},
    {'w', "Windows 95(Unofficial)"},
};

constexpr const char* kAttributes[] = {"Read only", "Hidden", "System", "Volume label", "Sub directory", "Archive"};

}  // namespace

void WriteMethodNotes(hpi::Writer& out, std::string_view method) {
  for (const MethodNotes& row : kMethods) {
    if (row.method != method) continue;
    for (const char* note : row.notes) out.WriteNote(note);
  }
}

void WriteOsComment(hpi::Writer& out, std::uint8_t osId) {
  for (const OsName& row : kOperatingSystems) {
    if (row.id == osId) out.WriteComment(row.name);
  }
}

void WriteAttributeNotes(hpi::Writer& out, std::uint16_t attributes) {
  for (int bit = 0; bit < 6; ++bit) {
    if (attributes >> bit & 1) out.WriteNote(kAttributes[bit]);
  }
}

// "drwxr-xr-x" from the mode's type and permission bits, with a 't' for the
// sticky bit, then the set-ID bit.
void WritePermissionNotes(hpi::Writer& out, std::uint16_t mode) {
  constexpr std::uint16_t kDirectory = 4;
  std::string text(1, (mode >> 12) == kDirectory ? 'd' : '-');
  for (int bit = 8; bit >= 0; --bit) text += (mode >> bit & 1) ? "xwr"[bit % 3] : '-';
  if (mode & 0x0200) text += 't';
  out.WriteNote(text);
  if (mode & 0x0800) {
    out.WriteNote("SetUID");
  } else if (mode & 0x0400) {
    out.WriteNote("SetGID");
  }
}

}  // namespace kavlore::lzh
