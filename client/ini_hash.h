// Name hashing and comparing for the settings file, one pair per case mode.
// Each hash rotates left by 2 bits and xors the mapped byte; the low 8 bits
// pick the bucket of a section or key index.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace wb {

using TIniHashFunction = uint32_t (*)(std::string_view name);
using TIniCompareFunction = bool (*)(std::string_view a, std::string_view b);

// The hash and the equality of one case mode; they always agree, so two names
// that compare equal have the same hash.
struct TIniNameMatching {
  TIniHashFunction Hash;
  TIniCompareFunction Equal;
};

// CaseSensitive wins over UseSystemUpperCase, as the settings file documents.
TIniNameMatching IniNameMatching(bool caseSensitive, bool useSystemUpperCase);

uint32_t IniHashExact(std::string_view name);
uint32_t IniHashSystemUpper(std::string_view name);
uint32_t IniHashAsciiUpper(std::string_view name);
bool IniEqualExact(std::string_view a, std::string_view b);
bool IniEqualSystemUpper(std::string_view a, std::string_view b);
bool IniEqualAsciiUpper(std::string_view a, std::string_view b);

// The system's upper-case table of the 256 byte values (built once per process)
// and the table that maps only a-z.
const std::array<uint8_t, 256>& IniSystemUpperTable();
const std::array<uint8_t, 256>& IniAsciiUpperTable();

inline constexpr unsigned kIniBucketCount = 256;
inline unsigned IniBucketOf(uint32_t hash) { return hash & 0xFFu; }

}  // namespace wb
