// The extra field of local and central headers: a run of (Header ID, Data Size,
// Data) blocks. The extended timestamp and the zip64 extended information are
// shown field by field, other blocks as ranges.
#include <vector>

#include "hpi/bytes.h"
#include "items.h"
#include "kavlore.h"
#include "time_text.h"
#include "zip.h"

namespace kavlore::zip {
namespace {

constexpr std::uint16_t kZip64Id = 0x0001;

// The data of one block, read whole, shown field by field.
struct Block {
  hpi::Writer& out;
  std::vector<std::uint8_t> data;
  std::uint64_t offset;
  std::size_t used = 0;

  std::size_t Left() const { return data.size() - used; }
  FieldCursor Next(std::size_t width) {
    FieldCursor fields(out, data.data() + used, offset + used);
    used += width;
    return fields;
  }
  // Bytes that no field took.
  void Rest() {
    if (Left() > 0) WriteRange(out, "Unkown data", F, offset + used, Left());
  }
  // A text field over the bytes left.
  void TextRest(std::string_view name) {
    auto width = static_cast<std::uint32_t>(Left());
    if (width > 0) Next(width).Text(name, width);
  }
};

// The NTFS block: 4 reserved bytes, then attributes of a tag and a size; tag 1
// holds the three Windows file times.
void WalkNtfs(Block& b, Form) {
  if (b.Left() < 4) return b.Rest();
  b.Next(4).U32("Reserved");
  for (std::uint64_t k = 1; b.Left() >= 4; ++k) {
    std::uint16_t tag = hpi::LE16(b.data.data() + b.used);
    std::size_t size = hpi::LE16(b.data.data() + b.used + 2);
    if (size > b.Left() - 4) break;
    FieldCursor head = b.Next(4);
    head.U16(Indexed("Tag", k));
    head.U16(Indexed("Size", k));
    if (tag == 1 && size == 24) {
      for (const char* name : {"Mtime(last modification time)", "Atime(last access time)", "Ctime(creation time)"}) {
        b.out.WriteComment(FileTimeText(b.Next(8).Long(name)));
      }
    } else if (size != 0) {
      WriteRange(b.out, Indexed("Attribute", k), F, b.offset + b.used, size);
      b.used += size;
    }
  }
  b.Rest();
}

// Info-ZIP's original Unix block: access and modification times, then in the
// local form the user and group IDs.
void WalkUnixOriginal(Block& b, Form form) {
  if (b.Left() >= 4) b.out.WriteComment(UnixTimeText(b.Next(4).U32("AcTime(last access time)")));
  if (b.Left() >= 4) b.out.WriteComment(UnixTimeText(b.Next(4).U32("ModTime(last modification time)")));
  if (form == Form::Local && b.Left() >= 4) {
    b.Next(2).U16("UID");
    b.Next(2).U16("GID");
  }
  b.Rest();
}

// Info-ZIP's "ux" block: a version, then the UID and the GID, each after its size.
void WalkUnixIds(Block& b, Form) {
  if (b.Left() < 1) return;
  b.Next(1).U8("Version");
  for (const char* id : {"UID", "GID"}) {
    if (b.Left() < 1) break;
    std::size_t size = b.Next(1).U8(id[0] == 'U' ? "UIDSize" : "GIDSize");
    if (size > b.Left()) break;
    if (size == 1) b.Next(1).U8(id);
    if (size == 2) b.Next(2).U16(id);
    if (size == 4) b.Next(4).U32(id);
    if (size == 8) b.Next(8).Long(id);
    if (size != 1 && size != 2 && size != 4 && size != 8 && size != 0) {
      WriteRange(b.out, id, F, b.offset + b.used, size);
      b.used += size;
    }
  }
  b.Rest();
}

// Info-ZIP's Unicode path and comment blocks: a version, the CRC-32 of the
// header's own name or comment, then the UTF-8 text.
void WalkUnicode(Block& b, const char* crcName, const char* textName) {
  if (b.Left() < 5) return b.Rest();
  b.Next(1).U8("Version");
  b.Next(4).U32(crcName);
  b.TextRest(textName);
}
void WalkUnicodePath(Block& b, Form) { WalkUnicode(b, "NameCRC32", "UnicodeName"); }
void WalkUnicodeComment(Block& b, Form) { WalkUnicode(b, "ComCRC32", "UnicodeCom"); }

// WinZip's AES block: vendor version, vendor ID "AE", key strength and the
// compression method of the encrypted data.
void WalkAes(Block& b, Form) {
  constexpr const char* kStrengths[] = {"128-bit encryption key", "192-bit encryption key", "256-bit encryption key"};
  if (b.Left() < 7) return b.Rest();
  std::uint16_t version = b.Next(2).U16("Version");
  if (version == 1 || version == 2) b.out.WriteComment(version == 1 ? "AE-1" : "AE-2");
  b.Next(2).Text("Vendor ID", 2);
  std::uint8_t strength = b.Next(1).U8("Encryption strength");
  if (strength >= 1 && strength <= 3) b.out.WriteComment(kStrengths[strength - 1]);
  b.out.WriteComment(MethodText(b.Next(2).U16("Compression method")));
  b.Rest();
}

// Info-ZIP's "UT" block: a flag byte and the times it announces; the central
// form carries only the modification time.
void WalkExtendedTimestamp(Block& b, Form form) {
  if (b.Left() < 1) return;
  constexpr const char* kTimes[] = {"modification time", "last access time", "creation time"};
  std::uint8_t flag = b.Next(1).U8("flag");
  int times = form == Form::Local ? 3 : 1;
  for (int bit = 0; bit < times; ++bit) {
    if ((flag >> bit & 1) && b.Left() > 3) b.out.WriteComment(UnixTimeText(b.Next(4).U32(kTimes[bit])));
  }
  b.Rest();
}

// The zip64 extended information: 8-byte values of the header fields that hold
// the marker, in a fixed order. A local header's block holds both sizes.
void WalkZip64(Block& b, Form form, const MarkedFields& marked, Zip64Values& zip64) {
  bool local = form == Form::Local;
  zip64.present = true;
  if ((local || marked.uncompressedSize) && b.Left() >= 8) b.Next(8).Long("Original Size");
  if ((local || marked.compressedSize) && b.Left() >= 8) zip64.compressedSize = b.Next(8).Long("Compressed Size");
  if (!local && marked.localHeaderOffset && b.Left() >= 8) b.Next(8).Long("Relative Header Offset");
  if (!local && marked.diskNumber && b.Left() >= 4) b.Next(4).U32("Disk Start Number");
  b.Rest();
}

// Blocks shown field by field; any other is shown as a range.
struct BlockWalker {
  std::uint16_t id;
  void (*walk)(Block&, Form);
};
constexpr BlockWalker kBlockWalkers[] = {
    {0x000A, WalkNtfs},         {0x5455, WalkExtendedTimestamp},
    {0x5855, WalkUnixOriginal}, {0x6375, WalkUnicodeComment},
    {0x7075, WalkUnicodePath},  {0x7875, WalkUnixIds},
    {0x9901, WalkAes},
};

const BlockWalker* WalkerOf(std::uint16_t id) {
  for (const BlockWalker& w : kBlockWalkers) {
    if (w.id == id) return &w;
  }
  return nullptr;
}

}  // namespace

bool WalkExtraField(Reader& in, hpi::Writer& out, int level, std::uint16_t length, Form form,
                    const MarkedFields& marked, Zip64Values& zip64) {
  if (!in.Holds(length)) return in.FailHere(kWrongLocalField);
  WriteRange(out, "Extra field", level, in.Position(), length);
  std::uint32_t left = length;
  for (std::uint64_t k = 1; left > 0; ++k) {
    if (left < 4) return in.FailHere(kWrongExtraField);
    std::uint8_t head[4];
    std::uint64_t at = in.Position();
    if (!in.Read(head, sizeof head, kWrongLocalField)) return false;
    std::uint16_t id = hpi::LE16(head);
    std::uint16_t dataSize = hpi::LE16(head + 2);
    out.WriteU16Item(Indexed("Header ID", k), F, at, id);
    if (const char* text = HeaderIdText(id)) out.WriteComment(text);
    out.WriteU16Item(Indexed("Data Size", k), F, at + 2, dataSize);
    left -= 4;
    if (left < dataSize) return FailAt(kWrongExtraField, at + 2);
    left -= dataSize;
    if (dataSize == 0) continue;
    ShortText name = Indexed("Data", k);
    const BlockWalker* walker = WalkerOf(id);
    if (walker == nullptr && id != kZip64Id) {
      WriteRange(out, name, F, in.Position(), dataSize);
      if (!in.Skip(dataSize)) return false;
      continue;
    }
    Block b{out, std::vector<std::uint8_t>(dataSize), in.Position()};
    if (!in.Read(b.data.data(), dataSize, kWrongLocalField)) return false;
    WriteRange(out, name, level + 1, b.offset, dataSize);
    if (walker != nullptr) {
      walker->walk(b, form);
    } else {
      WalkZip64(b, form, marked, zip64);
    }
    out.WriteGroupEnd(level + 1);
  }
  return out.Ok();
}

}  // namespace kavlore::zip
