// What differs between the two plug-ins that share the JPEG and TIFF walks.
#pragma once

namespace tiffjpeg {

struct Flavour {
  bool exifTagNames;          // the Exif 2.2 and later tag names (JPEG plug-in only)
  bool baselineScansOnly;     // an SOS with Ss other than 0 fails the walk
  const char* thumbnailName;  // the range item of a JPEG stream an IFD points to
};

inline constexpr Flavour kJpegFlavour{true, false, "Jpeg Thumbnail Image"};
inline constexpr Flavour kTiffFlavour{false, true, "Jpeg Image"};

// Levels: a JPEG walk writes its segments at its own level (1 to 12); a TIFF walk
// at level L writes directories at L+1 and entries at L+2, which must stay below
// the field level 14.
inline constexpr int kMaxJpegLevel = 12;
inline constexpr int kMaxTiffLevel = 11;

}  // namespace tiffjpeg
