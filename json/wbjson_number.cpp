// Number text: the 15-digit general format and the reading of JSON numbers.
// Both work on the 80-bit value without the C library's locale; the common cases
// (integers, numbers of up to 19 significant digits with small exponents) are
// computed exactly with one rounding, the rest goes through <charconv>.
#include "json/wbjson_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace wb {
namespace {

constexpr int kSignificantDigits = 15;
constexpr uint64_t kTen15 = 1000000000000000ULL;

// Whether long double carries a 64-bit significand (x87 extended). Then every
// power of ten up to 10^27 is exact in it, and a product of a 19-digit integer
// with one of them is rounded once.
constexpr bool kExtendedSignificand = std::numeric_limits<long double>::digits >= 64;
constexpr int kMaxExactPower = kExtendedSignificand ? 27 : 22;

struct PowerTable {
  long double Values[kMaxExactPower + 1];
  constexpr PowerTable() : Values() {
    long double value = 1;
    for (int i = 0; i <= kMaxExactPower; ++i) {
      Values[i] = value;
      value *= 10;
    }
  }
};
constexpr PowerTable kPowers;

const uint64_t kUnsignedPowers[20] = {1ULL,
                                      10ULL,
                                      100ULL,
                                      1000ULL,
                                      10000ULL,
                                      100000ULL,
                                      1000000ULL,
                                      10000000ULL,
                                      100000000ULL,
                                      1000000000ULL,
                                      10000000000ULL,
                                      100000000000ULL,
                                      1000000000000ULL,
                                      10000000000000ULL,
                                      100000000000000ULL,
                                      1000000000000000ULL,
                                      10000000000000000ULL,
                                      100000000000000000ULL,
                                      1000000000000000000ULL,
                                      10000000000000000000ULL};

// The value as up to 15 decimal digits without trailing zeros and the exponent e
// with value = 0.d1d2d3... * 10^e.
struct DecimalDigits {
  char Digits[24];
  int Count = 0;
  int Exponent = 0;
};

int DecimalLength(uint64_t value) {
  int length = 1;
  while (length < 20 && value >= kUnsignedPowers[length]) ++length;
  return length;
}

void SetFromInteger(uint64_t value, int exponent, DecimalDigits& out) {
  while (value % 10 == 0 && value != 0) value /= 10;
  char reversed[24];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (int i = 0; i < count; ++i) out.Digits[i] = reversed[count - 1 - i];
  out.Count = count;
  out.Exponent = exponent;
}

// Integers below 2^64: exact integer rounding; exact ties go to the even digit,
// as the C library's formatting rounds them in the general case below.
void RoundInteger(uint64_t value, DecimalDigits& out) {
  const int length = DecimalLength(value);
  if (length <= kSignificantDigits) {
    SetFromInteger(value, length, out);
    return;
  }
  const uint64_t divisor = kUnsignedPowers[length - kSignificantDigits];
  uint64_t kept = value / divisor;
  const uint64_t rest = value % divisor;
  const uint64_t half = divisor / 2;
  if (rest > half || (rest == half && (kept & 1) != 0)) ++kept;
  int exponent = length;
  if (kept == kTen15) {
    kept /= 10;
    ++exponent;
  }
  SetFromInteger(kept, exponent, out);
}

// Any positive finite value, through the exact formatting of <charconv>.
void RoundThroughCharconv(long double value, DecimalDigits& out) {
  char text[64];
  auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, kSignificantDigits - 1);
  // text is "d.dddddddddddddde[+-]x"
  uint64_t kept = static_cast<uint64_t>(text[0] - '0');
  const char* p = text + 2;
  for (int i = 1; i < kSignificantDigits; ++i) kept = kept * 10 + static_cast<uint64_t>(*p++ - '0');
  ++p;  // 'e'
  int exponent = 0;
  std::from_chars(*p == '+' ? p + 1 : p, result.ptr, exponent);
  SetFromInteger(kept, exponent + 1, out);
}

// Scales the value to 15 integer digits with one exact rounding and rounds that
// to an integer; falls back to <charconv> where the scaled value lies too close
// to a rounding boundary for the one rounding to be sure.
void RoundGeneral(long double value, DecimalDigits& out) {
  if constexpr (kExtendedSignificand) {
    int binaryExponent = 0;
    std::frexp(value, &binaryExponent);
    int exponent = static_cast<int>(std::floor((binaryExponent - 1) * 0.30102999566398119521L)) + 1;
    for (int attempt = 0; attempt < 3; ++attempt) {
      const int scale = kSignificantDigits - exponent;
      if (scale > kMaxExactPower || scale < -kMaxExactPower) break;
      const long double scaled = scale >= 0 ? value * kPowers.Values[scale] : value / kPowers.Values[-scale];
      if (scaled >= static_cast<long double>(kTen15)) {
        ++exponent;
        continue;
      }
      if (scaled < static_cast<long double>(kTen15 / 10)) {
        --exponent;
        continue;
      }
      const long double whole = std::floor(scaled);
      const long double fraction = scaled - whole;
      // The product carries an error below 1E15 * 2^-64, far under this margin.
      if (std::fabs(fraction - 0.5L) < 1e-3L) break;
      uint64_t kept = static_cast<uint64_t>(whole) + (fraction > 0.5L ? 1 : 0);
      if (kept == kTen15) {
        kept /= 10;
        ++exponent;
      }
      SetFromInteger(kept, exponent, out);
      return;
    }
  }
  RoundThroughCharconv(value, out);
}

