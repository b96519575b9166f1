// TFindFile: walks folders and reports the files that meet the search criteria
// (names and locations, attributes, time stamps, size, content), and
// CollectFiles, the one-call form the entry editor uses for its layout list.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "client/find_criteria.h"
#include "platform/files.h"
#include "platform/find_files.h"

namespace wb {

class TStringList;

// One file found. Folder and name are always there; attributes, size and time
// stamps are fetched from the file system the first time they are asked for,
// so a search that needs only names does not look at each file.
class TFileDetails {
 public:
  TFileDetails() = default;
  TFileDetails(std::string folder, std::string name);

  std::string Folder;  // with trailing delimiter
  std::string Name;
  std::string FullPath() const { return Folder + Name; }

  uint32_t Attributes() const;
  uint64_t Size() const;  // the whole size (not only its low 32 bits)
  TDateTime CreationTime() const;
  TDateTime LastWriteTime() const;
  TDateTime LastAccessTime() const;

  // Used by the search to hand over what it already knows.
  void SetDetails(const platform::FindData& data);
  void Reset(const std::string& folder, const std::string& name);

 private:
  const platform::FindData& Details() const;
  mutable std::optional<platform::FindData> details_;
};

enum TFolderIgnore : uint8_t {
  IgnoreNone = 0,        // search files and sub-folders
  IgnoreFiles = 1,       // skip this folder's files, still descend
  IgnoreSubfolders = 2,  // search files, do not descend
  IgnoreAll = 3,
};

class TFindFile {
 public:
  using TFileMatchEvent = std::function<void(TFindFile& sender, const TFileDetails& fileInfo)>;
  using TFolderChangeEvent =
      std::function<void(TFindFile& sender, const std::string& folder, TFolderIgnore& ignoreFolder)>;
  using TNotifyEvent = std::function<void(TFindFile& sender)>;

  TFindFile() = default;
  TFindFile(const TFindFile&) = delete;
  TFindFile& operator=(const TFindFile&) = delete;
  ~TFindFile();

  TSearchCriteria Criteria;
  TFileMatchEvent OnFileMatch;
  TFolderChangeEvent OnFolderChange;
  TNotifyEvent OnSearchBegin;
  TNotifyEvent OnSearchFinish;

  // Runs the search on the calling thread; returns when it is done. Does
  // nothing while a search is already running. Errors of event handlers pass
  // to the caller after the search has finished its end steps.
  void Search();
  // Ends a running search at its next check (before each folder and entry).
  void StopSearch();

  bool Busy() const { return busy_; }
  bool StopRequested() const { return stopRequested_; }
  // The depth of the folder being searched (the target's folder is 1).
  int Level() const { return level_; }
  // The target being searched, or nullptr.
  const TTargetPath* CurrentTarget() const { return target_; }

 private:
  class Run;
  bool busy_ = false;
  bool stopRequested_ = false;
  bool destroying_ = false;
  int level_ = 0;
  const TTargetPath* target_ = nullptr;
};

// Holds the list CollectFiles fills: every file found is added as its full path.
class TFindFileCallBack {
 public:
  explicit TFindFileCallBack(TStringList& list) : list_(list) {}
  void FileMatch(TFindFile& sender, const TFileDetails& fileInfo);

 private:
  TStringList& list_;
};

// Adds the full paths of the files matching mask in location (and its
// sub-folders when asked) to list, in listing order; the list is not cleared.
void CollectFiles(const std::string& location, const std::string& mask, TStringList& list, bool subfolders);

}  // namespace wb
