// The dynamic value through which scalars pass in and out of the JSON tree:
// null, boolean, 32-bit integer, double, currency, 8-bit text or UTF-16 text,
// with the conversions between them that the user's locale decides (decimal
// separator from the platform layer; a boolean is -1/0 as a number and "-1"/"0"
// as text). Text that cannot be read as the wanted kind raises EConvertError.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace wb {

// A fixed-point amount: the value times 10 000 in a 64-bit integer.
struct TCurrency {
  int64_t Scaled = 0;
  static TCurrency FromUnits(int64_t units) { return TCurrency{units * 10000}; }
  double ToDouble() const { return static_cast<double>(Scaled) / 10000.0; }
  bool operator==(const TCurrency&) const = default;
};

// Alternative order = kind order; std::monostate is null.
using TWBVariant = std::variant<std::monostate, bool, int32_t, double, TCurrency, std::string, std::u16string>;

inline bool VariantIsNull(const TWBVariant& value) { return std::holds_alternative<std::monostate>(value); }
// True for the kinds a list accepts as a position (integer, boolean, double, currency).
bool VariantIsNumeric(const TWBVariant& value);
// True for 8-bit and UTF-16 text.
inline bool VariantIsText(const TWBVariant& value) {
  return std::holds_alternative<std::string>(value) || std::holds_alternative<std::u16string>(value);
}

// Conversions in the user's locale. Null converts to empty text but to no number
// or boolean (EConvertError).
double VariantToDouble(const TWBVariant& value);
bool VariantToBoolean(const TWBVariant& value);
std::string VariantToAnsi(const TWBVariant& value);
std::u16string VariantToWide(const TWBVariant& value);

// Reads 8-bit text the way the variant conversion does: optional spaces around an
// optional sign, digits with the locale's decimal separator, an optional exponent.
bool TryLocaleTextToDouble(std::string_view text, char decimalSeparator, double& value);
// A boolean from text: "true"/"false" (also German "wahr"/"falsch"), any case, or a number.
bool TryTextToBoolean(std::string_view text, char decimalSeparator, bool& value);
// A decimal 32-bit integer (leading spaces and a sign allowed, nothing after the digits).
bool TryTextToInt32(std::string_view text, int32_t& value);
// The currency's decimal text: up to four decimals, trailing zeros dropped.
std::string CurrencyToText(TCurrency value, char decimalSeparator);

}  // namespace wb
