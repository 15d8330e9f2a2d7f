// The GIF block walk: header, logical screen, colour tables and the block
// sequence up to the trailer.
#pragma once

#include <cstdint>
#include <span>

#include "hpi/plugin.h"

namespace luscane {

// How a step ended: done, failed with its code recorded, or at the end of the file.
enum class Step { kDone, kFailed, kEndOfFile };

// What the data sub-blocks of a block carry.
enum class Content { kImageData, kComment, kPlainText, kApplicationData, kNetscape, kIccProfile };

// One value of a packed byte: (byte >> shift) & mask, remarked with its name;
// a null name is bit 3 or 5, the sort flag of 89a and reserved in 87a.
struct BitField {
  std::uint8_t shift;
  std::uint8_t mask;
  const char* name;
};

class GifWalker {
 public:
  explicit GifWalker(hpi::Analysis& analysis) : a_(analysis), out_(analysis.out) {}

  bool Run();

 private:
  static constexpr int kLevel = 1;
  static constexpr int kField = hpi::kFieldLevel;

  Step Header();
  Step LogicalScreen();
  Step ColorTable(const char* name, std::uint8_t sizeBits);
  Step Blocks();
  Step Image();
  Step Extension();
  Step GraphicControl(std::uint32_t at);
  Step CommentExtension(std::uint32_t at);
  Step PlainText(std::uint32_t at);
  Step Application(std::uint32_t at);
  Step XmpPacket();
  Step SubBlocks(Content content);
  void SubBlockContent(Content content, std::uint32_t at, const std::uint8_t* data, std::uint32_t size,
                       std::uint32_t present);
  void PackedFields(std::uint32_t at, std::uint8_t byte, std::span<const BitField> fields);
  void ExtensionStart(const char* name, std::uint32_t at, std::uint32_t size, const char* labelName,
                      std::uint8_t label);
  void Trailer(std::uint32_t at);

  // Reads n bytes: kEndOfFile when the file ends first, kFailed (code 5) on a read error.
  Step Read(void* destination, std::size_t n);
  Step Fail(int code);
  Step FailAt(int code, std::uint64_t offset);
  // The structures up to here are complete.
  void Shown() { shown_ = pos_; }
  std::uint32_t At() const { return static_cast<std::uint32_t>(pos_); }
  Step Written() const { return out_.Ok() ? Step::kDone : Step::kFailed; }

  hpi::Analysis& a_;
  hpi::Writer& out_;
  std::uint64_t pos_ = 0;    // the file position
  std::uint64_t shown_ = 0;  // the end of the last complete structure
  bool extensionsAllowed_ = true;
  unsigned screenWidth_ = 0;
  unsigned screenHeight_ = 0;
  bool versionNoted_ = false;  // an extension in a GIF87a file has been noted
};

}  // namespace luscane
