// Display texts of the analysed-data stream's numeric records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "hpi/hpi.h"

namespace strataview {

// Appends the text of a value record of a class and width to out; false, with
// nothing appended, for a pair that is not valid.
bool FormatValue(hpi::RecordClass cls, std::size_t width, const std::uint8_t* bytes, std::string& out);

}  // namespace strataview
