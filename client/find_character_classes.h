// Character classes of the file search: the system's lower-case table, the
// letters and digits that end a whole word, and their forms for UTF-16 and
// UTF-8 text (code points of the system code page fold as their bytes do).
#pragma once

#include <array>
#include <cstdint>

namespace wb {

const std::array<uint8_t, 256>& SystemLowerCaseTable();
// A letter or digit of the system code page.
bool IsWordByte(uint8_t byte);

// Lower case of a code point (unchanged outside the system code page).
uint32_t FoldCodePoint(uint32_t codePoint);
// Whether a code point is part of a word: letters and digits of the system
// code page; outside it, everything but punctuation, symbols and U+FFFD.
bool IsWordCodePoint(uint32_t codePoint);

}  // namespace wb
