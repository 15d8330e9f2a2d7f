#include "text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "strataview/platform/files.h"

namespace cli {

std::size_t Utf8Length(std::string_view text, std::size_t i) {
  auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  std::uint8_t b = byte(i);
  std::size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || i + n > text.size()) return 0;
  std::uint32_t cp = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
  for (std::size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (byte(i + k) & 0x3F);
  }
  static constexpr std::uint32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

std::string_view Utf8Of(std::string_view cp932, std::string& converted) {
  bool ascii = std::all_of(cp932.begin(), cp932.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return cp932;
  converted = strataview::Cp932ToUtf8(cp932);
  return converted;
}

void AppendVisible(std::string& out, std::string_view text, bool keepLines) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t plain = i;
    while (plain < text.size() && static_cast<std::uint8_t>(text[plain]) >= 0x20 && text[plain] != 0x7F &&
           static_cast<std::uint8_t>(text[plain]) < 0x80) {
      ++plain;
    }
    out.append(text.data() + i, plain - i);
    i = plain;
    if (i == text.size()) break;
    char c = text[i];
    std::size_t n = Utf8Length(text, i);
    char escape[8];
    if (keepLines && (c == '\n' || c == '\t')) {
      out += c;
    } else if (keepLines && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      // the LF that follows ends the line
    } else if (c == '\r' || c == '\n' || c == '\t') {
      out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
    } else if (n == 2 && static_cast<std::uint8_t>(c) == 0xC2 && static_cast<std::uint8_t>(text[i + 1]) < 0xA0) {
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<std::uint8_t>(text[i + 1]));
      out += escape;
      i += 2;
      continue;
    } else if (n > 1) {
      out.append(text.substr(i, n));
      i += n;
      continue;
    } else {
      std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<std::uint8_t>(c));
      out += escape;
    }
    ++i;
  }
}

std::string Visible(std::string_view text, bool keepLines) {
  std::string out;
  AppendVisible(out, text, keepLines);
  return out;
}

}  // namespace cli