char* WriteUnsigned(unsigned value, char* out) {
  return std::to_chars(out, out + 12, value).ptr;
}

char* Layout(const DecimalDigits& d, char separator, char* out) {
  const int e = d.Exponent;
  if (e <= kSignificantDigits && e >= -3) {
    if (e <= 0) {
      *out++ = '0';
      *out++ = separator;
      for (int i = 0; i < -e; ++i) *out++ = '0';
      std::memcpy(out, d.Digits, static_cast<std::size_t>(d.Count));
      return out + d.Count;
    }
    if (d.Count <= e) {
      std::memcpy(out, d.Digits, static_cast<std::size_t>(d.Count));
      out += d.Count;
      for (int i = d.Count; i < e; ++i) *out++ = '0';
      return out;
    }
    std::memcpy(out, d.Digits, static_cast<std::size_t>(e));
    out += e;
    *out++ = separator;
    std::memcpy(out, d.Digits + e, static_cast<std::size_t>(d.Count - e));
    return out + (d.Count - e);
  }
  *out++ = d.Digits[0];
  if (d.Count > 1) {
    *out++ = separator;
    std::memcpy(out, d.Digits + 1, static_cast<std::size_t>(d.Count - 1));
    out += d.Count - 1;
  }
  *out++ = 'E';
  int power = e - 1;
  if (power < 0) {
    *out++ = '-';
    power = -power;
  }
  return WriteUnsigned(static_cast<unsigned>(power), out);
}

}  // namespace

char* FormatGeneralFloat(long double value, char decimalSeparator, char* out) {
  if (!std::isfinite(value)) {
    std::memcpy(out, "null", 4);
    return out + 4;
  }
  if (value == 0) {
    *out++ = '0';
    return out;
  }
  if (value < 0) {
    *out++ = '-';
    value = -value;
  }
  DecimalDigits digits;
  if (value < 18446744073709551616.0L && value == std::floor(value)) {
    RoundInteger(static_cast<uint64_t>(value), digits);
  } else {
    RoundGeneral(value, digits);
  }
  return Layout(digits, decimalSeparator, out);
}

std::string FloatToText(long double value, char decimalSeparator) {
  char text[kMaxFloatTextLength];
  char* end = FormatGeneralFloat(value, decimalSeparator, text);
  return std::string(text, end);
}

bool JSONNumberTextToFloat(std::string_view text, long double& value) {
  const char* p = text.data();
  const char* const end = p + text.size();
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  const char* const unsignedStart = p;

  // Up to 19 significant digits fit the 64-bit mantissa exactly.
  uint64_t mantissa = 0;
  int significant = 0;
  bool truncated = false;
  int64_t exponent10 = 0;
  auto takeDigit = [&](char c, bool fractional) {
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (significant == 0 && digit == 0) {
      if (fractional) --exponent10;
      return;
    }
    if (significant < 19) {
      mantissa = mantissa * 10 + digit;
      ++significant;
      if (fractional) --exponent10;
    } else {
      if (digit != 0) truncated = true;
      if (!fractional) ++exponent10;
    }
  };
  while (p != end && *p >= '0' && *p <= '9') takeDigit(*p++, false);
  if (p != end && *p == '.') {
    ++p;
    while (p != end && *p >= '0' && *p <= '9') takeDigit(*p++, true);
  }
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    bool negativeExponent = false;
    if (p != end && (*p == '+' || *p == '-')) negativeExponent = *p++ == '-';
    int64_t written = 0;
    while (p != end && *p >= '0' && *p <= '9') {
      if (written < 100000000) written = written * 10 + (*p - '0');
      ++p;
    }
    exponent10 += negativeExponent ? -written : written;
  }

  if (mantissa == 0) {
    value = negative ? -0.0L : 0.0L;
    return true;
  }
  if (!truncated && exponent10 >= -kMaxExactPower && exponent10 <= kMaxExactPower &&
      (kExtendedSignificand || mantissa < (1ULL << 53))) {
    const long double m = static_cast<long double>(mantissa);
    const long double result = exponent10 >= 0 ? m * kPowers.Values[exponent10] : m / kPowers.Values[-exponent10];
    value = negative ? -result : result;
    return true;
  }
  long double result = 0;
  const auto parsed = std::from_chars(unsignedStart, end, result);
  if (parsed.ec == std::errc::result_out_of_range) {
    // Beyond the range on the small side is zero; on the large side unreadable.
    if (exponent10 + significant < 0) {
      value = negative ? -0.0L : 0.0L;
      return true;
    }
    return false;
  }
  if (parsed.ec != std::errc()) return false;
  value = negative ? -result : result;
  return true;
}

}  // namespace wb
