// The Microsoft cabinet walk: CFHEADER with its optional reserve sizes and
// cabinet names, the CFFOLDER entries, the CFFILE entries at coffFiles, and each
// folder's CFDATA blocks from its coffCabStart.
#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "hpi/bytes.h"
#include "items.h"
#include "kavlore.h"
#include "time_text.h"

namespace kavlore {
namespace {

constexpr std::size_t kHeaderSize = 36;
constexpr std::size_t kReserveSizes = 4;
constexpr std::size_t kFolderSize = 8;
constexpr std::size_t kFileSize = 16;
constexpr std::size_t kDataHeaderSize = 8;

enum HeaderFlag : std::uint16_t { kPrevCabinet = 0x0001, kNextCabinet = 0x0002, kReservePresent = 0x0004 };

struct BitNote {
  std::uint16_t bit;
  const char* text;
};
constexpr BitNote kHeaderFlags[] = {
    {kPrevCabinet, "szCabinetPrev and szDiskPrev are present"},
    {kNextCabinet, "szCabinetNext and szDiskNext are present"},
    {kReservePresent, "reserved area is present"},
};
constexpr BitNote kAttributes[] = {
    {0x01, "read-only"},
    {0x02, "hidden"},
    {0x04, "system file"},
    {0x20, "file modified since last backup"},
    {0x40, "run after extraction"},
    {0x80, "szName[] contains UTF"},
};

void WriteBitNotes(hpi::Writer& out, std::span<const BitNote> notes, std::uint16_t value) {
  for (const BitNote& n : notes) {
    if (value & n.bit) out.WriteNote(n.text);
  }
}

enum CompressionType : std::uint16_t { kNone = 0, kMszip = 1, kQuantum = 2, kLzx = 3, kUnspecified = 15 };

// The type in bits 0 to 3; Quantum keeps its level in bits 4 to 7 and the
// window's size as a power of two in bits 8 to 12, LZX its window likewise.
void WriteCompressionNotes(hpi::Writer& out, std::uint16_t typeCompress) {
  unsigned window = typeCompress >> 8 & 0x1F;
  switch (typeCompress & 0xF) {
    case kNone: out.WriteNote("compression type:No compression"); break;
    case kMszip: out.WriteNote("compression type:MSZIP"); break;
    case kQuantum:
      out.WriteNote("compression type:Quantum");
      out.Note("Quantum level %u", typeCompress >> 4 & 0xF);
      out.Note("window %u bytes(2^%u)", 1u << window, window);
      break;
    case kLzx:
      out.WriteNote("compression type:LZX");
      out.Note("window %u bytes(2^%u)", 1u << window, window);
      break;
    case kUnspecified: out.WriteNote("compression type:Unspecified compression type"); break;
    default: out.WriteNote("compression type:Unkown value"); break;
  }
}

// iFolder values above the folder indexes: a file that spans cabinets.
const char* FolderIndexText(std::uint16_t iFolder) {
  switch (iFolder) {
    case 0xFFFD: return "ifoldCONTINUED_FROM_PREV";
    case 0xFFFE: return "ifoldCONTINUED_TO_NEXT";
    case 0xFFFF: return "ifoldCONTINUED_PREV_AND_NEXT";
    default: return nullptr;
  }
}

struct Folder {
  std::uint64_t at;  // file position of the CFFOLDER entry, whose first field is coffCabStart
  std::uint32_t coffCabStart;
  std::uint16_t cCFData;
};

class CabWalker {
 public:
  CabWalker(hpi::Analysis& a, std::uint64_t base) : in_(a.file, a.fileSize), out_(a.out), base_(base) {}

  bool Run();

 private:
  // Reads a fixed-size record whole: code 6 when the file ends first, 5 otherwise.
  bool ReadRecord(std::uint8_t* bytes, std::size_t size);
  bool Header();
  bool Folders();
  bool Files();
  bool DataBlocks();

