// TFindFile: the recursive folder walk, the criteria tests in their order
// (attributes, size, time stamps, filters, content) and CollectFiles.
#include "client/find_file.h"

#include "client/find_content.h"
#include "client/find_wildcard.h"
#include "platform/folders.h"
#include "strings/string_list.h"

namespace wb {

// ---- TFileDetails ---------------------------------------------------------

TFileDetails::TFileDetails(std::string folder, std::string name) : Folder(std::move(folder)), Name(std::move(name)) {}

void TFileDetails::Reset(const std::string& folder, const std::string& name) {
  Folder = folder;
  Name = name;
  details_.reset();
}

void TFileDetails::SetDetails(const platform::FindData& data) { details_ = data; }

const platform::FindData& TFileDetails::Details() const {
  if (!details_) {
    platform::FindData data;
    if (!platform::GetEntryDetails(FullPath(), data)) data = platform::FindData();
    details_ = data;
  }
  return *details_;
}

uint32_t TFileDetails::Attributes() const { return Details().Attributes; }
uint64_t TFileDetails::Size() const { return Details().Size; }
TDateTime TFileDetails::CreationTime() const { return platform::FileTimeToLocalDateTime(Details().CreationTime); }
TDateTime TFileDetails::LastWriteTime() const { return platform::FileTimeToLocalDateTime(Details().LastWriteTime); }
TDateTime TFileDetails::LastAccessTime() const { return platform::FileTimeToLocalDateTime(Details().LastAccessTime); }

// ---- TFindFile::Run: one search on its own copy of the criteria ------------

namespace {

// Folders the search does not enter unless the criteria ask for such files.
constexpr uint32_t kFolderSkipAttributes = 0x15146;  // hidden, system, device, temporary, offline, encrypted, virtual

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

class TFindFile::Run {
 public:
  // The targets are built on the owner's criteria before the copy is taken, so
  // the next search finds them built as long as the criteria do not change.
  explicit Run(TFindFile& owner) : owner_(owner), criteria_(WithTargets(owner.Criteria)) {
    skipMask_ = criteria_.Attributes.MustBeUnset() & kFolderSkipAttributes;
    examined_ = criteria_.Attributes.Examined();
    needDetails_ = !criteria_.Size.IsEmpty() || !criteria_.TimeStamp.IsEmpty();
  }

  void Execute() {
    for (const TTargetPath& target : criteria_.Files.TargetPaths()) {
      if (owner_.stopRequested_) break;
      owner_.level_ = 0;
      owner_.target_ = &target;
      SearchFolder(target, target.Folder);
    }
  }

 private:
  struct LevelScope {
    explicit LevelScope(int& level) : level_(level) { ++level_; }
    ~LevelScope() { --level_; }
    int& level_;
  };

  void SearchFolder(const TTargetPath& target, const std::string& folder) {
    if (owner_.stopRequested_) return;
    LevelScope level(owner_.level_);

    // A linked folder that leads back to a folder on the current way down would
    // make the walk endless: such a folder is searched once only.
    const bool descends = target.Subfolders && (target.MaxLevel == 0 || owner_.level_ < target.MaxLevel);
    platform::FolderIdentity identity;
    bool tracked = false;
    if (descends && platform::GetFolderIdentity(folder, identity)) {
      for (const auto& above : path_)
        if (above == identity) return;
      path_.push_back(identity);
      tracked = true;
    }
    struct PathScope {
      std::vector<platform::FolderIdentity>& path;
      bool tracked;
      ~PathScope() {
        if (tracked) path.pop_back();
      }
    } pathScope{path_, tracked};

    TFolderIgnore ignore = IgnoreNone;
    if (owner_.OnFolderChange && !owner_.stopRequested_) owner_.OnFolderChange(owner_, folder, ignore);

    if ((ignore == IgnoreNone || ignore == IgnoreSubfolders) && owner_.level_ >= target.MinLevel) {
      for (const std::string& mask : target.Masks) {
        if (owner_.stopRequested_) break;
        ListFiles(folder, mask);
      }
    }
    if (descends && ignore < IgnoreSubfolders) {
      for (const std::string& name : SubfolderNames(folder)) {
        if (owner_.stopRequested_) break;
        std::string subfolder = folder;
        subfolder += name;
        subfolder += platform::kPathDelimiter;
        SearchFolder(target, subfolder);
      }
    }
  }

