// Ustrutils: markup stripping, case-insensitive replace, splitting, natural
// order, hashes and identifiers, the responsive wait, and TStringListEx.
#include "strings/strutils.h"

#include <cstdint>
#include <cstdio>

#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/guid.h"
#include "platform/locale.h"
#include "platform/ui_hooks.h"

namespace wb {
namespace {

constexpr std::array<uint8_t, 256> MakeUpperCaseTable() {
  std::array<uint8_t, 256> table{};
  for (std::size_t i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i);
  for (std::size_t c = 'a'; c <= 'z'; ++c) table[c] = static_cast<uint8_t>(c - 32);
  table[0x9A] = 0x8A;
  table[0x9C] = 0x8C;
  table[0x9E] = 0x8E;
  table[0xFF] = 0x9F;
  for (std::size_t c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) table[c] = static_cast<uint8_t>(c - 0x20);
  return table;
}

constexpr std::array<uint8_t, 256> MakeCaseSwapTable() {
  std::array<uint8_t, 256> table{};
  for (std::size_t i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i);
  auto pair = [&table](std::size_t lower, std::size_t upper) {
    table[lower] = static_cast<uint8_t>(upper);
    table[upper] = static_cast<uint8_t>(lower);
  };
  for (std::size_t c = 'a'; c <= 'z'; ++c) pair(c, c - 32);
  pair(0x9A, 0x8A);
  pair(0x9C, 0x8C);
  pair(0x9E, 0x8E);
  pair(0xFF, 0x9F);
  for (std::size_t c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) pair(c, c - 0x20);
  return table;
}

constexpr std::array<uint8_t, 256> kUpperCase = MakeUpperCaseTable();
constexpr std::array<uint8_t, 256> kCaseSwap = MakeCaseSwapTable();

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The run of digits or of non-digits starting at position.
std::string_view ChunkAt(std::string_view text, size_t position) {
  bool digits = IsDigit(text[position]);
  size_t end = position + 1;
  while (end < text.size() && IsDigit(text[end]) == digits) ++end;
  return text.substr(position, end - position);
}

int64_t DigitValue(std::string_view digits) {
  int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

int Sign(int64_t value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

void QuickSortNatural(TStringList& list, int low, int high) {
  int i;
  do {
    i = low;
    int j = high;
    const std::string pivot = list.Get((low + high) / 2);
    do {
      while (NaturalCompareText(list.Get(i), pivot) < 0) ++i;
      while (NaturalCompareText(list.Get(j), pivot) > 0) --j;
      if (i <= j) {
        if (i != j) list.Exchange(i, j);
        ++i;
        --j;
      }
    } while (i <= j);
    if (low < j) QuickSortNatural(list, low, j);
    low = i;
  } while (i < high);
}

void QuickSortWith(TStringListEx& list, int low, int high, TStringListEx::CompareFunction compare) {
  int i;
  do {
    i = low;
    int j = high;
    int pivot = (low + high) / 2;
    do {
      while (compare(list, i, pivot) < 0) ++i;
      while (compare(list, j, pivot) > 0) --j;
      if (i <= j) {
        if (i != j) {
          list.Exchange(i, j);
          // The pivot travels with its line.
          if (pivot == i) pivot = j;
          else if (pivot == j) pivot = i;
        }
        ++i;
        --j;
      }
    } while (i <= j);
    if (low < j) QuickSortWith(list, low, j, compare);
    low = i;
  } while (i < high);
}

}  // namespace

const std::array<uint8_t, 256>& Cp1252UpperCaseTable() { return kUpperCase; }
const std::array<uint8_t, 256>& Cp1252CaseSwapTable() { return kCaseSwap; }

void ReplaceAllText(std::string& text, std::string_view search, std::string_view replacement) {
  if (text.empty() || search.empty() || search.size() > text.size()) return;
  const size_t n = text.size(), m = search.size();
  std::string result;
  result.reserve(replacement.size() <= m ? n : replacement.size() * (n / m) + n % m);
  const auto* s = reinterpret_cast<const uint8_t*>(search.data());
  const uint8_t first = kUpperCase[s[0]];
  size_t i = 0;
  while (i < n) {
    const auto* t = reinterpret_cast<const uint8_t*>(text.data()) + i;
    bool match = false;
    if (kUpperCase[t[0]] == first && n - i >= m) {
      match = true;
      for (size_t k = 1; k < m; ++k) {
        if (t[k] != s[k] && t[k] != kCaseSwap[s[k]]) {
          match = false;
          break;
        }
      }
    }
    if (match) {
      result.append(replacement);
      i += m;
    } else {
      result.push_back(text[i]);
      ++i;
    }
  }
  text.swap(result);
}

int PosFrom(std::string_view search, std::string_view text, int start) {
  if (search.empty() || text.empty() || start < 1) return 0;
  size_t from = static_cast<size_t>(start - 1);
  if (from + search.size() > text.size()) return 0;
  size_t at = text.find(search, from);
  return at == std::string_view::npos ? 0 : static_cast<int>(at + 1);
}

void StripHTMLMarkup(std::string& text) {
  ReplaceAllText(text, "\r\n\r\n", "\r\n");
  for (const char* tag : {"<br>", "<b>", "</b>"}) ReplaceAllText(text, tag, "");
  ReplaceAllText(text, "&quot;", "");
  ReplaceAllText(text, "&amp;", "&");
  ReplaceAllText(text, "&lt;", "");
  ReplaceAllText(text, "&nbsp;", " ");
  // The search position only grows, one step per removed tag, so a tag that
  // moves in front of it after a removal stays in the text.
  int p = 1;
  while (p < static_cast<int>(text.size())) {
    int open = PosFrom("<", text, p);
    if (open == 0) break;
    int close = PosFrom(">", text, open + 1);
    if (close == 0) break;
    text.erase(static_cast<size_t>(open - 1), static_cast<size_t>(close - open + 1));
    ++p;
  }
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<uint8_t>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<uint8_t>(text[end - 1]) <= ' ') --end;
  text = text.substr(begin, end - begin);
}

void SplitText(std::string_view delimiter, std::string_view text, int maxParts, std::vector<std::string>& parts,
               int fixedLength) {
  parts.clear();
  if (text.empty() || maxParts < 0) return;
  text = text.substr(0, text.find('\0'));
  if (delimiter.empty()) {
    parts.emplace_back(text);
  } else {
    size_t position = 0;
    while (position < text.size()) {
      bool last = maxParts > 0 && static_cast<int>(parts.size()) + 1 == maxParts;
      size_t found = last ? std::string_view::npos : text.find(delimiter, position);
      if (found == std::string_view::npos) {
        parts.emplace_back(text.substr(position));
        break;
      }
      parts.emplace_back(text.substr(position, found - position));
      position = found + delimiter.size();
    }
  }
  if (fixedLength != 0) parts.resize(static_cast<size_t>(fixedLength > 0 ? fixedLength : 0));
}

int NaturalCompareText(std::string_view a, std::string_view b) {
  if (platform::CompareLocaleText(a, b, true) == 0) return 0;
  const bool aShort = a.size() < 10, bShort = b.size() < 10;
  size_t ia = 0, ib = 0;
  while (ia < a.size() && ib < b.size()) {
    std::string_view chunkA = ChunkAt(a, ia), chunkB = ChunkAt(b, ib);
    bool numberA = aShort && IsDigit(chunkA[0]), numberB = bShort && IsDigit(chunkB[0]);
    int difference = numberA && numberB ? Sign(DigitValue(chunkA) - DigitValue(chunkB))
                                        : platform::CompareLocaleText(chunkA, chunkB, true);
    if (difference != 0) return Sign(difference);
    ia += chunkA.size();
    ib += chunkB.size();
  }
  return 0;
}

void SortStringsNatural(TStringList& list) {
  if (list.Count() > 0) QuickSortNatural(list, 0, list.Count() - 1);
}

uint32_t HashText(std::string_view text) {
  uint32_t h = 0;
  for (char c : text) {
    h = (h << 4) + static_cast<uint8_t>(c);
    uint32_t g = h & 0xF0000000u;
    if (g != 0) h ^= g >> 24;
    h &= ~g;
  }
  return h;
}

std::string NewGuidText() {
  platform::Guid guid;
  if (!platform::CreateGuid(guid)) {
    uint32_t code = platform::LastError();
    throw EOSError(platform::SystemErrorMessage(code), code);
  }
  char buffer[37];
  std::snprintf(buffer, sizeof buffer, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", guid.Data1, guid.Data2,
                guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                guid.Data4[6], guid.Data4[7]);
  return buffer;
}

uint32_t RandomNameNumber() { return HashText(NewGuidText()); }

void WaitProcessingMessages(unsigned milliseconds) {
  platform::Clock& clock = platform::GetClock();
  const int64_t start = clock.NowMs();
  for (;;) {
    const int64_t elapsed = clock.NowMs() - start;
    if (elapsed >= static_cast<int64_t>(milliseconds)) return;
    // A quit request stays queued for the main loop and ends the wait.
    if (!platform::GetUiHooks().PumpMessages(static_cast<unsigned>(milliseconds - elapsed))) return;
  }
}

// ---- TStringListEx ----

char TStringListEx::ValueSeparator() {
  if (!valueSeparatorSet_) SetValueSeparator('=');
  return valueSeparator_;
}

void TStringListEx::SetValueSeparator(char separator) {
  valueSeparator_ = separator;
  valueSeparatorSet_ = true;
}

std::string TStringListEx::NamePart(std::string_view text) {
  auto at = text.find(ValueSeparator());
  return at == std::string_view::npos ? std::string() : std::string(text.substr(0, at));
}

int TStringListEx::CompareNameText(std::string_view a, std::string_view b) const {
  return platform::CompareLocaleText(a, b, !MatchCase);
}

int TStringListEx::IndexOfNameText(std::string_view name) {
  const char separator = ValueSeparator();
  for (int i = 0; i < Count(); ++i) {
    const std::string& line = items_[static_cast<size_t>(i)].Text;
    auto at = line.find(separator);
    if (at == std::string::npos) continue;
    if (CompareNameText(std::string_view(line.data(), at), name) == 0) return i;
  }
  return -1;
}

std::string TStringListEx::GetValueText(std::string_view name) {
  int index = IndexOfNameText(name);
  if (index < 0) return {};
  const std::string& line = items_[static_cast<size_t>(index)].Text;
  size_t skip = name.size() + 1;
  // The line's own name may differ in length from the one asked for only in
  // theory (locale equality); take the text after its first separator then.
  auto at = line.find(ValueSeparator());
  if (at != name.size()) skip = at + 1;
  return skip <= line.size() ? line.substr(skip) : std::string();
}

void TStringListEx::SetValueText(std::string_view name, std::string_view value) {
  int index = IndexOfNameText(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  if (index < 0) index = Add("");
  Put(index, std::string(name) + ValueSeparator() + std::string(value));
}

std::string TStringListEx::ValueTextAt(int index) const {
  if (index < 0 || index >= Count()) return {};
  std::string name = Names(index);
  const std::string& line = items_[static_cast<size_t>(index)].Text;
  size_t skip = name.size() + 1;
  return skip <= line.size() ? line.substr(skip) : std::string();
}

void TStringListEx::Assign(const TStringList& source) {
  TStringList::Assign(source);
  if (auto* other = dynamic_cast<const TStringListEx*>(&source)) {
    valueSeparator_ = other->valueSeparator_;
    valueSeparatorSet_ = other->valueSeparatorSet_;
  }
}

void TStringListEx::SortWith(CompareFunction compare) {
  if (Sorted || Count() < 2) return;
  BeginUpdate();
  try {
    QuickSortWith(*this, 0, Count() - 1, compare);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

}  // namespace wb
