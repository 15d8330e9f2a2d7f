// The ZIP walk: records one after the other from the archive's first byte, each
// introduced by its signature, up to the end of central directory record.
#include <algorithm>
#include <vector>

#include "hpi/bytes.h"
#include "items.h"
#include "kavlore.h"
#include "time_text.h"
#include "zip.h"

namespace kavlore {
namespace {

using namespace zip;

constexpr int kRecordLevel = kBaseLevel + 1;
constexpr int kExtraLevel = kRecordLevel + 1;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::uint64_t kZip64EndFixedPart = 44;  // fields after the record's size field
constexpr std::uint16_t kStreamed = 0x0008;       // sizes and crc-32 follow the data in a data descriptor
constexpr std::uint16_t kMaskedHeader = 0x2000;   // the central directory is encrypted

// The fields that local and central headers share, from "version needed to
// extract" to "extra field length".
struct EntryFields {
  std::uint16_t flag;
  std::uint32_t crc;
  std::uint32_t compressed;
  std::uint32_t uncompressed;
  std::uint16_t nameLength;
  std::uint16_t extraLength;
};

// What a local header said, for the central header that points to it.
struct LocalSummary {
  std::uint64_t position;
  EntryFields fields;
  std::uint64_t nameHash;
};

void NoteDifference(FieldCursor& f, const LocalSummary* local, bool differs) {
  if (local != nullptr && differs) f.Note("differs from the local file header");
}

// Sizes kept in zip64 extra blocks are not compared.
bool SizesDiffer(std::uint32_t local, std::uint32_t central) {
  return local != central && local != kZip64Marker && central != kZip64Marker;
}

// A central header's fields are compared with those of its local header, when
// that one holds them (not streamed, not masked).
EntryFields WriteEntryFields(hpi::Writer& out, FieldCursor& f, const std::uint8_t* method,
                             const LocalSummary* local = nullptr) {
  constexpr std::uint16_t kStreamedOrMasked = 0x0008 | 0x2000;
  EntryFields e{};
  f.U16("version needed to extract");
  e.flag = f.U16("general purpose bit flag");
  if (f.Wrote()) WriteFlagNotes(out, e.flag, hpi::LE16(method));  // the notes depend on the method that follows
  NoteDifference(f, local, local && local->fields.flag != e.flag);
  f.Comment(MethodText(f.U16("compression method")));
  f.Comment(DosTimeText(f.U16("last mod file time")));
  f.Comment(DosDateText(f.U16("last mod file date")));
  const LocalSummary* sized = local && !(local->fields.flag & kStreamedOrMasked) ? local : nullptr;
  e.crc = f.U32("crc-32");
  NoteDifference(f, sized, sized && sized->fields.crc != e.crc);
  e.compressed = f.U32("compressed size");
  NoteDifference(f, sized, sized && SizesDiffer(sized->fields.compressed, e.compressed));
  e.uncompressed = f.U32("uncompressed size");
  NoteDifference(f, sized, sized && SizesDiffer(sized->fields.uncompressed, e.uncompressed));
  e.nameLength = f.U16("filename length");
  e.extraLength = f.U16("extra field length");
  return e;
}

class ZipWalker {
 public:
  explicit ZipWalker(hpi::Analysis& a) : in_(a.file, a.fileSize), out_(a.out) {
    haveLayout_ = FindLayout(a.file, a.fileSize, layout_);
  }

  bool Run(std::uint64_t first);

 private:
  struct Record {
    std::uint32_t signature;
    bool (ZipWalker::*walk)();
    bool last;  // the walk ends after this record
  };
  static const Record kRecords[];

  // Reads the rest of a record whose signature is already in record_: the count
  // of the record's bytes that the file holds, or -1 after a read error.
  int ReadRecord(std::size_t size) {
    int got = kavlore::ReadRecord(in_, record_ + 4, size - 4);
    return got < 0 ? -1 : got + 4;
  }
  std::uint64_t RecordStart() const { return start_; }

