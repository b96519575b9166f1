// TIniItems: the settings file's lines in file order, with the hashed section
// table and the optional per-section key index. Lines are classified when the
// text is set and parsed into name and value only when a lookup passes them,
// so loading a large file costs little more than finding its line ends.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "client/ini_hash.h"

namespace wb {

enum class TIniLineKind : uint8_t {
  KeyLine = 0,      // parsed: Text is the name, Value the value
  TextLine = 1,     // parsed, has no "=": Text without its leading blanks
  RawLine = 2,      // not parsed yet: Text is the line as read
  SectionLine = 3,  // "[name]"
  CommentLine = 4,  // first character ";"
  BlankLine = 5,    // empty
};

// One line. Text and Value point into the store's loaded text or into the
// line's own buffer, so that untouched lines of a loaded file cost no allocation.
struct TIniLine {
  TIniLineKind Kind = TIniLineKind::RawLine;
  uint32_t Hash = 0;  // of the name (KeyLine only)
  std::string_view Text;
  std::string_view Value;
  std::unique_ptr<char[]> Owned;
};

// Line counters by classification, kept as lines are added and deleted.
struct TStatistics {
  int32_t BlankLines = 0;
  int32_t CommentLines = 0;
  int32_t OtherLines = 0;  // keys, text and lines not parsed yet
  int32_t SectionLines = 0;
};

// The key index of a section: for each bucket the line numbers of the section's
// KeyLines in file order. It is dropped whenever lines before one of them move.
using TKeyIndex = std::array<std::vector<int32_t>, kIniBucketCount>;

struct TSectionItem {
  std::unique_ptr<TSectionItem> Next;
  std::unique_ptr<TKeyIndex> KeyIndex;
  int32_t FirstLine = 0;  // the line after the header
  std::string Name;       // the text between the brackets, not trimmed
};

// 256 buckets of singly linked section records; a new record goes to the head
// of its bucket, so of two equal headers the later one is found.
class TSectionItems {
 public:
  TSectionItems() = default;
  TSectionItems(const TSectionItems&) = delete;
  TSectionItems& operator=(const TSectionItems&) = delete;
  ~TSectionItems();

  void SetMatching(TIniNameMatching matching) { matching_ = matching; }
  TSectionItem* Find(std::string_view name) const;
  TSectionItem* Add(std::string_view name, int32_t firstLine);
  void Remove(const TSectionItem* item);
  void Clear();
  int32_t Count() const { return count_; }

  // Moves the first line of every section that starts after line by delta and
  // drops those sections' key indexes (their line numbers moved).
  void ShiftAfter(int32_t line, int32_t delta);
  void DropKeyIndexes();

  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const auto& head : buckets_)
      for (TSectionItem* item = head.get(); item; item = item->Next.get()) visit(*item);
  }

 private:
  std::array<std::unique_ptr<TSectionItem>, kIniBucketCount> buckets_;
  TIniNameMatching matching_ = IniNameMatching(false, true);
  int32_t count_ = 0;
};

class TIniItems {
 public:
  TIniItems();
  TIniItems(const TIniItems&) = delete;
  TIniItems& operator=(const TIniItems&) = delete;
  ~TIniItems();

  // Replaces the content by the lines of text (up to its first NUL byte).
  void SetText(std::string_view text);
  // The same, keeping the given buffer instead of copying it.
  void AdoptText(std::string&& text);
  // Every line followed by CR LF, in one allocation.
  std::string GetText() const;
  // Opens the file with TFileStreamEx (read, deny write; retried) and sets its text.
  void LoadFromFile(const std::string& fileName);
  // Writes the text through a temporary file beside the target that replaces
  // it only when complete; retried for a while, then EFCreateError.
  void SaveToFile(const std::string& fileName) const;
  void Clear();

  int32_t Count() const { return static_cast<int32_t>(lines_.size()); }
  int32_t Capacity() const { return static_cast<int32_t>(lines_.capacity()); }
  // A list error "Der Index der Liste überschreitet das Maximum (%d)" outside 0..Count-1.
  const TIniLine& Line(int32_t index) const;
  // The line as it is written to the file.
  std::string LineText(int32_t index) const;
  const TStatistics& Statistics() const { return statistics_; }
  const TSectionItems& Sections() const { return sections_; }

  // Switches the case mode; names already parsed are hashed again.
  void SetNameMatching(TIniNameMatching matching);
  const TIniNameMatching& NameMatching() const { return matching_; }
  bool KeyIndexMode() const { return keyIndexMode_; }
  void SetKeyIndexMode(bool on);
  // Force the written file to the disk. The save through a temporary file
  // always does so before it replaces the old file, whatever this says; the
  // flag stays for callers that set it.
  bool FlushToDisk = false;

  // Turns a RawLine into a KeyLine or TextLine (other kinds stay as they are).
  void Parse(int32_t index);

  TSectionItem* FindSection(std::string_view name, bool create);
  // The index of the next header after the section's first line, or Count().
  int32_t SectionEnd(const TSectionItem& section) const;
  // The line of the key in the section, or -1. name must be trimmed.
  int32_t FindKey(TSectionItem& section, std::string_view name);
  // Inserts an empty key after the section's last key or text line.
  int32_t InsertKey(TSectionItem& section, std::string_view name);
  void SetValue(int32_t index, std::string_view value);
  // Deletes a key line of the section.
  void DeleteKey(TSectionItem& section, int32_t index);
  // Deletes the section's header and body as RemoveSection defines it; returns
  // the number of lines deleted.
  int32_t DeleteSection(TSectionItem& section);

 private:
  void AppendClassified(std::string_view line);
  void AppendOwned(TIniLineKind kind, std::string_view text);
  void InsertLine(int32_t index, TIniLine line);
  void EraseLines(int32_t first, int32_t count);
  void GrowIfFull();
  void Count(TIniLineKind kind, int32_t delta);
  void BuildKeyIndex(TSectionItem& section);
  int32_t FindKeyLinear(const TSectionItem& section, std::string_view name, uint32_t hash);
  int32_t FindKeyIndexed(TSectionItem& section, std::string_view name, uint32_t hash);

  std::vector<TIniLine> lines_;
  std::string loaded_;  // the text the untouched lines point into (never moved while they do)
  TSectionItems sections_;
  TStatistics statistics_;
  TIniNameMatching matching_;
  TSectionItem* lastSection_ = nullptr;
  bool keyIndexMode_ = false;
};

// Trimming as the file format does it: characters with codes up to 32.
std::string_view IniTrim(std::string_view text);
std::string_view IniTrimLeft(std::string_view text);
std::string_view IniTrimRight(std::string_view text);

}  // namespace wb
