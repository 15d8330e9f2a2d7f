#include "bmp_rle.h"

#include <algorithm>

namespace voltane {
namespace {

constexpr int F = hpi::kFieldLevel;
constexpr std::uint32_t kMaxCodes = 4096;  // codes shown one by one
constexpr std::uint8_t kEscape = 0;
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;

class RleWalker {
 public:
  RleWalker(hpi::Analysis& analysis, const RleImage& image) : a_(analysis), out_(analysis.out), image_(image) {}

  bool Run();

 private:
  void Code(const char* name, std::uint32_t size);
  std::uint32_t Absolute(std::uint8_t pixels);
  void Advance(std::uint32_t pixels);
  std::uint32_t Left() const { return image_.offset + image_.size - at_; }

  hpi::Analysis& a_;
  hpi::Writer& out_;
  const RleImage& image_;
  std::uint32_t at_ = 0;  // the code being read
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;  // rows from the first one stored
};

void RleWalker::Code(const char* name, std::uint32_t size) { out_.WriteItem(name, F, at_, size); }

// Pixels that run past the row or below the last row are noted.
void RleWalker::Advance(std::uint32_t pixels) {
  if (y_ >= image_.height) {
    out_.Note("below the last row (%d rows)", image_.height);
  } else if (x_ + pixels > image_.width) {
    out_.Note("runs past the end of the row (%d pixels)", image_.width);
  }
  x_ += pixels;
}

// Pixels stored as they are: a byte each in RLE8, a nibble each in RLE4,
// padded to a 16-bit boundary. The code's size, or 0 when the data ends inside it.
std::uint32_t RleWalker::Absolute(std::uint8_t pixels) {
  std::uint32_t bytes = image_.rle4 ? (pixels + 1u) / 2 : pixels;
  std::uint32_t size = 2 + bytes + (bytes & 1);
  Code("Absolute Run", std::min(size, Left()));
  out_.Comment("%u pixels", pixels);
  if (size > Left()) {
    out_.Note("the pixel data ends after %u of its %u bytes", Left(), size);
    return 0;
  }
  Advance(pixels);
  return size;
}

// One code after another up to the end of the bitmap or of the data.
bool RleWalker::Run() {
  at_ = image_.offset;
  for (std::uint32_t codes = 0; Left() >= 2; ++codes) {
    if (codes == kMaxCodes) {
      out_.WriteItem("More Codes", F, at_, Left());
      out_.Comment("not shown one by one");
      return out_.Ok();
    }
    std::uint8_t code[4];
    if (hpi::ReadBlock(a_.file, code, 2) != 2) return hpi::Fail(hpi::kFileReadError);
    std::uint32_t size = 2;
    if (code[0] != kEscape) {
      Code("Encoded Run", size);
      if (image_.rle4) {
        out_.Comment("%u pixels of indexes %u and %u", code[0], code[1] >> 4, code[1] & 15u);
      } else {
        out_.Comment("%u pixels of index %u", code[0], code[1]);
      }
      Advance(code[0]);
    } else if (code[1] == kEndOfLine) {
      Code("End of Line", size);
      x_ = 0;
      ++y_;
    } else if (code[1] == kEndOfBitmap) {
      Code("End of Bitmap", size);
      return out_.Ok();
    } else if (code[1] == kDelta) {
      if (Left() < 4) {
        Code("Delta", size);
        out_.Note("the pixel data ends inside the code");
        return out_.Ok();
      }
      if (hpi::ReadBlock(a_.file, code + 2, 2) != 2) return hpi::Fail(hpi::kFileReadError);
      size = 4;
      Code("Delta", size);
      out_.Comment("right %u, down %u", code[2], code[3]);
      x_ += code[2];
      y_ += code[3];
    } else {
      size = Absolute(code[1]);
      if (size == 0) return out_.Ok();
      if (!a_.file.Seek(at_ + size)) return hpi::Fail(hpi::kFileReadError);
    }
    if (!out_.Ok()) return false;
    at_ += size;
  }
  return out_.Ok();
}

}  // namespace

bool WalkRle(hpi::Analysis& analysis, const RleImage& image) { return RleWalker(analysis, image).Run(); }

}  // namespace voltane
