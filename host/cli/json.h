// JSON output: strings are escaped and always valid UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cli {

// Appends text as a JSON string literal; bytes that are not UTF-8 become U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);
void AppendJsonNumber(std::string& out, std::uint64_t number);

}  // namespace cli
