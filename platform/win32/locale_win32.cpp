// The user's locale on Windows: the decimal separator from the user's settings
// (GetLocaleInfoA LOCALE_SDECIMAL) and CompareStringA with the user's locale.
#include "platform/locale.h"

#include <atomic>
#include <climits>

#include "platform/win32/win32_util.h"

namespace wb::platform {

char UserDecimalSeparator() {
  char buffer[8] = {};
  if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) >= 2 && buffer[0] && !buffer[1])
    return buffer[0];
  return '.';
}

namespace {

int ClampLength(std::string_view text) {
  return text.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(text.size());
}

}  // namespace

int CompareLocaleText(std::string_view a, std::string_view b, bool ignoreCase) {
  int result = ::CompareStringA(LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, a.data(), ClampLength(a),
                                b.data(), ClampLength(b));
  if (result == 0) {
    // Only invalid arguments fail; order by the bytes then, never "equal".
    int bytes = a.compare(b);
    return bytes < 0 ? -1 : bytes > 0 ? 1 : 0;
  }
  return result - CSTR_EQUAL;
}

}  // namespace wb::platform
