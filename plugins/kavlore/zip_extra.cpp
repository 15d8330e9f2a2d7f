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
constexpr std::uint16_t kExtendedTimestampId = 0x5455;

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
};

// Info-ZIP's "UT" block: a flag byte and the times it announces; the central
// form carries only the modification time.
void WalkExtendedTimestamp(Block& b, Form form) {
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

}  // namespace

bool WalkExtraField(Reader& in, hpi::Writer& out, int level, std::uint16_t length, Form form,
                    const MarkedFields& marked, Zip64Values& zip64) {
  if (!in.Holds(length)) return Fail(kWrongLocalField);
  WriteRange(out, "Extra field", level, in.Position(), length);
  std::uint32_t left = length;
  for (std::uint64_t k = 1; left > 0; ++k) {
    if (left < 4) return Fail(kWrongExtraField);
    std::uint8_t head[4];
    std::uint64_t at = in.Position();
    if (!in.Read(head, sizeof head, kWrongLocalField)) return false;
    std::uint16_t id = hpi::LE16(head);
    std::uint16_t dataSize = hpi::LE16(head + 2);
    out.WriteU16Item(Indexed("Header ID", k), F, static_cast<std::uint32_t>(at), id);
    if (const char* text = HeaderIdText(id)) out.WriteComment(text);
    out.WriteU16Item(Indexed("Data Size", k), F, static_cast<std::uint32_t>(at + 2), dataSize);
    left -= 4;
    if (left < dataSize) return Fail(kWrongExtraField);
    left -= dataSize;
    if (dataSize == 0) continue;
    ShortText name = Indexed("Data", k);
    if (id != kExtendedTimestampId && id != kZip64Id) {
      WriteRange(out, name, F, in.Position(), dataSize);
      if (!in.Skip(dataSize)) return false;
      continue;
    }
    Block b{out, std::vector<std::uint8_t>(dataSize), in.Position()};
    if (!in.Read(b.data.data(), dataSize, kWrongLocalField)) return false;
    WriteRange(out, name, level + 1, b.offset, dataSize);
    if (id == kExtendedTimestampId) {
      WalkExtendedTimestamp(b, form);
    } else {
      WalkZip64(b, form, marked, zip64);
    }
    out.WriteGroupEnd(level + 1);
  }
  return out.Ok();
}

}  // namespace kavlore::zip
