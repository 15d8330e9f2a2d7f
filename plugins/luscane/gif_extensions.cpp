// The GIF89a extension blocks: graphic control, comment, plain text and application.
#include <cstring>

#include "gif_walker.h"
#include "hpi/bytes.h"
#include "luscane.h"

namespace luscane {
namespace {

constexpr std::uint8_t kIntroducer = 0x21;
constexpr std::uint8_t kPlainTextLabel = 0x01;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;
constexpr std::uint8_t kCommentLabel = 0xFE;
constexpr std::uint8_t kApplicationLabel = 0xFF;

constexpr std::uint8_t kGraphicControlSize = 4;
constexpr std::uint8_t kPlainTextSize = 12;
constexpr std::uint8_t kApplicationSize = 11;

constexpr BitField kGraphicControlFields[] = {
    {5, 7, "Reserved"},
    {2, 7, "Disposal Method"},
    {1, 1, "UserInput Flag"},
    {0, 1, "Transparent Color Flag"},
};

// Applications whose data the walk knows: the looping and buffering sub-blocks
// of Netscape and ANIMEXTS, an XMP packet, an ICC profile in sub-blocks.
enum class Known { kNone, kNetscape, kXmp, kIcc };
struct KnownApplication {
  const char* identifier;
  const char* code;
  Known kind;
};
constexpr KnownApplication kApplications[] = {
    {"NETSCAPE", "2.0", Known::kNetscape},
    {"ANIMEXTS", "1.0", Known::kNetscape},
    {"XMP Data", "XMP", Known::kXmp},
    {"ICCRGBG1", "012", Known::kIcc},
};

Known KindOf(const std::uint8_t* identifier, const std::uint8_t* code) {
  for (const KnownApplication& application : kApplications) {
    if (std::memcmp(identifier, application.identifier, 8) == 0 && std::memcmp(code, application.code, 3) == 0) {
      return application.kind;
    }
  }
  return Known::kNone;
}

// The XMP packet's magic trailer: 0x01, then 0xFF down to 0x00. Read as
// sub-blocks, it makes a GIF decoder step over the raw packet bytes.
constexpr std::uint32_t kXmpTrailerSize = 257;
constexpr std::size_t kScanChunk = 4096;

std::uint8_t TrailerByte(std::uint32_t index) { return static_cast<std::uint8_t>(index == 0 ? 1 : 256 - index); }

}  // namespace

// GIF87a has no extension blocks, but decoders read them in such files too.
Step GifWalker::Extension() {
  std::uint32_t at = At() - 1;
  std::uint8_t label;
  if (Step step = Read(&label, 1); step != Step::kDone) return step;
  switch (label) {
    case kPlainTextLabel: return PlainText(at);
    case kGraphicControlLabel: return GraphicControl(at);
    case kCommentLabel: return CommentExtension(at);
    case kApplicationLabel: return Application(at);
    default: return Fail(hpi::kWrongFormat);
  }
}

void GifWalker::ExtensionStart(const char* name, std::uint32_t at, std::uint32_t size, const char* labelName,
                               std::uint8_t label) {
  out_.WriteItem(name, kLevel, at, size);
  if (!extensionsAllowed_ && !versionNoted_) {
    out_.WriteNote("the GIF Version is 87a; extension blocks came with 89a");
    versionNoted_ = true;
  }
  out_.WriteU8Item("Extension Introducer Label", kField, at, kIntroducer);
  out_.WriteU8Item(labelName, kField, at + 1, label);
}

// One fixed sub-block of 4 bytes and the terminator.
Step GifWalker::GraphicControl(std::uint32_t at) {
  ExtensionStart("Graphic Control Extension", at, 2, "Graphic Control Label", kGraphicControlLabel);
  Shown();
  std::uint8_t b[1 + kGraphicControlSize + 1];
  if (Step step = Read(b, 1); step != Step::kDone) return step;
  if (b[0] != kGraphicControlSize) return Fail(kWrongGraphicControl);
  if (Step step = Read(b + 1, sizeof b - 1); step != Step::kDone) return step;
  if (b[5] != 0) return FailAt(kWrongGraphicControl, at + 7);
  out_.WriteItem("Data Sub Block", kLevel, at + 2, 1 + kGraphicControlSize);
  out_.WriteU8Item("Block Size", kField, at + 2, b[0]);
  PackedFields(at + 3, b[1], kGraphicControlFields);
  out_.WriteU16Item("Delay Time", kField, at + 4, hpi::LE16(b + 2));
  out_.WriteU8Item("Transparent Color Index", kField, at + 6, b[4]);
  out_.WriteU8Item("Block Terminator", kLevel, at + 7, 0);
  Shown();
  return Written();
}

Step GifWalker::CommentExtension(std::uint32_t at) {
  ExtensionStart("Comment Extension", at, 2, "Comment Label", kCommentLabel);
  Shown();
  return SubBlocks(Content::kComment);
}

// A text grid and character cells, then the text in sub-blocks.
Step GifWalker::PlainText(std::uint32_t at) {
  std::uint8_t b[1 + kPlainTextSize];
  if (Step step = Read(b, 1); step != Step::kDone) return step;
  if (b[0] != kPlainTextSize) return Fail(kWrongPlainText);
  if (Step step = Read(b + 1, kPlainTextSize); step != Step::kDone) return step;
  ExtensionStart("Plain Text Extension", at, 3 + kPlainTextSize, "Plain Text Label", kPlainTextLabel);
  out_.WriteU8Item("Block Size", kField, at + 2, b[0]);
  out_.WriteU16Item("Text Grid Left Position", kField, at + 3, hpi::LE16(b + 1));
  out_.WriteU16Item("Text Grid Top Position", kField, at + 5, hpi::LE16(b + 3));
  out_.WriteU16Item("Text Grid Width", kField, at + 7, hpi::LE16(b + 5));
  out_.WriteU16Item("Text Grid Height", kField, at + 9, hpi::LE16(b + 7));
  out_.WriteU8Item("Character Cell Width", kField, at + 11, b[9]);
  out_.WriteU8Item("Character Cell Height", kField, at + 12, b[10]);
  out_.WriteU8Item("Text Foreground Color Index", kField, at + 13, b[11]);
  out_.WriteU8Item("Text Background Color Index", kField, at + 14, b[12]);
  Shown();
  if (!out_.Ok()) return Step::kFailed;
  return SubBlocks(Content::kPlainText);
}

// An 8-byte identifier and a 3-byte authentication code, then the application's sub-blocks.
Step GifWalker::Application(std::uint32_t at) {
  std::uint8_t b[1 + kApplicationSize];
  if (Step step = Read(b, 1); step != Step::kDone) return step;
  if (b[0] != kApplicationSize) return Fail(kWrongApplication);
  if (Step step = Read(b + 1, kApplicationSize); step != Step::kDone) return step;
  ExtensionStart("Application Extension", at, 3 + kApplicationSize, "Application Extension Label", kApplicationLabel);
  out_.WriteU8Item("Block Size", kField, at + 2, b[0]);
  out_.WriteItem("Application Identifier", kField, at + 3, 8, b + 1, hpi::ValueKind::Text);
  out_.WriteItem("Application Authentication Code", kField, at + 11, 3, b + 9, hpi::ValueKind::Text);
  Shown();
  if (!out_.Ok()) return Step::kFailed;
  switch (KindOf(b + 1, b + 9)) {
    case Known::kNetscape: return SubBlocks(Content::kNetscape);
    case Known::kXmp: return XmpPacket();
    case Known::kIcc: return SubBlocks(Content::kIccProfile);
    case Known::kNone: break;
  }
  return SubBlocks(Content::kApplicationData);
}

// The packet's raw bytes up to the magic trailer, then the block terminator.
// Without a trailer before the end of the file the data is read as sub-blocks.
Step GifWalker::XmpPacket() {
  std::uint64_t start = pos_;
  std::uint32_t matched = 0;
  std::uint8_t chunk[kScanChunk];
  for (;;) {
    int got = hpi::ReadBlock(a_.file, chunk, sizeof chunk);
    if (got < 0) return Fail(hpi::kFileReadError);
    if (got == 0) break;
    for (int i = 0; i < got; ++i) {
      matched = chunk[i] == TrailerByte(matched) ? matched + 1 : chunk[i] == TrailerByte(0) ? 1 : 0;
      if (matched < kXmpTrailerSize) continue;
      pos_ += static_cast<std::uint64_t>(i) + 1;
      std::uint64_t trailer = pos_ - kXmpTrailerSize;
      out_.WriteItem("XMP Packet", kLevel, start, trailer - start);
      out_.WriteItem("XMP Magic Trailer", kLevel, trailer, kXmpTrailerSize);
      Shown();
      if (!out_.Ok()) return Step::kFailed;
      if (!a_.file.Seek(static_cast<std::int64_t>(pos_))) return Fail(hpi::kFileReadError);
      return SubBlocks(Content::kApplicationData);
    }
    pos_ += static_cast<std::uint64_t>(got);
  }
  pos_ = start;
  if (!a_.file.Seek(static_cast<std::int64_t>(pos_))) return Fail(hpi::kFileReadError);
  return SubBlocks(Content::kApplicationData);
}

}  // namespace luscane
