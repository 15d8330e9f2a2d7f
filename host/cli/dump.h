// The hex dump in the host's layout (header, then address, hex and character
// columns side by side), written line by line from the exact offset asked for.
#pragma once

#include <cstdio>
#include <string>

#include "options.h"

namespace cli {

// Writes the dump of the range to file; false with the reason in error. A range
// that runs past the end of the file is cut there, with a warning.
bool WriteDump(const std::string& path, const DumpRange& range, std::FILE* file, std::string& error,
               std::string& warning);

}  // namespace cli
