// The text rules of opening documents: quotes around file names, the extension
// that keys the program mapping, and targets only the shell can handle (web and
// mail addresses). All text is 8-bit in the system code page.
#pragma once

#include <string>

namespace wb {

// A text longer than two characters that starts and ends with a double quote
// loses both; anything else (also a lone pair of quotes) stays as it is.
std::string StripOuterQuotes(const std::string& text);

// The extension of the file name part with its dot, lower-cased with the code
// page's rules (".html" for "\"C:\\X\\Seite.HTML\""); "" when there is none.
std::string LowerFileExt(const std::string& file);

// True for targets with a web, news or mail prefix ("www.", "mailto:", ...) and
// for any target with an "@" but no ":\" (a mail address, not a Windows path);
// on POSIX a local absolute path (starting with "/") is never a mail address.
bool IsUrlOrMail(const std::string& target);

}  // namespace wb
