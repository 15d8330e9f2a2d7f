// Names of directory entries and of the values of some tags.
#pragma once

#include <cstdint>
#include <string_view>

#include "flavour.h"

namespace tiffjpeg {

// The kind of directory an entry stands in: GPS and multi-picture directories
// number their tags from a table of their own.
enum class IfdKind { Image, Exif, Gps, Interoperability, MultiPicture };

// The entry's name, "Unkown Tag" when the tables do not know it.
std::string_view TagName(std::uint16_t tag, IfdKind kind, const Flavour& flavour);

// The meaning of an element's value for the tags with a value table; null otherwise.
const char* ValueName(std::uint16_t tag, std::uint32_t value);

}  // namespace tiffjpeg
