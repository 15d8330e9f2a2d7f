// The two message tables: codes of the JPEG walk and codes of the TIFF walk,
// each falling back on the common codes 0-6.
#pragma once

#include "hpi/messages.h"

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

inline bool JpegFail(int code) {
  hpi::SetPluginError(code, kJpegMessages);
  return false;
}

inline bool TiffFail(int code) {
  hpi::SetPluginError(code, kTiffMessages);
  return false;
}

}  // namespace tiffjpeg
