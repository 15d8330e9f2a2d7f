#include "json.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>

#include "text.h"

namespace cli {
namespace {

// Printable ASCII other than the quote and the backslash stands as it is.
constexpr auto kPlain = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x7F; ++c) plain[c] = c != '"' && c != '\\';
  return plain;
}();

bool IsPlain(char c) { return kPlain[static_cast<std::uint8_t>(c)]; }

// The escape for a character JSON does not allow as it is.
void AppendEscape(std::string& out, char c) {
  switch (c) {
    case '"': out += "\\\""; break;
    case '\\': out += "\\\\"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    case '\t': out += "\\t"; break;
    default: {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(static_cast<std::uint8_t>(c)));
      out += escape;
    }
  }
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (std::size_t i = 0; i < text.size();) {
    std::size_t plain = i;
    while (plain < text.size() && IsPlain(text[plain])) ++plain;
    out.append(text.data() + i, plain - i);
    i = plain;
    if (i == text.size()) break;
    std::size_t n = Utf8Length(text, i);
    if (n == 0) {
      out += "\\ufffd";
      ++i;
    } else if (n > 1) {
      out.append(text.substr(i, n));
      i += n;
    } else {
      AppendEscape(out, text[i++]);
    }
  }
  out += '"';
}

void AppendJsonNumber(std::string& out, std::uint64_t number) {
  char text[20];
  out.append(text, std::to_chars(text, text + sizeof text, number).ptr);
}

}  // namespace cli
