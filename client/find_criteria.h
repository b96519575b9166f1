// The criteria of the file search: where to look and which names (TFileCriteria),
// which attributes, time stamps, sizes and content a file must have. Every
// class can be copied (the search works on its own copy) and reset.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "strings/string_list.h"

namespace wb {

// A date-time: days since 1899-12-30, the time of day as the fraction.
using TDateTime = double;

class TCustomCriteria {
 public:
  virtual ~TCustomCriteria() = default;
  // Back to the defaults.
  virtual void Clear() = 0;
};

// One folder to search, with its masks and depth limits.
struct TTargetPath {
  std::string Folder;  // full path with trailing delimiter
  std::vector<std::string> Masks;
  bool Subfolders = true;
  uint16_t MinLevel = 0;
  uint16_t MaxLevel = 0;  // 0: no limit
};
using TTargetPaths = std::vector<TTargetPath>;

class TFileCriteria : public TCustomCriteria {
 public:
  TFileCriteria() = default;
  TFileCriteria(const TFileCriteria& other);
  TFileCriteria& operator=(const TFileCriteria& other);
  void Clear() override;

  // File masks separated by ";" (empty: "*.*").
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string value);
  // Folders separated by ";", each with an optional prefix: "n>" (sub-folders
  // down to depth n), "a-b>" (report from depth a, descend to depth b), ">"
  // (sub-folders), "<" (no sub-folders).
  const std::string& Location() const { return location_; }
  void SetLocation(std::string value);
  // More targets, one per line: a folder with a mask ("/daten/*.txt"), same prefixes.
  TStringList& Paths() { return paths_; }
  const TStringList& Paths() const { return paths_; }
  bool Subfolders() const { return subfolders_; }
  void SetSubfolders(bool value);
  uint16_t MinLevel() const { return minLevel_; }
  void SetMinLevel(uint16_t value);
  uint16_t MaxLevel() const { return maxLevel_; }
  void SetMaxLevel(uint16_t value);
  // Extra wildcard tests on the full path: ">mask" accepts, "<mask" or "mask" rejects.
  TStringList& Filters() { return filters_; }
  const TStringList& Filters() const { return filters_; }

  // The targets, built on first use and kept until the criteria change.
  const TTargetPaths& TargetPaths() const;

 private:
  void DropTargets() { targets_.reset(); }

  std::string fileName_;
  std::string location_;
  TStringList paths_;
  bool subfolders_ = true;
  uint16_t minLevel_ = 0;
  uint16_t maxLevel_ = 0;
  TStringList filters_;
  // Shared between copies: a search's private copy reuses the built list.
  mutable std::shared_ptr<const TTargetPaths> targets_;
  mutable std::vector<std::string> targetsPathsSnapshot_;
};

enum class TFileAttributeStatus { fsIgnore, fsSet, fsUnset, fsAnySet, fsAnyUnset };

// The attributes the criteria name, with their Windows bits.
enum class TFileAttribute : uint32_t {
  Readonly = 0x1,
  Hidden = 0x2,
  System = 0x4,
  Directory = 0x10,
  Archive = 0x20,
  Device = 0x40,
  Normal = 0x80,
  Temporary = 0x100,
  SparseFile = 0x200,
  ReparsePoint = 0x400,
  Compressed = 0x800,
  Offline = 0x1000,
  NotContentIndexed = 0x2000,
  Encrypted = 0x4000,
  Virtual = 0x10000,
};

class TAttributesCriteria : public TCustomCriteria {
 public:
  TAttributesCriteria() { Clear(); }
  // Hidden, System and Directory must be unset; everything else is ignored.
  void Clear() override;

  TFileAttributeStatus Get(TFileAttribute attribute) const;
  void Set(TFileAttribute attribute, TFileAttributeStatus status);

  uint32_t MustBeSet() const { return mustBeSet_; }
  uint32_t MustBeUnset() const { return mustBeUnset_; }
  uint32_t AnySet() const { return anySet_; }
  uint32_t AnyUnset() const { return anyUnset_; }
  // Every bit some test looks at.
  uint32_t Examined() const { return mustBeSet_ | mustBeUnset_ | anySet_ | anyUnset_; }
  bool Matches(uint32_t attributes) const;

 private:
  uint32_t mustBeSet_ = 0;
  uint32_t mustBeUnset_ = 0;
  uint32_t anySet_ = 0;
  uint32_t anyUnset_ = 0;
};

class TDateTimeCriteria : public TCustomCriteria {
 public:
  void Clear() override { *this = TDateTimeCriteria(); }
  bool IsEmpty() const;
  // Each bound 0 = none. A bound without a date compares only the time of
  // day, one without a time only the date. Bounds are inclusive.
  bool Matches(TDateTime created, TDateTime modified, TDateTime accessed) const;

  TDateTime CreatedBefore = 0;
  TDateTime CreatedAfter = 0;
  TDateTime ModifiedBefore = 0;
  TDateTime ModifiedAfter = 0;
  TDateTime AccessedBefore = 0;
  TDateTime AccessedAfter = 0;
};

class TSizeCriteria : public TCustomCriteria {
 public:
  void Clear() override { *this = TSizeCriteria(); }
  bool IsEmpty() const { return Min == 0 && Max == 0; }
  bool Matches(uint64_t size) const { return !(Min != 0 && size < Min) && !(Max != 0 && size > Max); }

  uint64_t Min = 0;  // 0: no bound
  uint64_t Max = 0;
};

enum TContentSearchOption : uint8_t {
  csoCaseSensitive = 0x1,
  csoWholeWord = 0x2,
  csoNegate = 0x4,
};
using TContentSearchOptions = uint8_t;

class TContentCriteria : public TCustomCriteria {
 public:
  void Clear() override { *this = TContentCriteria(); }
  std::string Phrase;  // 8-bit; empty: no test
  TContentSearchOptions Options = 0;
};

class TSearchCriteria : public TCustomCriteria {
 public:
  void Clear() override;
  TFileCriteria Files;
  TAttributesCriteria Attributes;
  TDateTimeCriteria TimeStamp;
  TSizeCriteria Size;
  TContentCriteria Content;
};

}  // namespace wb