  Reader in_;
  hpi::Writer& out_;
  std::uint64_t base_;  // file position of the cabinet's first byte; its offsets count from there
  std::uint32_t cbCabinet_ = 0;
  std::uint32_t coffFiles_ = 0;
  std::uint16_t cFolders_ = 0;
  std::uint16_t cFiles_ = 0;
  std::uint8_t folderReserve_ = 0;
  std::uint8_t dataReserve_ = 0;
  std::vector<Folder> folders_;
};

bool CabWalker::ReadRecord(std::uint8_t* bytes, std::size_t size) {
  std::uint64_t at = in_.Position();
  int got = in_.ReadSome(bytes, size);
  if (got < 0) return false;
  if (static_cast<std::size_t>(got) == size) return true;
  return in_.Fault(in_.AtEnd() ? hpi::kWrongFormat : hpi::kFileReadError, at);
}

bool CabWalker::Header() {
  std::uint8_t h[kHeaderSize];
  WriteLeadingData(out_, base_);
  if (!in_.SeekTo(base_) || !ReadRecord(h, sizeof h)) return false;
  if (std::memcmp(h, "MSCF", 4) != 0) return FailAt(kWrongCabSignature, base_);
  WriteRange(out_, "CFHEADER(Cabinet header)", kBaseLevel, base_, kHeaderSize);
  FieldCursor f(out_, h, base_);
  f.U32("signature");
  out_.WriteComment("'MSCF'");
  f.U32("reserved1");
  cbCabinet_ = f.U32("cbCabinet(cabinet file size)");
  f.U32("reserved2");
  coffFiles_ = f.U32("coffFiles(offset of first CFFILE entry)");
  f.U32("reserved3");
  f.U8("versionMinor(cabinet file format version,minor)");
  f.U8("versionMajor(cabinet file format version,major)");
  cFolders_ = f.U16("cFolders(number of CFFOLDER entries)");
  cFiles_ = f.U16("cFiles(number of CFFILE entries)");
  std::uint16_t flags = f.U16("flags(cabinet file option indicators)");
  WriteBitNotes(out_, kHeaderFlags, flags);
  f.U16("setID(cabinet set id)");
  f.U16("iCabinet(number of this cabinet file)");

  if (flags & kReservePresent) {
    std::uint8_t r[kReserveSizes];
    std::uint64_t at = in_.Position();
    if (!ReadRecord(r, sizeof r)) return false;
    FieldCursor sizes(out_, r, at);
    std::uint16_t cbCFHeader = sizes.U16("cbCFHeader(size of per-cabinet reserved area)");
    folderReserve_ = sizes.U8("cbCFFolder(size of per-folder reserved area)");
    dataReserve_ = sizes.U8("cbCFData(size of per-datablock reserved area)");
    if (cbCFHeader != 0) {
      if (!in_.Holds(cbCFHeader)) return FailAt(hpi::kWrongFormat, at);
      WriteRange(out_, "abReserve(per-cabinet reserved area)", F, in_.Position(), cbCFHeader);
      if (!in_.Skip(cbCFHeader)) return false;
    }
  }
  if (flags & kPrevCabinet) {
    if (!WriteZeroTerminatedField(in_, out_, "szCabinetPrev(Previous cabinet name)") ||
        !WriteZeroTerminatedField(in_, out_, "szDiskPrev(Previous disk name)")) {
      return false;
    }
  }
  if (flags & kNextCabinet) {
    if (!WriteZeroTerminatedField(in_, out_, "szCabinetNext(Next cabinet name)") ||
        !WriteZeroTerminatedField(in_, out_, "szDiskNext(Next disk name)")) {
      return false;
    }
  }
  return true;
}

bool CabWalker::Folders() {
  // The 16-bit count bounds the loop; entries past the end of the file fail at the end.
  folders_.reserve(cFolders_);
  for (std::uint32_t i = 0; i < cFolders_; ++i) {
    std::uint8_t b[kFolderSize];
    std::uint64_t at = in_.Position();
    if (!ReadRecord(b, sizeof b)) return false;
    WriteRange(out_, Indexed("CFFOLDER", i), kBaseLevel, at, kFolderSize);
    FieldCursor f(out_, b, at);
    std::uint32_t start = f.U32("coffCabStart(offset of the first CFDATA)");
    std::uint16_t blocks = f.U16("cCFData(number of CFDATA blocks)");
    WriteCompressionNotes(out_, f.U16("typeCompress(compression type)"));
    folders_.push_back({at, start, blocks});
    if (folderReserve_ != 0) {
      WriteRange(out_, "Reserved area", F, in_.Position(), folderReserve_);
      if (!in_.Skip(folderReserve_)) return false;
    }
  }
  return out_.Ok();
}

bool CabWalker::Files() {
  if (!in_.SeekTo(base_ + coffFiles_)) return false;
  for (std::uint32_t i = 0; i < cFiles_; ++i) {
    std::uint8_t b[kFileSize];
    std::uint64_t at = in_.Position();
    if (!ReadRecord(b, sizeof b)) return false;
    WriteRange(out_, Indexed("CFFILE", i), kBaseLevel, at, kFileSize);
    FieldCursor f(out_, b, at);
    f.U32("cbFile(uncompressed file size)");
    f.U32("uoffFolderStart(file offset after decompression)");
    std::uint16_t iFolder = f.U16("iFolder(index into the CFFOLDER area)");
    if (const char* text = FolderIndexText(iFolder)) {
      out_.WriteComment(text);
    } else if (iFolder >= cFolders_) {
      out_.WriteNote("iFolder is past cFolders");
    }
    out_.WriteComment(DosDateText(f.U16("date")));
    out_.WriteComment(DosTimeText(f.U16("time")));
    WriteBitNotes(out_, kAttributes, f.U16("attribs(file attributes)"));
    if (!WriteZeroTerminatedField(in_, out_, "szName(file name)") || !out_.Ok()) return false;
  }
  return true;
}

bool CabWalker::DataBlocks() {
  std::uint64_t index = 0;
  for (const Folder& folder : folders_) {
    if (base_ + folder.coffCabStart < in_.Position()) return FailAt(hpi::kWrongFormat, folder.at);
    if (!in_.SeekTo(base_ + folder.coffCabStart)) return false;
    for (std::uint32_t i = 0; i < folder.cCFData; ++i, ++index) {
      std::uint64_t at = in_.Position();
      if (dataReserve_ + at - base_ + kDataHeaderSize >= cbCabinet_) return FailAt(hpi::kWrongFormat, at);
      std::uint8_t b[kDataHeaderSize];
      if (!ReadRecord(b, sizeof b)) return false;
      std::uint16_t cbData = hpi::LE16(b + 4);
      std::uint64_t blockSize = kDataHeaderSize + dataReserve_ + cbData;
      // A block cut short by the end of the file is shown up to there.
      WriteRange(out_, Indexed("CFDATA", index), kBaseLevel, at,
                 std::min(blockSize, in_.Position() + in_.Remaining() - at));
      FieldCursor f(out_, b, at);
      f.U32("csum(checksum of this CFDATA entry)");
      f.U16("cbData(number of compressed bytes)");
      f.U16("cbUncomp(number of uncompressed bytes)");
      if (dataReserve_ != 0) {
        if (!in_.Holds(dataReserve_)) return in_.FailHere(hpi::kWrongFormat);
        WriteRange(out_, "abReserve(per-datablock reserved area)", F, in_.Position(), dataReserve_);
        if (!in_.Skip(dataReserve_)) return false;
      }
      if (cbData != 0 && !WriteData(in_, out_, "ab[cbData](compressed data bytes)", F, cbData, hpi::kWrongFormat)) {
        return false;
      }
      if (!out_.Ok()) return false;
    }
  }
  return true;
}

bool CabWalker::Run() {
  if (!Header() || !Folders() || !Files() || !DataBlocks()) return false;
  std::uint64_t end = base_ + cbCabinet_;
  if (end < in_.Size()) WriteRange(out_, "Trailing data", kBaseLevel, end, in_.Size() - end);
  return out_.Ok();
}

}  // namespace

bool WalkCab(hpi::Analysis& analysis, std::uint64_t start) { return CabWalker(analysis, start).Run(); }

}  // namespace kavlore
