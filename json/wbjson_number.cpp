// Number text: the 15-digit general format and the reading of JSON numbers.
// Both work on the 80-bit value without the C library's locale. Writing rounds
// exactly in integer arithmetic on the value's bits for every value from 1E-5 to
// 1E34 (ties to the even digit); reading multiplies a mantissa of up to 19
// digits by an exact power of ten with a single rounding. The rest goes through
// <charconv>.
#include "json/wbjson_number.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace wb {
namespace {

constexpr int kSignificantDigits = 15;
constexpr uint64_t kTen15 = 1000000000000000ULL;
constexpr uint64_t kTen16 = 10 * kTen15;

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
  // Trailing zeros go in large steps first: most values carry many of them.
  if (value != 0) {
    if (value % 100000000 == 0) value /= 100000000;
    if (value % 10000 == 0) value /= 10000;
    if (value % 100 == 0) value /= 100;
    while (value % 10 == 0) value /= 10;
  }
  char text[24];
  const auto written = std::to_chars(text, text + sizeof text, value);
  out.Count = static_cast<int>(written.ptr - text);
  std::memcpy(out.Digits, text, static_cast<std::size_t>(out.Count));
  out.Exponent = exponent;
}

// Integers below 2^64: exact integer rounding; exact ties go to the even digit.
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

// A positive finite value as significand * 2^exponent, read from its bits: the
// hot path then needs no floating-point instruction at all (on x87, conversions
// to integers switch the rounding mode and stall).
struct BinaryValue {
  uint64_t Significand;
  int Exponent;
};

BinaryValue Decompose(long double value) {
  if constexpr (kExtendedSignificand) {
    uint64_t significand = 0;
    uint16_t signAndExponent = 0;
    std::memcpy(&significand, &value, sizeof significand);
    std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&value) + 8, sizeof signAndExponent);
    const int biased = signAndExponent & 0x7FFF;
    return {significand, (biased == 0 ? 1 : biased) - 16383 - 63};
  } else {
    const double narrow = static_cast<double>(value);
    uint64_t bits = 0;
    std::memcpy(&bits, &narrow, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    if (biased == 0) return {fraction, 1 - 1075};
    return {fraction | (uint64_t{1} << 52), biased - 1075};
  }
}

#ifdef __SIZEOF_INT128__
using Wide = unsigned __int128;

// value * 10^scale rounded to an integer (ties to even), exactly, or false when
// the numbers do not fit 128 bits.
bool ScaleAndRound(BinaryValue value, int scale, uint64_t& result) {
  Wide quotient = 0;
  Wide rest = 0;
  Wide divisor = 0;
  if (scale >= 0) {
    if (scale > 19 || value.Exponent >= 0 || value.Exponent <= -128) return false;
    const Wide product = static_cast<Wide>(value.Significand) * kUnsignedPowers[scale];
    const int shift = -value.Exponent;
    quotient = product >> shift;
    rest = product - (quotient << shift);
    divisor = static_cast<Wide>(1) << shift;
  } else {
    if (scale < -19) return false;
    Wide numerator = value.Significand;
    divisor = kUnsignedPowers[-scale];
    if (value.Exponent >= 0) {
      if (value.Exponent > 63) return false;
      numerator <<= value.Exponent;
    } else {
      if (value.Exponent < -63) return false;
      divisor <<= -value.Exponent;
    }
    quotient = numerator / divisor;
    rest = numerator - quotient * divisor;
  }
  const Wide twice = rest * 2;
  if (twice > divisor || (twice == divisor && (quotient & 1) != 0)) ++quotient;
  // Beyond 16 digits the caller's exponent was off; it only needs to see that.
  result = quotient > kTen16 ? kTen16 : static_cast<uint64_t>(quotient);
  return true;
}
#endif

void RoundGeneral(long double value, DecimalDigits& out) {
#ifdef __SIZEOF_INT128__
  const BinaryValue binary = Decompose(value);
  if (binary.Significand != 0) {
    const int bits = 64 - std::countl_zero(binary.Significand);
    // floor(log10(2) * (b - 1)) + 1 for value in [2^(b-1), 2^b), in integer
    // arithmetic; off by one at most, which the loop corrects.
    int exponent = (((binary.Exponent + bits - 1) * 78913) >> 18) + 1;
    for (int attempt = 0; attempt < 3; ++attempt) {
      uint64_t kept = 0;
      if (!ScaleAndRound(binary, kSignificantDigits - exponent, kept)) break;
      // Fifteen digits or retry one power up or down. A value that rounds up to
      // the next power of ten (9.999...95) comes out right one power up.
      if (kept >= kTen15) {
        ++exponent;
        continue;
      }
      if (kept < kTen15 / 10) {
        --exponent;
        continue;
      }
      SetFromInteger(kept, exponent, out);
      return;
    }
  }
#endif
  RoundThroughCharconv(value, out);
}

