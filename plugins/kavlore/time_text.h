// Comment texts for the time stamps found in archives.
#pragma once

#include <cstdint>

#include "short_text.h"

namespace kavlore {

// The text shown for a time that local time cannot represent.
inline constexpr char kTimeOutOfRange[] = "out of range for local time";

// MS-DOS time "hh:mm:ss" and date "yyyy/mm/dd".
ShortText DosTimeText(std::uint16_t time);
ShortText DosDateText(std::uint16_t date);
// MS-DOS date and time in one 32-bit value (date in the high word), as LHA keeps them.
ShortText DosDateTimeText(std::uint32_t dateTime);
// A 32-bit Unix time as local time "y/m/d h:m:s" without padding. The value is
// signed, as in the C library's 32-bit time_t: values with the top bit set are out of range.
ShortText UnixTimeText(std::uint32_t time);
// A Windows file time (100-nanosecond units since 1601) as local time "yyyy/mm/dd hh:mm:ss".
ShortText FileTimeText(std::uint64_t fileTime);

}  // namespace kavlore
