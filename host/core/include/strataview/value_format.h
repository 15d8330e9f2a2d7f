// Display texts of the analysed-data stream's numeric records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "hpi/hpi.h"

namespace strataview {

// The text of a value record of a class and width, or nothing for a pair that
// is not valid.
std::optional<std::string> FormatValue(hpi::RecordClass cls, std::size_t width, const std::uint8_t* bytes);

}  // namespace strataview
