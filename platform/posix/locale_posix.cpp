// The user's locale on POSIX: the decimal separator from the user's LC_NUMERIC
// (read through a private locale object, never the global one) and string
// comparison through an ICU collator for the user's collation locale.
#include "platform/locale.h"

#include <langinfo.h>
#include <locale.h>
#include <unicode/ucol.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/codepage.h"

namespace wb::platform {

char UserDecimalSeparator() {
  static const char separator = [] {
    char result = '.';
    locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (numeric != static_cast<locale_t>(0)) {
      const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
      if (radix && radix[0] && !radix[1]) result = radix[0];
      freelocale(numeric);
    }
    return result;
  }();
  return separator;
}

namespace {

// "de_DE.UTF-8@euro" -> "de_DE"; the first of LC_ALL, LC_COLLATE, LANG that is set.
std::string CollationLocaleName() {
  for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) {
      std::string text = value;
      text = text.substr(0, text.find_first_of(".@"));
      // The POSIX locale's own tailoring orders by code point, case included;
      // the root collation is what a plain system means.
      if (text == "C" || text == "POSIX") return "";
      return text;
    }
  }
  return "de_DE";  // the tool's users are German
}

struct Collators {
  UCollator* caseSensitive = nullptr;
  UCollator* ignoreCase = nullptr;
};

const Collators& GetCollators() {
  static const Collators collators = [] {
    Collators result;
    std::string name = CollationLocaleName();
    UErrorCode status = U_ZERO_ERROR;
    result.caseSensitive = ucol_open(name.c_str(), &status);
    if (U_FAILURE(status)) {
      status = U_ZERO_ERROR;
      result.caseSensitive = ucol_open("", &status);
    }
    status = U_ZERO_ERROR;
    result.ignoreCase = ucol_clone(result.caseSensitive, &status);
    // Secondary strength: accents count, case does not.
    ucol_setStrength(result.ignoreCase, UCOL_SECONDARY);
    ucol_setStrength(result.caseSensitive, UCOL_TERTIARY);
    return result;
  }();
  return collators;
}

}  // namespace

int CompareLocaleText(std::string_view a, std::string_view b, bool ignoreCase) {
  const Collators& collators = GetCollators();
  const UCollator* collator = ignoreCase ? collators.ignoreCase : collators.caseSensitive;
  std::u16string wa = Cp1252ToWide(a);
  std::u16string wb = Cp1252ToWide(b);
  UCollationResult result =
      ucol_strcoll(collator, reinterpret_cast<const UChar*>(wa.data()), static_cast<int32_t>(wa.size()),
                   reinterpret_cast<const UChar*>(wb.data()), static_cast<int32_t>(wb.size()));
  return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

}  // namespace wb::platform
