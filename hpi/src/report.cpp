#include "hpi/report.h"

#include <cstdarg>
#include <cstdio>

namespace hpi {

void Report::Line(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (n > 0) {
    std::size_t start = text_.size();
    text_.resize(start + static_cast<std::size_t>(n) + 1);
    std::vsnprintf(text_.data() + start, static_cast<std::size_t>(n) + 1, format, again);
    text_.resize(start + static_cast<std::size_t>(n));
  }
  va_end(again);
  text_ += "\r\n";
}

}  // namespace hpi