  void ListFiles(const std::string& folder, const std::string& mask) {
    auto listing = platform::FindFirstFile(folder + mask);
    if (!listing) return;
    do {
      if (owner_.stopRequested_) break;
      const std::string& name = listing->Name();
      if (IsDotEntry(name)) continue;
      details_.Reset(folder, name);
      if (Meets(*listing)) {
        if (owner_.OnFileMatch) owner_.OnFileMatch(owner_, details_);
      }
    } while (listing->Next());
  }

  // Collected before descending, so no listing stays open while the search
  // goes down (deep trees would otherwise hold one handle per level).
  std::vector<std::string> SubfolderNames(const std::string& folder) {
    std::vector<std::string> names;
    auto listing = platform::FindFirstFile(folder + "*.*");
    if (!listing) return names;
    do {
      if (owner_.stopRequested_) break;
      const std::string& name = listing->Name();
      if (IsDotEntry(name)) continue;
      const uint32_t attributes = listing->Attributes(platform::kFileAttributeDirectory | skipMask_);
      if ((attributes & platform::kFileAttributeDirectory) && !(attributes & skipMask_)) names.push_back(name);
    } while (listing->Next());
    return names;
  }

  bool Meets(platform::FindHandle& listing) {
    const uint32_t attributes = listing.Attributes(examined_);
    if (!criteria_.Attributes.Matches(attributes)) return false;
    if (needDetails_) {
      platform::FindData data;
      if (!listing.Details(data)) return false;
      details_.SetDetails(data);
      if (!criteria_.Size.Matches(data.Size)) return false;
      if (!criteria_.TimeStamp.IsEmpty() &&
          !criteria_.TimeStamp.Matches(platform::FileTimeToLocalDateTime(data.CreationTime),
                                       platform::FileTimeToLocalDateTime(data.LastWriteTime),
                                       platform::FileTimeToLocalDateTime(data.LastAccessTime)))
        return false;
    }
    if (criteria_.Files.Filters().Count() > 0) {
      std::string path = details_.FullPath();
      if (details_.Name.find('.') == std::string::npos) path += '.';
      if (!PassesFilters(criteria_.Files.Filters(), path)) return false;
    }
    if (!criteria_.Content.Phrase.empty()) {
      // Reading a fifo or a device would wait for a writer that may never come.
      const uint32_t kind = listing.Attributes(platform::kFileAttributeDirectory | platform::kFileAttributeDevice);
      if (kind & (platform::kFileAttributeDirectory | platform::kFileAttributeDevice)) return false;
      if (!ContentMatches(details_.FullPath(), criteria_.Content)) return false;
    }
    return true;
  }

  static const TSearchCriteria& WithTargets(const TSearchCriteria& criteria) {
    criteria.Files.TargetPaths();
    return criteria;
  }

  TFindFile& owner_;
  TSearchCriteria criteria_;
  uint32_t skipMask_ = 0;
  uint32_t examined_ = 0;
  bool needDetails_ = false;
  TFileDetails details_;
  std::vector<platform::FolderIdentity> path_;
};

// ---- TFindFile ------------------------------------------------------------

TFindFile::~TFindFile() {
  destroying_ = true;
  StopSearch();
}

void TFindFile::StopSearch() {
  if (busy_) stopRequested_ = true;
}

void TFindFile::Search() {
  if (busy_) return;
  busy_ = true;
  stopRequested_ = false;
  auto finish = [this] {
    target_ = nullptr;
    level_ = 0;
    busy_ = false;
    if (!destroying_ && OnSearchFinish) OnSearchFinish(*this);
  };
  try {
    Run run(*this);
    if (OnSearchBegin) OnSearchBegin(*this);
    run.Execute();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

// ---- CollectFiles ---------------------------------------------------------

void TFindFileCallBack::FileMatch(TFindFile&, const TFileDetails& fileInfo) {
  std::string path;
  path.reserve(fileInfo.Folder.size() + fileInfo.Name.size());
  path += fileInfo.Folder;
  path += fileInfo.Name;
  list_.Add(path);
}

void CollectFiles(const std::string& location, const std::string& mask, TStringList& list, bool subfolders) {
  TFindFile finder;
  TFindFileCallBack callBack(list);
  finder.Criteria.Files.SetFileName(mask);
  finder.Criteria.Files.SetLocation(location);
  finder.Criteria.Files.SetSubfolders(subfolders);
  finder.OnFileMatch = [&callBack](TFindFile& sender, const TFileDetails& fileInfo) {
    callBack.FileMatch(sender, fileInfo);
  };
  finder.Search();
}

}  // namespace wb
