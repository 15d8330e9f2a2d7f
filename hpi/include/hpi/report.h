// A plug-in's file report: plain text with CR LF line ends, grown as needed.
#pragma once

#include <string>

#include "hpi/hpi.h"

namespace hpi {

class Report {
 public:
  // Appends one line built with printf and its CR LF.
  void Line(const char* format, ...) HPI_PRINTF(2, 3);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace hpi
