#include "local_time.h"

namespace kavlore {

bool ToLocalTime(std::int64_t seconds, std::tm& local) {
  constexpr std::int64_t kYear3000 = 32503680000;
  if (seconds < 0 || seconds >= kYear3000) return false;
  std::time_t t = static_cast<std::time_t>(seconds);
#if defined(_WIN32)
  return localtime_s(&local, &t) == 0;
#else
  return localtime_r(&t, &local) != nullptr;
#endif
}

}  // namespace kavlore
