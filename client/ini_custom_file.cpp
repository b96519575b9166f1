// The typed settings operations shared by every settings-file class.
#include "client/ini_custom_file.h"

#include <charconv>

namespace wb {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<int32_t> ParseIniNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  if (text[0] == '$') {
    text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
      int digit = HexDigit(c);
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<uint64_t>(digit);
      if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    // Hexadecimal is a 32-bit pattern: "$FFFFFFFF" is -1.
    auto pattern = static_cast<int32_t>(static_cast<uint32_t>(value));
    return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(pattern)) : pattern;
  }
  uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative) {
    if (value > 2147483648u) return std::nullopt;
    return static_cast<int32_t>(-static_cast<int64_t>(value));
  }
  if (value > 2147483647u) return std::nullopt;
  return static_cast<int32_t>(value);
}

int32_t TCustomIniFile::ReadNumber(std::string_view section, std::string_view key, int32_t defaultValue) {
  std::string text = ReadSetting(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
  return ParseIniNumber(text).value_or(defaultValue);
}

void TCustomIniFile::WriteNumber(std::string_view section, std::string_view key, int32_t value) {
  WriteSetting(section, key, std::to_string(value));
}

bool TCustomIniFile::ReadFlag(std::string_view section, std::string_view key, bool defaultValue) {
  return ReadNumber(section, key, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteFlag(std::string_view section, std::string_view key, bool value) {
  WriteSetting(section, key, value ? "1" : "0");
}

}  // namespace wb
