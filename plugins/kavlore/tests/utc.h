// Local-time comments in the tests are checked in UTC, whatever the machine's zone.
#pragma once

#include <cstdlib>
#include <ctime>

namespace kavlore_test {

inline void UseUtc() {
#if defined(_WIN32)
  _putenv("TZ=UTC");
  _tzset();
#else
  setenv("TZ", "UTC", 1);
  tzset();
#endif
}

}  // namespace kavlore_test
