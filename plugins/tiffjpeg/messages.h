// The two message tables: codes of the JPEG walk and codes of the TIFF walk,
// each falling back on the common codes 0-6.
#pragma once

#include <cstdint>

#include "hpi/binary_file.h"
#include "hpi/messages.h"
#include "hpi/writer.h"

namespace tiffjpeg {

enum JpegCode : int {
  kWrongApp0 = 11,
  kWrongDqt = 12,
  kWrongSof0 = 13,
  kWrongDht = 14,
  kWrongSos = 15,
  kWrongMarker = 16,
  kNotJpeg = 17,
};

enum TiffCode : int {
  kNotTiff = 11,
  kWrongHeader = 12,
  kWrongTagOrder = 13,
};

extern const hpi::MessageTable kJpegMessages;
extern const hpi::MessageTable kTiffMessages;

// The JPEG walk reads through its own buffered reader, whose position the
// framework cannot see: its faults name their file offset.
inline bool JpegFailAt(int code, std::int64_t offset) {
  return hpi::FailAt(code, kJpegMessages, static_cast<std::uint64_t>(offset));
}

// After a nested walk failed: its fault becomes a fault item at this place in
// the tree and is cleared, so that the enclosing walk goes on. False when the
// stream refused the item.
bool WriteWarning(hpi::BinaryFile& file, hpi::Writer& out);

inline bool TiffFail(int code) {
  hpi::SetPluginError(code, kTiffMessages);
  return false;
}

// A fault about a value read earlier: at the field that holds it.
inline bool TiffFailAt(int code, std::int64_t offset) {
  return hpi::FailAt(code, kTiffMessages, static_cast<std::uint64_t>(offset));
}

}  // namespace tiffjpeg
