// Ustrutils: the small text and list routines the whole tool shares. All text
// is 8-bit in the system code page; positions count from 1.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "strings/string_list.h"

namespace wb {

// Plain text out of entry-name markup, in place (tags, a few entities, line breaks).
void StripHTMLMarkup(std::string& text);
// Replaces every non-overlapping occurrence of search, found without regard to
// case (Windows-1252 case tables), by replacement.
void ReplaceAllText(std::string& text, std::string_view search, std::string_view replacement);
// First occurrence of search at or after start (1-based, case matters), or 0.
int PosFrom(std::string_view search, std::string_view text, int start);
// Splits text at delimiter; see the unit's notes for maxParts and fixedLength.
void SplitText(std::string_view delimiter, std::string_view text, int maxParts, std::vector<std::string>& parts,
               int fixedLength);
// "Natural" order: digit runs compare by value in texts shorter than 10 characters.
int NaturalCompareText(std::string_view a, std::string_view b);
void SortStringsNatural(TStringList& list);
// The ELF (PJW) hash over the bytes.
uint32_t HashText(std::string_view text);
// A new GUID as 36 upper-case hex digits in groups 8-4-4-4-12, no braces.
std::string NewGuidText();
// HashText of a fresh NewGuidText: unique temporary file names.
uint32_t RandomNameNumber();
// Waits about that long while the window keeps handling its events.
void WaitProcessingMessages(unsigned milliseconds);

template <typename T>
void FreeAndClear(std::unique_ptr<T>& reference) {
  std::unique_ptr<T> object = std::move(reference);
  object.reset();
}

// The Windows-1252 case tables ReplaceAllText works with.
const std::array<uint8_t, 256>& Cp1252UpperCaseTable();
const std::array<uint8_t, 256>& Cp1252CaseSwapTable();

// A string list with its own name/value separator and case option.
class TStringListEx : public TStringList {
 public:
  using CompareFunction = int (*)(TStringList& list, int index1, int index2);

  bool MatchCase = false;

  char ValueSeparator();
  void SetValueSeparator(char separator);

  std::string NamePart(std::string_view text);
  int IndexOfNameText(std::string_view name);
  int CompareNameText(std::string_view a, std::string_view b) const;
  std::string GetValueText(std::string_view name);
  void SetValueText(std::string_view name, std::string_view value);
  std::string ValueTextAt(int index) const;

  void Assign(const TStringList& source) override;
  virtual void SortWith(CompareFunction compare);

 private:
  char valueSeparator_ = '=';
  bool valueSeparatorSet_ = false;
};

}  // namespace wb
