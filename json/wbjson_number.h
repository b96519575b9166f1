// Number text of the JSON tree: the 15-significant-digit general format that the
// writer and the variant conversions share, and the reading of JSON number text
// into the tree's 80-bit value.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wb {

// Room FormatGeneralFloat needs: sign, 15 digits, separator, "0.000", exponent.
inline constexpr std::size_t kMaxFloatTextLength = 32;

// The general format at 15 significant digits: plain notation for 0.0001 <= |v| <
// 1E15 (and zero), otherwise d.dddE[-]x; no trailing zeros, no "+" in the exponent.
// Writes at most kMaxFloatTextLength bytes at out and returns the end. Not-a-number
// and infinities, which no parse produces, are written as "null" so that the text
// stays readable.
char* FormatGeneralFloat(long double value, char decimalSeparator, char* out);
std::string FloatToText(long double value, char decimalSeparator);

// Reads the JSON number form at p: an optional sign, digits, optionally "." and
// digits, optionally "E" or "e", a sign and digits. nullptr when the text there
// is not a number; otherwise the end of the number, with inRange false when its
// magnitude is beyond the 80-bit range (values below its smallest give 0).
const char* ScanJSONNumber(const char* p, const char* end, long double& value, bool& inRange);

// Converts text of the JSON number form (sign, digits, optional fraction, optional
// exponent; already checked by the caller) to the nearest 80-bit value. False when
// the magnitude is beyond the type's range; values below its smallest give 0.
bool JSONNumberTextToFloat(std::string_view text, long double& value);

}  // namespace wb
