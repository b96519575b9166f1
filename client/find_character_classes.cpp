// Character classes of the file search, built once from the code-page tables.
#include "client/find_character_classes.h"

#include <memory>

#include "platform/codepage.h"
#include "strings/strutils.h"

namespace wb {
namespace {

std::array<uint8_t, 256> MakeLowerTable() {
  const auto& upper = Cp1252UpperCaseTable();
  const auto& swap = Cp1252CaseSwapTable();
  std::array<uint8_t, 256> lower{};
  for (std::size_t c = 0; c < 256; ++c) {
    // An upper-case letter is one that swaps and is its own upper case.
    const bool upperLetter = swap[c] != c && upper[c] == c;
    lower[c] = upperLetter ? swap[c] : static_cast<uint8_t>(c);
  }
  return lower;
}

std::array<bool, 256> MakeWordTable() {
  std::array<bool, 256> word{};
  const auto& swap = Cp1252CaseSwapTable();
  for (std::size_t c = 0; c < 256; ++c) word[c] = swap[c] != c;  // every cased letter
  for (std::size_t c = '0'; c <= '9'; ++c) word[c] = true;
  // Letters without a case partner: ƒ ª µ º ß.
  for (std::size_t c : {0x83u, 0xAAu, 0xB5u, 0xBAu, 0xDFu}) word[c] = true;
  return word;
}

// The wide tables cover the Basic Multilingual Plane (the phrase comes from the
// system code page, so it never needs more).
struct WideTables {
  std::array<char16_t, 65536> fold;
  std::array<bool, 65536> word;
};

std::unique_ptr<WideTables> MakeWideTables() {
  auto tables = std::make_unique<WideTables>();
  for (uint32_t u = 0; u < 65536; ++u) {
    tables->fold[u] = static_cast<char16_t>(u);
    const bool punctuation = (u >= 0x2000 && u <= 0x2BFF) || (u >= 0x3000 && u <= 0x303F) ||
                             (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF0F) || u == 0xFFFD ||
                             (u >= 0xFFF0);
    tables->word[u] = u >= 0x100 && !punctuation;
  }
  for (uint32_t u = 0x80; u < 0x100; ++u) tables->word[u] = false;
  for (std::size_t b = 0; b < 256; ++b) {
    const char16_t u = platform::Cp1252ToChar(static_cast<unsigned char>(b));
    tables->fold[u] = platform::Cp1252ToChar(SystemLowerCaseTable()[b]);
    tables->word[u] = IsWordByte(static_cast<uint8_t>(b));
  }
  return tables;
}

const WideTables& Wide() {
  static const std::unique_ptr<WideTables> tables = MakeWideTables();
  return *tables;
}

}  // namespace

const std::array<uint8_t, 256>& SystemLowerCaseTable() {
  static const std::array<uint8_t, 256> table = MakeLowerTable();
  return table;
}

bool IsWordByte(uint8_t byte) {
  static const std::array<bool, 256> table = MakeWordTable();
  return table[byte];
}

uint32_t FoldCodePoint(uint32_t codePoint) { return codePoint < 65536 ? Wide().fold[codePoint] : codePoint; }

bool IsWordCodePoint(uint32_t codePoint) { return codePoint < 65536 ? Wide().word[codePoint] : true; }

}  // namespace wb