// Whole numbers below 2^64 are rounded in integer arithmetic.
bool WholeNumber(long double value, uint64_t& whole) {
  const BinaryValue binary = Decompose(value);
  if (binary.Significand == 0) return false;
  if (binary.Exponent >= 0) {
    if (binary.Exponent > std::countl_zero(binary.Significand)) return false;
    whole = binary.Significand << binary.Exponent;
    return true;
  }
  const int shift = -binary.Exponent;
  if (shift >= 64) return false;
  if ((binary.Significand & ((uint64_t{1} << shift) - 1)) != 0) return false;
  whole = binary.Significand >> shift;
  return true;
}

char* WriteUnsigned(unsigned value, char* out) { return std::to_chars(out, out + 12, value).ptr; }

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

// mantissa * 10^exponent in steps of exact powers; each step rounds once, which
// keeps the error far below the 15 digits that are ever shown.
long double ScaleByPowerOfTen(long double mantissa, int64_t exponent) {
  long double result = mantissa;
  while (exponent > 0 && !std::isinf(result)) {
    const int64_t step = exponent < kMaxExactPower ? exponent : kMaxExactPower;
    result *= kPowers.Values[step];
    exponent -= step;
  }
  while (exponent < 0 && result != 0) {
    const int64_t step = -exponent < kMaxExactPower ? -exponent : kMaxExactPower;
    result /= kPowers.Values[step];
    exponent += step;
  }
  return result;
}

}  // namespace

char* FormatGeneralFloat(long double value, char decimalSeparator, char* out) {
  if (!std::isfinite(value)) {
    return std::copy_n("null", 4, out);
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
  uint64_t whole = 0;
  if (WholeNumber(value, whole)) {
    RoundInteger(whole, digits);
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

const char* ScanJSONNumber(const char* p, const char* end, long double& value, bool& inRange) {
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  const char* const unsignedStart = p;

  // Up to 19 significant digits fit the 64-bit mantissa exactly.
  uint64_t mantissa = 0;
  int significant = 0;
  bool truncated = false;
  int64_t exponent10 = 0;
  auto takeDigits = [&](bool fractional) {
    const char* const first = p;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
      const unsigned digit = static_cast<unsigned>(*p - '0');
      if (significant == 0 && digit == 0) {
        if (fractional) --exponent10;
      } else if (significant < 19) {
        mantissa = mantissa * 10 + digit;
        ++significant;
        if (fractional) --exponent10;
      } else {
        if (digit != 0) truncated = true;
        if (!fractional) ++exponent10;
      }
    }
    return p != first;
  };
  // A sign, point or exponent mark without its digits fails the whole number.
  if (!takeDigits(false)) return nullptr;
  if (p != end && *p == '.') {
    ++p;
    if (!takeDigits(true)) return nullptr;
  }
  if (p != end && (*p == 'e' || *p == 'E')) {
    ++p;
    bool negativeExponent = false;
    if (p != end && (*p == '+' || *p == '-')) negativeExponent = *p++ == '-';
    const char* const digits = p;
    int64_t written = 0;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
      if (written < 100000000) written = written * 10 + (*p - '0');
    }
    if (p == digits) return nullptr;
    exponent10 += negativeExponent ? -written : written;
  }

  inRange = true;
  if (mantissa == 0) {
    value = negative ? -0.0L : 0.0L;
    return p;
  }
  if (!truncated && exponent10 >= -kMaxExactPower && exponent10 <= kMaxExactPower &&
      (kExtendedSignificand || mantissa < (1ULL << 53))) {
    const long double m = static_cast<long double>(mantissa);
    const long double result = exponent10 >= 0 ? m * kPowers.Values[exponent10] : m / kPowers.Values[-exponent10];
    value = negative ? -result : result;
    return p;
  }
  long double result = 0;
  const auto parsed = std::from_chars(unsignedStart, p, result);
  if (parsed.ec == std::errc::result_out_of_range) {
    // Some libraries read long double only within the range of double; the
    // 80-bit range is then reached by scaling the 19-digit mantissa.
    result = ScaleByPowerOfTen(static_cast<long double>(mantissa), exponent10);
    if (std::isinf(result)) {
      inRange = false;  // beyond the range on the large side: unreadable
      return p;
    }
  }
  value = negative ? -result : result;  // below the range on the small side: zero
  return p;
}

bool JSONNumberTextToFloat(std::string_view text, long double& value) {
  bool inRange = false;
  const char* end = ScanJSONNumber(text.data(), text.data() + text.size(), value, inRange);
  return end == text.data() + text.size() && inRange;
}

}  // namespace wb
