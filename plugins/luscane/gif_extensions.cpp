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

// Applications whose sub-blocks carry the looping and buffering values.
constexpr const char* kNetscapeLike[][2] = {{"NETSCAPE", "2.0"}, {"ANIMEXTS", "1.0"}};

bool IsNetscapeLike(const std::uint8_t* identifier, const std::uint8_t* code) {
  for (const auto& application : kNetscapeLike) {
    if (std::memcmp(identifier, application[0], 8) == 0 && std::memcmp(code, application[1], 3) == 0) return true;
  }
  return false;
}

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
  std::uint8_t b[1 + kGraphicControlSize + 1];
  if (Step step = Read(b, 1); step != Step::kDone) return step;
  if (b[0] != kGraphicControlSize) return Fail(kWrongGraphicControl);
  if (Step step = Read(b + 1, sizeof b - 1); step != Step::kDone) return step;
  if (b[5] != 0) return Fail(kWrongGraphicControl);
  ExtensionStart("Graphic Control Extension", at, 2, "Graphic Control Label", kGraphicControlLabel);
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
  return SubBlocks(IsNetscapeLike(b + 1, b + 9) ? Content::kNetscape : Content::kApplicationData);
}

}  // namespace luscane
