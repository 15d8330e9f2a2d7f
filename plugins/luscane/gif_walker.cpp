#include "gif_walker.h"

#include <cstdio>
#include <cstring>

#include "hpi/bytes.h"
#include "luscane.h"

namespace luscane {
namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::uint32_t kHeaderSize = 6;
constexpr std::uint32_t kScreenSize = 7;
constexpr std::uint32_t kDescriptorSize = 10;
constexpr std::size_t kMaxSubBlock = 255;
constexpr std::uint8_t kTableFlag = 0x80;

constexpr BitField kScreenFields[] = {
    {7, 1, "Global Color Table Flag"},
    {4, 7, "Color Resolution"},
    {3, 1, nullptr},
    {0, 7, "Global Color Table Size"},
};
constexpr BitField kDescriptorFields[] = {
    {7, 1, "Local Color Table Flag"}, {6, 1, "Interlace Flag"}, {5, 1, nullptr}, {3, 3, "Reserved"},
    {0, 7, "Local Color Table Size"},
};

bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

}  // namespace

bool AnalyseGif(hpi::Analysis& analysis) { return GifWalker(analysis).Run(); }

// A file that ends inside the block sequence, or before its trailer, fails
// after the last complete structure (a sub-block cut short is shown with a note).
bool GifWalker::Run() {
  Step step = Header();
  if (step == Step::kDone) step = LogicalScreen();
  if (step == Step::kDone) step = Blocks();
  if (step == Step::kEndOfFile) return hpi::FailAt(hpi::kWrongFormat, shown_);
  return step == Step::kDone;
}

Step GifWalker::Read(void* destination, std::size_t n) {
  int got = hpi::ReadBlock(a_.file, destination, n);
  if (got < 0) return Fail(hpi::kFileReadError);
  pos_ += static_cast<std::uint64_t>(got);
  return static_cast<std::size_t>(got) == n ? Step::kDone : Step::kEndOfFile;
}

Step GifWalker::Fail(int code) {
  hpi::Fail(code);
  return Step::kFailed;
}

Step GifWalker::FailAt(int code, std::uint64_t offset) {
  hpi::FailAt(code, offset);
  return Step::kFailed;
}

Step GifWalker::Header() {
  std::uint8_t h[kHeaderSize];
  int got = hpi::ReadBlock(a_.file, h, sizeof h);
  if (got < 0) return Fail(hpi::kFileReadError);
  if (got >= 3 && std::memcmp(h, "GIF", 3) != 0) return Fail(kWrongSignature);
  if (got < 3) return Fail(hpi::kWrongFormat);
  out_.WriteItem("GIF Signaure", kField, 0, 3, h, hpi::ValueKind::Text);
  if (got < static_cast<int>(kHeaderSize)) return FailAt(hpi::kWrongFormat, 3);
  pos_ = kHeaderSize;
  out_.WriteItem("GIF Version", kField, 3, 3, h + 3, hpi::ValueKind::Text);
  const std::uint8_t* version = h + 3;
  if (!IsDigit(version[0]) || !IsDigit(version[1]) || version[2] < 'a' || version[2] > 'z') {
    return FailAt(kWrongVersion, 3);
  }
  extensionsAllowed_ = !(version[0] == '8' && version[1] < '9');
  Shown();
  return Written();
}

Step GifWalker::LogicalScreen() {
  std::uint32_t at = At();
  std::uint8_t d[kScreenSize];
  if (Step step = Read(d, sizeof d); step != Step::kDone) return step;
  out_.WriteItem("Logical Screen Descriptor", kLevel, at, kScreenSize);
  screenWidth_ = hpi::LE16(d);
  screenHeight_ = hpi::LE16(d + 2);
  out_.WriteU16Item("Logical Screen Width", kField, at, screenWidth_);
  out_.WriteU16Item("Logical Screen Height", kField, at + 2, screenHeight_);
  PackedFields(at + 4, d[4], kScreenFields);
  out_.WriteU8Item("Background Color Index", kField, at + 5, d[5]);
  out_.WriteU8Item(extensionsAllowed_ ? "Pixel Aspect Ratio" : "Reserved", kField, at + 6, d[6]);
  Shown();
  if (!out_.Ok()) return Step::kFailed;
  return d[4] & kTableFlag ? ColorTable("Global Color Table", d[4] & 7) : Step::kDone;
}

void GifWalker::PackedFields(std::uint32_t at, std::uint8_t byte, std::span<const BitField> fields) {
  out_.WriteItem("Packed Fields", kField, at, 1);
  for (const BitField& field : fields) {
    std::uint8_t value = static_cast<std::uint8_t>(byte >> field.shift & field.mask);
    out_.WriteValue(1, &value, hpi::ValueKind::Unsigned);
    const char* sortName = extensionsAllowed_ ? "Sort Flag" : "Reserved";
    out_.WriteComment(field.name != nullptr ? field.name : sortName);
  }
}

// 2^(size + 1) RGB triples.
Step GifWalker::ColorTable(const char* name, std::uint8_t sizeBits) {
  std::uint32_t at = At();
  std::uint32_t entries = 2u << sizeBits;
  std::uint8_t rgb[3 * 256];
  if (Step step = Read(rgb, 3 * entries); step != Step::kDone) return step;
  out_.WriteItem(name, kLevel, at, 3 * entries);
  static constexpr const char* kChannels[] = {"Red[%u]", "Green[%u]", "Blue[%u]"};
  for (std::uint32_t i = 0; i < 3 * entries; ++i) {
    char field[16];
    std::snprintf(field, sizeof field, kChannels[i % 3], i / 3);
    out_.WriteU8Item(field, kField, at + i, rgb[i]);
  }
  Shown();
  return Written();
}

