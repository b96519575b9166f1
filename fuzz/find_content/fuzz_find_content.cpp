// Fuzz target for the content search of the file search: any bytes are
// searched without a crash; the answer does not depend on where the blocks are
// cut; for 8-bit text it is the answer of a plain search written here; and a
// phrase placed between blanks into any text of each form is found.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "client/find_character_classes.h"
#include "client/find_content.h"
#include "platform/codepage.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

enum Form { kAnsi, kUtf16Le, kUtf16Be, kUtf8 };

wb::TContentResult Search(std::string_view bytes, std::string_view phrase, wb::TContentSearchOptions options,
                          int blockSize) {
  size_t position = 0;
  auto read = [&](uint8_t* buffer, int64_t size) -> int64_t {
    const size_t count = std::min(bytes.size() - position, static_cast<size_t>(size));
    std::copy_n(bytes.data() + position, count, buffer);
    position += count;
    return static_cast<int64_t>(count);
  };
  return wb::SearchContent(read, phrase, options, blockSize);
}

int WholeTextBlock(std::string_view bytes) { return static_cast<int>(std::max<size_t>(bytes.size() + 1, 3)); }

bool HasByteOrderMark(std::string_view bytes) {
  return bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF" || bytes.substr(0, 3) == "\xEF\xBB\xBF";
}

// 8-bit text searched at every position, the way a reader of the rules would.
bool PlainSearch(std::string_view text, std::string_view phrase, wb::TContentSearchOptions options) {
  const auto& lower = wb::SystemLowerCaseTable();
  auto unit = [&](char c) {
    const auto byte = static_cast<uint8_t>(c);
    return (options & wb::csoCaseSensitive) ? byte : lower[byte];
  };
  for (size_t start = 0; start + phrase.size() <= text.size(); ++start) {
    bool same = true;
    for (size_t i = 0; same && i < phrase.size(); ++i) same = unit(text[start + i]) == unit(phrase[i]);
    if (!same) continue;
    if (!(options & wb::csoWholeWord)) return true;
    const size_t end = start + phrase.size();
    const bool before = start == 0 || !wb::IsWordByte(unit(text[start - 1]));
    const bool after = end == text.size() || !wb::IsWordByte(unit(text[end]));
    if (before && after) return true;
  }
  return false;
}

std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  for (char16_t c : text) {
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

// The text of the given form with the phrase between two blanks after the
// first half of the haystack's bytes.
std::string WithPhrasePlaced(Form form, std::string_view haystack, std::string_view phrase) {
  const std::string placed = " " + std::string(phrase) + " ";
  std::string_view first = haystack.substr(0, haystack.size() / 2), second = haystack.substr(haystack.size() / 2);
  switch (form) {
    case kAnsi: return "A" + std::string(first) + placed + std::string(second);
    case kUtf8: return "\xEF\xBB\xBF" + std::string(first) + wb::platform::AnsiToUtf8(placed) + std::string(second);
    case kUtf16Le:
    case kUtf16Be: {
      // Whole UTF-16 units before the phrase keep it in step.
      first = first.substr(0, first.size() & ~size_t{1});
      const bool bigEndian = form == kUtf16Be;
      return std::string(bigEndian ? "\xFE\xFF" : "\xFF\xFE") + std::string(first) +
             Utf16(wb::platform::AnsiToWide(placed), bigEndian) + std::string(second);
    }
  }
  return {};
}

}  // namespace

// Input: options and form, block size, phrase length, the phrase, the haystack.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const wb::TContentSearchOptions options = data[0] & (wb::csoCaseSensitive | wb::csoWholeWord);
  const Form form = static_cast<Form>((data[0] >> 2) & 3);
  const int blockSize = 3 + data[1] % 61;
  const size_t phraseLength = std::min<size_t>(1 + data[2] % 8, size - 3);
  const std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
  const std::string_view phrase = rest.substr(0, phraseLength);
  const std::string_view haystack = rest.substr(phraseLength);
  if (phrase.empty()) return 0;

  const wb::TContentResult inBlocks = Search(haystack, phrase, options, blockSize);
  Check(inBlocks != wb::TContentResult::Unreadable);
  Check(inBlocks == Search(haystack, phrase, options, WholeTextBlock(haystack)));
  if (!HasByteOrderMark(haystack))
    Check((inBlocks == wb::TContentResult::Found) == PlainSearch(haystack, phrase, options));

  const std::string placed = WithPhrasePlaced(form, haystack, phrase);
  Check(Search(placed, phrase, options, blockSize) == wb::TContentResult::Found);
  return 0;
}
