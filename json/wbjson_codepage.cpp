// Building the code-page tables from the platform's conversion.
#include "json/wbjson_codepage.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/codepage.h"

namespace wb::json_text {

TCodePageTables::TCodePageTables() {
  lowCharToByte_.fill(-1);
  std::vector<std::pair<char16_t, uint8_t>> high;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string single(1, static_cast<char>(byte));
    const std::u16string wide = platform::AnsiToWide(single);
    if (wide.size() != 1) {
      usable_ = false;
      return;
    }
    const char16_t character = wide[0];
    byteToChar_[static_cast<std::size_t>(byte)] = character;
    // Only characters that come back as the same byte have a byte of their own.
    if (platform::WideToAnsi(wide) != single) continue;
    if (character < 0x100) {
      lowCharToByte_[character] = static_cast<int16_t>(byte);
    } else if (high.size() < highChars_.size()) {
      high.emplace_back(character, static_cast<uint8_t>(byte));
    }
  }
  std::sort(high.begin(), high.end());
  for (const auto& [character, byte] : high) {
    highChars_[static_cast<std::size_t>(highCount_)] = character;
    highBytes_[static_cast<std::size_t>(highCount_)] = byte;
    ++highCount_;
  }
}

int TCodePageTables::HighByteOf(char16_t character) const {
  const auto end = highChars_.begin() + highCount_;
  const auto found = std::lower_bound(highChars_.begin(), end, character);
  if (found == end || *found != character) return -1;
  return highBytes_[static_cast<std::size_t>(found - highChars_.begin())];
}

const TCodePageTables& SystemCodePage() {
  static const TCodePageTables tables;
  return tables;
}

}  // namespace wb::json_text
