// The JPEG marker walk: SOI, every marker segment up to EOI, the entropy-coded
// data after each scan header as one range, and the bytes between segments and
// after EOI as ranges of their own. A stream that ends before EOI fails where it
// ends. Used on JPEG files, on the JPEG streams that TIFF directories point to
// and on JFXX thumbnails.
#pragma once

#include <cstdint>
#include <vector>

#include "flavour.h"
#include "hpi/binary_file.h"
#include "hpi/writer.h"

namespace tiffjpeg {

// A marker segment with a length word, its data read into memory (up to the
// declared length or the end of the walk's window, whichever comes first).
struct Segment {
  std::uint8_t marker;
  std::int64_t at;                  // position of the marker's 0xFF
  std::uint16_t length;             // the length word, which counts itself
  std::int64_t data;                // position of the first data byte
  std::uint32_t dataSize;           // length - 2
  std::vector<std::uint8_t> bytes;  // the data bytes present in the window

  std::int64_t End() const { return data + dataSize; }
};

// What a segment handler works with.
struct JpegContext {
  hpi::BinaryFile& file;
  hpi::Writer& out;
  const Flavour& flavour;
  int level;
  bool exifSeen = false;  // an Exif APP1 segment came before
};

class JpegWalker {
 public:
  JpegWalker(hpi::BinaryFile& file, hpi::Writer& out, const Flavour& flavour)
      : file_(file), out_(out), flavour_(flavour) {}

  // Walks the JPEG stream that starts at start and lies within [start, end),
  // writing its segments at level (1 to kMaxJpegLevel).
  bool WalkJpeg(std::int64_t start, std::int64_t end, int level);

 private:
  hpi::BinaryFile& file_;
  hpi::Writer& out_;
  const Flavour& flavour_;
};

}  // namespace tiffjpeg
