// The user's language and the console's text encoding.
#pragma once

#include <string>
#include <vector>

namespace strataview {

// True when the user's locale (or Windows UI language) is Japanese.
bool UserLanguageIsJapanese();
// The command line's arguments in UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);
// Makes the console show the UTF-8 the command-line program prints.
void PrepareUtf8Console();

}  // namespace strataview
