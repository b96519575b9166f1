// Conversions of the dynamic value, in the user's locale.
#include "json/wbjson_variant.h"

#include <charconv>
#include <cmath>

#include "json/wbjson_errors.h"
#include "json/wbjson_number.h"
#include "platform/codepage.h"
#include "platform/locale.h"

namespace wb {
namespace {

const char* KindNameOf(const TWBVariant& value) {
  static const char* const kNames[] = {"Null", "Boolean", "Integer", "Double", "Currency", "String", "UnicodeString"};
  return kNames[value.index()];
}

[[noreturn]] void RaiseConversion(const TWBVariant& value, const char* toKind) {
  throw EConvertError(ConversionErrorText(KindNameOf(value), toKind));
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view lowerWord) {
  if (text.size() != lowerWord.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerWord[i]) return false;
  }
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool VariantIsNumeric(const TWBVariant& value) {
  return std::holds_alternative<bool>(value) || std::holds_alternative<int32_t>(value) ||
         std::holds_alternative<double>(value) || std::holds_alternative<TCurrency>(value);
}

bool TryLocaleTextToDouble(std::string_view text, char decimalSeparator, double& value) {
  text = Trimmed(text);
  // Rewritten into the JSON number form: sign, digits, "." digits, exponent.
  std::string normal;
  normal.reserve(text.size() + 2);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) normal += text[i++];
  std::size_t digits = 0;
  const std::size_t integerStart = normal.size();
  while (i < text.size() && IsDigit(text[i])) {
    normal += text[i++];
    ++digits;
  }
  if (normal.size() == integerStart) normal += '0';
  if (i < text.size() && text[i] == decimalSeparator) {
    ++i;
    std::string fraction;
    while (i < text.size() && IsDigit(text[i])) fraction += text[i++];
    digits += fraction.size();
    if (!fraction.empty()) normal += '.' + fraction;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    normal += 'E';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) normal += text[i++];
    std::size_t exponentDigits = 0;
    while (i < text.size() && IsDigit(text[i])) {
      normal += text[i++];
      ++exponentDigits;
    }
    if (exponentDigits == 0) return false;
  }
  if (i != text.size()) return false;
  long double wide = 0;
  if (!JSONNumberTextToFloat(normal, wide)) return false;
  const double narrow = static_cast<double>(wide);
  if (std::isinf(narrow)) return false;
  value = narrow;
  return true;
}

bool TryTextToBoolean(std::string_view text, char decimalSeparator, bool& value) {
  const std::string_view word = Trimmed(text);
  if (EqualsIgnoringAsciiCase(word, "true") || EqualsIgnoringAsciiCase(word, "wahr")) {
    value = true;
    return true;
  }
  if (EqualsIgnoringAsciiCase(word, "false") || EqualsIgnoringAsciiCase(word, "falsch")) {
    value = false;
    return true;
  }
  double number = 0;
  if (!TryLocaleTextToDouble(word, decimalSeparator, number)) return false;
  value = number != 0;
  return true;
}

bool TryTextToInt32(std::string_view text, int32_t& value) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  // from_chars takes a "-" but no "+"; after a sign a digit must follow.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || !IsDigit(text.front())) return false;
  }
  int32_t result = 0;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), result);
  if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size()) return false;
  value = result;
  return true;
}

std::string CurrencyToText(TCurrency value, char decimalSeparator) {
  const bool negative = value.Scaled < 0;
  // Through unsigned so that the smallest value has a magnitude too.
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value.Scaled) : static_cast<uint64_t>(value.Scaled);
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / 10000);
  uint64_t fraction = magnitude % 10000;
  if (fraction != 0) {
    char digits[5] = {static_cast<char>('0' + fraction / 1000), static_cast<char>('0' + fraction / 100 % 10),
                      static_cast<char>('0' + fraction / 10 % 10), static_cast<char>('0' + fraction % 10), 0};
    std::string_view shown(digits, 4);
    while (shown.back() == '0') shown.remove_suffix(1);
    text += decimalSeparator;
    text += shown;
  }
  return text;
}

double VariantToDouble(const TWBVariant& value) {
  switch (value.index()) {
    case 1: return std::get<bool>(value) ? -1.0 : 0.0;
    case 2: return std::get<int32_t>(value);
    case 3: return std::get<double>(value);
    case 4: return std::get<TCurrency>(value).ToDouble();
    case 5:
    case 6: {
      double number = 0;
      if (!TryLocaleTextToDouble(VariantToAnsi(value), platform::DecimalSeparator(), number)) {
        RaiseConversion(value, "Double");
      }
      return number;
    }
    default: RaiseConversion(value, "Double");
  }
}

bool VariantToBoolean(const TWBVariant& value) {
  switch (value.index()) {
    case 1: return std::get<bool>(value);
    case 2: return std::get<int32_t>(value) != 0;
    case 3: return std::get<double>(value) != 0;
    case 4: return std::get<TCurrency>(value).Scaled != 0;
    case 5:
    case 6: {
      bool result = false;
      if (!TryTextToBoolean(VariantToAnsi(value), platform::DecimalSeparator(), result)) {
        RaiseConversion(value, "Boolean");
      }
      return result;
    }
    default: RaiseConversion(value, "Boolean");
  }
}

std::string VariantToAnsi(const TWBVariant& value) {
  switch (value.index()) {
    case 1: return std::get<bool>(value) ? "-1" : "0";
    case 2: return std::to_string(std::get<int32_t>(value));
    case 3: return FloatToText(std::get<double>(value), platform::DecimalSeparator());
    case 4: return CurrencyToText(std::get<TCurrency>(value), platform::DecimalSeparator());
    case 5: return std::get<std::string>(value);
    case 6: return platform::WideToAnsi(std::get<std::u16string>(value));
    default: return std::string();
  }
}

std::u16string VariantToWide(const TWBVariant& value) {
  if (const auto* wide = std::get_if<std::u16string>(&value)) return *wide;
  return platform::AnsiToWide(VariantToAnsi(value));
}

std::string InvalidCastText() { return Ansi(u8"Ungültige Typumwandlung"); }

std::string ConversionErrorText(const char* fromKind, const char* toKind) {
  return std::string("Variante des Typs (") + fromKind + ") konnte nicht in Typ (" + toKind + ") konvertiert werden";
}

}  // namespace wb