  bool IsEncryptedDirectory() const {
    return maskedHeaders_ && haveLayout_ && layout_.entries.empty() && start_ == layout_.directoryStart &&
           layout_.directoryEnd > start_;
  }
  bool LocalFileHeader();
  bool DataDescriptor(std::uint64_t index, std::uint64_t compressedSize, bool zip64);
  bool CentralFileHeader();
  bool DigitalSignature();
  bool Zip64EndOfCentralDirectory();
  bool Zip64Locator();
  bool EndOfCentralDirectory();

  // A hash (FNV-1a) of the name that starts at the reader's position, which does not move.
  bool HashName(std::uint16_t length, std::uint64_t& hash);
  const LocalSummary* LocalAt(std::uint64_t position) const;

  Reader in_;
  hpi::Writer& out_;
  std::vector<LocalSummary> locals_;  // in file order
  std::uint64_t first_ = 0;           // the archive's first record
  std::uint64_t shift_ = 0;           // added to stored offsets, known at the first central header
  std::uint64_t directoryStart_ = 0;  // the first central header, once seen
  std::uint64_t directoryEnd_ = 0;    // where the end records begin, once seen
  Layout layout_;
  bool haveLayout_ = false;
  bool maskedHeaders_ = false;  // a local header says that the central directory is encrypted
  bool encryptedDirectory_ = false;
  std::uint8_t record_[kCentralHeaderSize + 10] = {};
  std::uint64_t start_ = 0;
  std::uint64_t localIndex_ = 1;
  std::uint64_t centralIndex_ = 1;
};

const ZipWalker::Record ZipWalker::kRecords[] = {
    {kLocalFileHeader, &ZipWalker::LocalFileHeader, false},
    {kCentralFileHeader, &ZipWalker::CentralFileHeader, false},
    {kDigitalSignature, &ZipWalker::DigitalSignature, false},
    {kZip64EndOfCentralDirectory, &ZipWalker::Zip64EndOfCentralDirectory, false},
    {kZip64Locator, &ZipWalker::Zip64Locator, false},
    {kEndOfCentralDirectory, &ZipWalker::EndOfCentralDirectory, true},
};

bool ZipWalker::Run(std::uint64_t first) {
  first_ = first;
  shift_ = first;
  WriteLeadingData(out_, first);
  if (!in_.SeekTo(first)) return false;
  for (;;) {
    start_ = in_.Position();
    int got = in_.ReadSome(record_, 4);
    if (got < 0) return false;
    if (got < 4) return FailAt(hpi::kWrongFormat, start_);
    const Record* record = nullptr;
    for (const Record& r : kRecords) {
      if (r.signature == hpi::LE32(record_)) record = &r;
    }
    if (record == nullptr && IsEncryptedDirectory()) {
      // Central directory encryption hides the directory's headers; the end records tell where it ends.
      WriteRange(out_, "Central directory(encrypted)", kBaseLevel, start_, layout_.directoryEnd - start_);
      encryptedDirectory_ = true;
      if (!in_.SeekTo(layout_.directoryEnd)) return false;
      continue;
    }
    if (record == nullptr) return FailAt(hpi::kWrongFormat, start_);
    if (!(this->*record->walk)() || !out_.Ok()) return false;
    if (record->last) return true;
  }
}

// Headings come before the record is read, so that a record cut short by the
// end of the file still shows where it began.
bool ZipWalker::LocalFileHeader() {
  if (localIndex_ == 1) out_.WriteName("Local file", kBaseLevel);
  std::uint64_t n = localIndex_++;
  out_.WriteName(Indexed("local file header", n), kRecordLevel);
  int got = ReadRecord(kLocalHeaderSize);
  if (got < 0) return false;
  FieldCursor f(out_, record_, RecordStart(), static_cast<std::size_t>(got));
  f.U32("local file header signature");
  EntryFields e = WriteEntryFields(out_, f, record_ + 8);
  if (!f.Complete(kWrongLocalField)) return false;
  if (e.flag & kMaskedHeader) maskedHeaders_ = true;
  std::uint64_t nameHash = 0;
  if (!HashName(e.nameLength, nameHash)) return false;
  locals_.push_back({RecordStart(), e, nameHash});
  if (!WriteTextField(in_, out_, "filename", e.nameLength, hpi::kWrongFormat)) return false;
  Zip64Values zip64;
  MarkedFields marked{e.uncompressed == kZip64Marker, e.compressed == kZip64Marker, false, false};
  if (e.extraLength != 0 && !WalkExtraField(in_, out_, kExtraLevel, e.extraLength, Form::Local, marked, zip64)) {
    return false;
  }
  std::uint64_t dataSize = e.compressed;
  if (e.compressed == kZip64Marker && zip64.compressedSize) dataSize = *zip64.compressedSize;
  // A streamed entry's local header has no sizes: its data runs to the data
  // descriptor, whose place only the central directory tells.
  if ((e.flag & kStreamed) && dataSize == 0) {
    if (const CentralEntry* entry = layout_.EntryAt(RecordStart())) dataSize = entry->compressedSize;
  }
  if (dataSize != 0 &&
      !WriteData(in_, out_, Indexed("Compressed file data", n), kRecordLevel, dataSize, kWrongLocalField)) {
    return false;
  }
  if (e.flag & kStreamed) return DataDescriptor(n, dataSize, zip64.present);
  return true;
}

// The descriptor's signature is optional, and its sizes take 8 bytes each in a
// zip64 entry. Its compressed size must repeat the size of the data just passed
// unless the signature marks it.
bool ZipWalker::DataDescriptor(std::uint64_t index, std::uint64_t compressedSize, bool zip64) {
  std::uint64_t start = in_.Position();
  std::uint8_t d[24] = {};
  int got = in_.ReadSome(d, sizeof d);
  if (got < 0) return false;
  bool signature = got >= 4 && hpi::LE32(d) == kDataDescriptor;
  std::size_t crcAt = signature ? 4 : 0;
  auto matches = [&](std::size_t width) {
    const std::uint8_t* size = d + crcAt + 4;
    return width == 8 ? hpi::LE64(size) == compressedSize : hpi::LE32(size) == compressedSize;
  };
  std::size_t preferred = zip64 ? 8 : 4;
  std::size_t other = 12 - preferred;
  std::size_t width = matches(preferred) ? preferred : matches(other) ? other : signature ? preferred : 0;
  if (width == 0) return FailAt(kWrongDescriptorSignature, start);
  std::size_t length = crcAt + 4 + 2 * width;
  if (static_cast<std::size_t>(got) < length) return FailAt(kWrongDescriptorField, start);

  WriteRange(out_, Indexed("Data descriptor", index), kRecordLevel, start, length);
  FieldCursor f(out_, d, start);
  if (signature) f.U32("signature");
  f.U32("crc-32");
  if (width == 8) {
    f.Long("compressed size");
    f.Long("uncompressed size");
  } else {
    f.U32("compressed size");
    f.U32("uncompressed size");
  }
  return in_.SeekTo(start + length);
}

bool ZipWalker::CentralFileHeader() {
  bool first = centralIndex_ == 1;
  if (first) {
    out_.WriteName("Central directory", kBaseLevel);
    directoryStart_ = RecordStart();
  }
  out_.WriteName(Indexed("Central file header", centralIndex_++), kRecordLevel);
  int got = ReadRecord(kCentralHeaderSize);
  if (got < 0) return false;
  std::uint32_t offset = hpi::LE32(record_ + 42);
  // Offsets count from the archive's start, or from the file's when a
  // self-extractor's writer adjusted them.
  if (first) shift_ = LocalAt(offset + first_) == nullptr && LocalAt(offset) != nullptr ? 0 : first_;
  // A header cut short is not compared: its offset is not there.
  bool whole = static_cast<std::size_t>(got) == kCentralHeaderSize;
  const LocalSummary* local = whole ? LocalAt(offset + shift_) : nullptr;
  FieldCursor f(out_, record_, RecordStart(), static_cast<std::size_t>(got));
  f.U32("Central file header signature");
  std::uint16_t madeBy = f.U16("version made by");
  f.Comment(VersionMadeByText(madeBy));
  EntryFields e = WriteEntryFields(out_, f, record_ + 10, local);
  std::uint16_t commentLength = f.U16("file comment length");
  std::uint16_t disk = f.U16("disk number start");
  f.U16("internal file attributes");
  std::uint32_t attributes = f.U32("external file attributes");
  if (f.Wrote()) WriteExternalAttributeNotes(out_, madeBy, attributes);
  f.U32("relative offset of local header");
  if (local == nullptr && offset != kZip64Marker && !locals_.empty()) {
    f.Note("no local file header was met at this offset");
  }
  if (!f.Complete(kWrongLocalField)) return false;

  std::uint64_t nameHash = 0;
  if (!HashName(e.nameLength, nameHash)) return false;
  if (!WriteTextField(in_, out_, "filename", e.nameLength, hpi::kWrongFormat)) return false;
  if (local != nullptr && !(local->fields.flag & kMaskedHeader) && local->nameHash != nameHash && e.nameLength != 0) {
    out_.WriteNote("differs from the local file header");
  }
  Zip64Values zip64;
  MarkedFields marked{e.uncompressed == kZip64Marker, e.compressed == kZip64Marker, offset == kZip64Marker,
                      disk == 0xFFFF};
  if (e.extraLength != 0 && !WalkExtraField(in_, out_, kExtraLevel, e.extraLength, Form::Central, marked, zip64)) {
    return false;
  }
  out_.WriteGroupEnd(kExtraLevel);
  return WriteTextField(in_, out_, "file comment", commentLength, hpi::kWrongFormat);
}

bool ZipWalker::HashName(std::uint16_t length, std::uint64_t& hash) {
  std::uint64_t start = in_.Position();
  if (!in_.Holds(length)) return FailAt(hpi::kWrongFormat, start);
  hash = 0xCBF29CE484222325;
  std::uint8_t chunk[4096];
  for (std::size_t left = length; left > 0;) {
    std::size_t n = std::min(left, sizeof chunk);
    if (!in_.Read(chunk, n, hpi::kWrongFormat)) return false;
    for (std::size_t i = 0; i < n; ++i) hash = (hash ^ chunk[i]) * 0x100000001B3;
    left -= n;
  }
  return in_.SeekTo(start);
}

const LocalSummary* ZipWalker::LocalAt(std::uint64_t position) const {
  auto it = std::lower_bound(locals_.begin(), locals_.end(), position,
                             [](const LocalSummary& l, std::uint64_t at) { return l.position < at; });
  return it != locals_.end() && it->position == position ? &*it : nullptr;
}

bool ZipWalker::DigitalSignature() {
  out_.WriteName("Digital signature", kRecordLevel);
  std::uint16_t size = 0;
  if (!in_.U16(size, kWrongLocalField)) return false;
  if (!in_.Holds(size)) return in_.FailHere(kWrongLocalField);
  out_.WriteItem("header signature", F, RecordStart(), 4, record_);
  out_.WriteU16Item("size of data", F, RecordStart() + 4, size);
  if (size != 0) WriteRange(out_, "signature data", F, in_.Position(), size);
  return in_.Skip(size);
}

bool ZipWalker::Zip64EndOfCentralDirectory() {
  if (directoryEnd_ == 0) directoryEnd_ = RecordStart();
  out_.WriteName("Zip64 end of central directory record", kBaseLevel);
  int got = ReadRecord(kZip64EndSize);
  if (got < 0) return false;
  FieldCursor f(out_, record_, RecordStart(), static_cast<std::size_t>(got));
  f.U32("zip64 end of central dir signature");
  std::uint64_t size = f.Long("size of zip64 end of central directory record");
  f.Comment(VersionMadeByText(f.U16("version made by")));
  f.U16("version needed to extract");
  f.U32("number of this disk");
  f.U32("number of the disk with the start of the central directory");
  f.Long("total number of entries in the central directory on this disk");
  f.Long("total number of entries in the central directory");
  f.Long("size of the central directory");
  f.Long("offset of start of central directory with respect to the starting disk number");
  if (!f.Complete(kWrongLocalField)) return false;
  if (size < kZip64EndFixedPart || !in_.Holds(size - kZip64EndFixedPart)) {
    return FailAt(kWrongLocalField, RecordStart() + 4);
  }
  std::uint64_t extensible = size - kZip64EndFixedPart;
  if (extensible != 0) WriteRange(out_, "zip64 extensible data sector", F, in_.Position(), extensible);
  return in_.Skip(extensible);
}

bool ZipWalker::Zip64Locator() {
  out_.WriteName("Zip64 end of central directory locator", kBaseLevel);
  int got = ReadRecord(kZip64LocatorSize);
  if (got < 0) return false;
  FieldCursor f(out_, record_, RecordStart(), static_cast<std::size_t>(got));
  f.U32("zip64 end of central dir locator signature");
  f.U32("number of the disk with the start of the zip64 end of central directory");
  f.Long("relative offset of the zip64 end of central directory record");
  f.U32("total number of disks");
  return f.Complete(kWrongLocalField);
}

bool ZipWalker::EndOfCentralDirectory() {
  out_.WriteName("End of Central directory", kBaseLevel);
  int got = ReadRecord(kEndRecordSize);
  if (got < 0) return false;
  FieldCursor f(out_, record_, RecordStart(), static_cast<std::size_t>(got));
  if (directoryEnd_ == 0) directoryEnd_ = RecordStart();
  // The counts, size and offset are checked against the directory just walked,
  // unless they are left to the zip64 end record or the directory is encrypted.
  bool check = !encryptedDirectory_;
  std::uint64_t headers = centralIndex_ - 1;
  std::uint64_t size = headers == 0 ? 0 : directoryEnd_ - directoryStart_;
  std::uint64_t offset = (headers == 0 ? RecordStart() : directoryStart_) - shift_;
  auto noteCount = [&](std::uint16_t value) {
    if (check && value != 0xFFFF && value != headers) {
      f.Note(ShortText("the central directory holds ").Number(headers).Append(" headers"));
    }
  };
  f.U32("End of central dir signature");
  f.U16("Number of this disk");
  f.U16("Number of the disk with the start of the central directory");
  noteCount(f.U16("Total number of entries in the central dir on this disk"));
  noteCount(f.U16("Total number of entries in the central dir"));
  std::uint32_t storedSize = f.U32("Size of the central directory");
  if (check && storedSize != kZip64Marker && storedSize != size) {
    f.Note(ShortText("the central directory takes ").Number(size).Append(" bytes"));
  }
  std::uint32_t storedOffset = f.U32("Offset of start of central directory with respect to the starting disk number");
  if (check && storedOffset != kZip64Marker && storedOffset != offset) {
    f.Note(ShortText("the central directory starts at ").Number(offset));
  }
  std::uint16_t commentLength = f.U16("zipfile comment length");
  if (!f.Complete(kWrongLocalField)) return false;
  return WriteTextField(in_, out_, "Zipfile comment", commentLength, hpi::kWrongFormat);
}

}  // namespace

bool WalkZip(hpi::Analysis& analysis, std::uint64_t start) { return ZipWalker(analysis).Run(start); }

}  // namespace kavlore
