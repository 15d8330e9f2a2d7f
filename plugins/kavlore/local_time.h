// The platform's conversion of a time to the machine's local time.
#pragma once

#include <cstdint>
#include <ctime>

namespace kavlore {

// Seconds since 1970-01-01 00:00 UTC as local time. False for times before 1970
// or after the year 3000, which not every platform converts.
bool ToLocalTime(std::int64_t seconds, std::tm& local);

}  // namespace kavlore
