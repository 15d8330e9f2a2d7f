// The TIFF walk: image file header, the chain of image file directories, the
// Exif, GPS and Interoperability directories they point to, and the JPEG
// stream of tags 513/514 walked as a nested JPEG. Used on TIFF files, on the
// Exif data of a JPEG APP1 segment and on the multi-picture data of APP2.
#pragma once

#include <cstdint>

#include "flavour.h"
#include "hpi/binary_file.h"
#include "hpi/writer.h"

namespace tiffjpeg {

// What the directory chain holds: TIFF or Exif images, or the multi-picture
// format's index and attribute directories.
enum class TiffKind { Images, MultiPicture };

// Whether four bytes open a TIFF header: "II" with 42 stored little-endian, or
// "MM" with 42 stored big-endian.
bool IsTiffHeader(const std::uint8_t* head);

// Walks the TIFF structure whose header is at base; every offset stored in it
// is relative to base. Its directories and JPEG stream must lie before end (the
// end of the file, or of the JPEG segment that holds the structure): nested
// structures then never walk the same bytes twice. The header is written at
// level (1 to kMaxTiffLevel).
bool AnalyzeTiff(hpi::BinaryFile& file, hpi::Writer& out, const Flavour& flavour, std::int64_t base, std::int64_t end,
                 int level, TiffKind kind = TiffKind::Images);

}  // namespace tiffjpeg
