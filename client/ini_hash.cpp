// Name hashing and comparing of the settings file for its three case modes.
#include "client/ini_hash.h"

#include <bit>

#include "strings/strutils.h"

namespace wb {
namespace {

constexpr std::array<uint8_t, 256> MakeAsciiUpper() {
  std::array<uint8_t, 256> table{};
  for (std::size_t c = 0; c < 256; ++c) table[c] = static_cast<uint8_t>(c);
  for (std::size_t c = 'a'; c <= 'z'; ++c) table[c] = static_cast<uint8_t>(c - 32);
  return table;
}
constexpr std::array<uint8_t, 256> kAsciiUpper = MakeAsciiUpper();

template <typename Map>
inline uint32_t HashWith(std::string_view name, Map map) {
  uint32_t hash = 0;
  for (char c : name) hash = std::rotl(hash, 2) ^ map(static_cast<uint8_t>(c));
  return hash;
}

inline bool EqualThrough(std::string_view a, std::string_view b, const std::array<uint8_t, 256>& table) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (table[static_cast<uint8_t>(a[i])] != table[static_cast<uint8_t>(b[i])]) return false;
  return true;
}

}  // namespace

// The system code page's upper-case mapping of every byte value; on POSIX the
// system code page is Windows-1252.
const std::array<uint8_t, 256>& IniSystemUpperTable() {
  static const std::array<uint8_t, 256> table = Cp1252UpperCaseTable();
  return table;
}

const std::array<uint8_t, 256>& IniAsciiUpperTable() { return kAsciiUpper; }

uint32_t IniHashExact(std::string_view name) {
  return HashWith(name, [](uint8_t c) { return static_cast<uint32_t>(c); });
}

uint32_t IniHashSystemUpper(std::string_view name) {
  const auto& table = IniSystemUpperTable();
  return HashWith(name, [&table](uint8_t c) { return static_cast<uint32_t>(table[c]); });
}

uint32_t IniHashAsciiUpper(std::string_view name) {
  return HashWith(name, [](uint8_t c) { return static_cast<uint32_t>(kAsciiUpper[c]); });
}

bool IniEqualExact(std::string_view a, std::string_view b) { return a == b; }
bool IniEqualSystemUpper(std::string_view a, std::string_view b) { return EqualThrough(a, b, IniSystemUpperTable()); }
bool IniEqualAsciiUpper(std::string_view a, std::string_view b) { return EqualThrough(a, b, kAsciiUpper); }

TIniNameMatching IniNameMatching(bool caseSensitive, bool useSystemUpperCase) {
  if (caseSensitive) return {IniHashExact, IniEqualExact};
  if (useSystemUpperCase) return {IniHashSystemUpper, IniEqualSystemUpper};
  return {IniHashAsciiUpper, IniEqualAsciiUpper};
}

}  // namespace wb
