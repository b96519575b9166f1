// The user's locale as far as the core needs it: the decimal separator and a
// locale-aware string comparison. Never the C library's global locale.
#pragma once

#include <string_view>

namespace wb::platform {

// The decimal separator in force: the one pinned below, else the user's.
char DecimalSeparator();
// The user's own decimal separator ('.' or ',', for example), from the system.
char UserDecimalSeparator();
// Tests and callers that must pin the locale set it here; '\0' returns to the user's.
void SetDecimalSeparatorOverride(char separator);

// The platform's user-locale comparison of two 8-bit texts (system code page):
// -1, 0 or 1. ignoreCase compares without regard to case (CompareStringA with
// NORM_IGNORECASE on Windows, an ICU collator on POSIX).
int CompareLocaleText(std::string_view a, std::string_view b, bool ignoreCase);

}  // namespace wb::platform
