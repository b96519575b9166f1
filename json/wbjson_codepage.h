// The system code page as lookup tables for the reader and the writer, taken
// once from the platform's own conversion, so that strings convert character by
// character without a temporary string. Characters the tables do not hold
// (those without a byte of their own, surrogates) go through the platform's
// conversion of the whole string, which applies best fit.
#pragma once

#include <array>
#include <cstdint>

namespace wb::json_text {

class TCodePageTables {
 public:
  TCodePageTables();
  // False when the code page is not a single-byte one; the tables are then unused.
  bool Usable() const { return usable_; }
  char16_t CharOf(unsigned char byte) const { return byteToChar_[byte]; }
  // The byte of the character, or -1 when it has none of its own.
  int ByteOf(char16_t character) const {
    if (character < 0x100) return lowCharToByte_[character];
    return HighByteOf(character);
  }

 private:
  int HighByteOf(char16_t character) const;

  bool usable_ = true;
  std::array<char16_t, 256> byteToChar_{};
  std::array<int16_t, 256> lowCharToByte_{};
  // Characters above U+00FF with a byte of their own, sorted by character.
  std::array<char16_t, 128> highChars_{};
  std::array<uint8_t, 128> highBytes_{};
  int highCount_ = 0;
};

const TCodePageTables& SystemCodePage();

}  // namespace wb::json_text
