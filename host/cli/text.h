// Texts on their way out: plug-in texts to UTF-8, and control characters made
// visible so that no text can move the cursor, end a line or retitle a terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cli {

// Length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t i);

// Plug-in texts are Shift-JIS; plain ASCII comes back as it is, without a copy.
std::string_view Utf8Of(std::string_view cp932, std::string& converted);

// Appends UTF-8 text with C0 and C1 controls and DEL as \r, \n, \t or \xNN
// (\u0085 for a C1 control); bytes that are not UTF-8 also become \xNN. With
// keepLines, LF and tab stand as they are and CR LF becomes LF.
void AppendVisible(std::string& out, std::string_view text, bool keepLines = false);
std::string Visible(std::string_view text, bool keepLines = false);

}  // namespace cli