Step GifWalker::Blocks() {
  for (;;) {
    std::uint8_t introducer;
    if (Step step = Read(&introducer, 1); step != Step::kDone) return step;
    Step step = Step::kFailed;
    switch (introducer) {
      case kExtensionIntroducer: step = Extension(); break;
      case kImageSeparator: step = Image(); break;
      case kTrailer: Trailer(At() - 1); return Written();
      default: return Fail(hpi::kWrongFormat);
    }
    if (step != Step::kDone) return step;
  }
}

// Image descriptor, local colour table, LZW minimum code size and the data sub-blocks.
Step GifWalker::Image() {
  std::uint32_t at = At() - 1;
  std::uint8_t d[kDescriptorSize - 1];
  if (Step step = Read(d, sizeof d); step != Step::kDone) return step;
  out_.WriteItem("Image Descriptor", kLevel, at, kDescriptorSize);
  out_.WriteU8Item("Image Separator", kField, at, kImageSeparator);
  out_.WriteU16Item("Image Left Position", kField, at + 1, hpi::LE16(d));
  out_.WriteU16Item("Image Top Position", kField, at + 3, hpi::LE16(d + 2));
  out_.WriteU16Item("Image Width", kField, at + 5, hpi::LE16(d + 4));
  out_.WriteU16Item("Image Height", kField, at + 7, hpi::LE16(d + 6));
  if (hpi::LE16(d) + hpi::LE16(d + 4) > screenWidth_ || hpi::LE16(d + 2) + hpi::LE16(d + 6) > screenHeight_) {
    out_.Note("the image runs past the logical screen (%u x %u)", screenWidth_, screenHeight_);
  }
  PackedFields(at + 9, d[8], kDescriptorFields);
  Shown();
  if (!out_.Ok()) return Step::kFailed;
  if (d[8] & kTableFlag) {
    if (Step step = ColorTable("Local Color Table", d[8] & 7); step != Step::kDone) return step;
  }
  std::uint8_t codeSize;
  if (Step step = Read(&codeSize, 1); step != Step::kDone) return step;
  out_.WriteItem("Table Based Image Data", kLevel, At() - 1, 1);
  out_.WriteU8Item("LZW Minimum Code Size", kField, At() - 1, codeSize);
  Shown();
  return SubBlocks(Content::kImageData);
}

// Size-prefixed sub-blocks up to the zero-length block terminator. A block
// that runs past the end of the file is shown with the bytes that are there.
Step GifWalker::SubBlocks(Content content) {
  std::uint8_t data[kMaxSubBlock];
  for (;;) {
    std::uint32_t at = At();
    std::uint8_t size;
    if (Step step = Read(&size, 1); step != Step::kDone) return step;
    if (size == 0) {
      out_.WriteU8Item("Block Terminator", kLevel, at, 0);
      Shown();
      return Written();
    }
    int got = hpi::ReadBlock(a_.file, data, size);
    if (got < 0) return Fail(hpi::kFileReadError);
    pos_ += static_cast<std::uint64_t>(got);
    std::uint32_t present = static_cast<std::uint32_t>(got);
    out_.WriteItem("Data Sub Block", kLevel, at, 1 + present);
    out_.WriteU8Item("Block Size", kField, at, size);
    if (present < size) out_.Note("%u bytes past the end of the file", size - present);
    if (present > 0) SubBlockContent(content, at + 1, data, size, present);
    if (!out_.Ok()) return Step::kFailed;
    if (present < size) return Step::kEndOfFile;
    Shown();
  }
}

void GifWalker::SubBlockContent(Content content, std::uint32_t at, const std::uint8_t* data, std::uint32_t size,
                                std::uint32_t present) {
  switch (content) {
    case Content::kImageData: out_.WriteItem("Image Data", kField, at, present); return;
    case Content::kComment: out_.WriteItem("Comment Data", kField, at, present, data, hpi::ValueKind::Text); return;
    case Content::kPlainText:
      out_.WriteItem("Plain Text Data", kField, at, present, data, hpi::ValueKind::Text);
      return;
    case Content::kNetscape:
      // Looping (3 bytes) and buffering (5 bytes) sub-blocks: an id in the low bits, then the value.
      if (present == size && (size == 3 || size == 5)) {
        out_.WriteU8Item("NetScape Extension Code", kField, at, data[0] & 7u);
        if (size == 3) {
          out_.WriteU16Item("Loop Count", kField, at + 1, hpi::LE16(data + 1));
        } else {
          out_.WriteU32Item("Buffering Size", kField, at + 1, hpi::LE32(data + 1));
        }
        return;
      }
      [[fallthrough]];
    case Content::kApplicationData: out_.WriteItem("Application Data", kField, at, present); return;
    case Content::kIccProfile: out_.WriteItem("ICC Profile Data", kField, at, present); return;
  }
}

void GifWalker::Trailer(std::uint32_t at) {
  out_.WriteU8Item("GIF Trailer", kLevel, at, kTrailer);
  Shown();
  if (a_.fileSize > pos_) out_.WriteItem("Trailing Data", kLevel, At(), static_cast<std::uint32_t>(a_.fileSize - pos_));
}

}  // namespace luscane
