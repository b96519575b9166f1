// The search criteria classes: defaults, copies, and the attribute, time and
// size tests.
#include "client/find_criteria.h"

#include <cmath>

#include "client/find_targets.h"

namespace wb {

// ---- TFileCriteria --------------------------------------------------------

TFileCriteria::TFileCriteria(const TFileCriteria& other) { *this = other; }

TFileCriteria& TFileCriteria::operator=(const TFileCriteria& other) {
  if (this == &other) return *this;
  fileName_ = other.fileName_;
  location_ = other.location_;
  paths_.Assign(other.paths_);
  subfolders_ = other.subfolders_;
  minLevel_ = other.minLevel_;
  maxLevel_ = other.maxLevel_;
  filters_.Assign(other.filters_);
  targets_ = other.targets_;
  targetsPathsSnapshot_ = other.targetsPathsSnapshot_;
  return *this;
}

void TFileCriteria::Clear() {
  fileName_.clear();
  location_.clear();
  paths_.Clear();
  subfolders_ = true;
  minLevel_ = 0;
  maxLevel_ = 0;
  filters_.Clear();
  DropTargets();
}

void TFileCriteria::SetFileName(std::string value) {
  fileName_ = std::move(value);
  DropTargets();
}

void TFileCriteria::SetLocation(std::string value) {
  location_ = std::move(value);
  DropTargets();
}

void TFileCriteria::SetSubfolders(bool value) {
  subfolders_ = value;
  DropTargets();
}

void TFileCriteria::SetMinLevel(uint16_t value) {
  minLevel_ = value;
  DropTargets();
}

void TFileCriteria::SetMaxLevel(uint16_t value) {
  maxLevel_ = value;
  DropTargets();
}

const TTargetPaths& TFileCriteria::TargetPaths() const {
  // Paths is a list the caller edits directly; the built targets remember the
  // lines they came from, so an edit is noticed without a change event.
  bool pathsChanged = targetsPathsSnapshot_.size() != static_cast<size_t>(paths_.Count());
  for (size_t i = 0; !pathsChanged && i < targetsPathsSnapshot_.size(); ++i)
    pathsChanged = targetsPathsSnapshot_[i] != paths_.Items()[i].Text;
  if (!targets_ || pathsChanged) {
    targetsPathsSnapshot_.clear();
    for (const auto& item : paths_.Items()) targetsPathsSnapshot_.push_back(item.Text);
    targets_ = std::make_shared<const TTargetPaths>(
        BuildTargetPaths(fileName_, location_, targetsPathsSnapshot_, subfolders_, minLevel_, maxLevel_));
  }
  return *targets_;
}

// ---- TAttributesCriteria --------------------------------------------------

void TAttributesCriteria::Clear() {
  mustBeSet_ = anySet_ = anyUnset_ = 0;
  mustBeUnset_ = static_cast<uint32_t>(TFileAttribute::Hidden) | static_cast<uint32_t>(TFileAttribute::System) |
                 static_cast<uint32_t>(TFileAttribute::Directory);
}

TFileAttributeStatus TAttributesCriteria::Get(TFileAttribute attribute) const {
  const auto bit = static_cast<uint32_t>(attribute);
  if (mustBeSet_ & bit) return TFileAttributeStatus::fsSet;
  if (mustBeUnset_ & bit) return TFileAttributeStatus::fsUnset;
  if (anySet_ & bit) return TFileAttributeStatus::fsAnySet;
  if (anyUnset_ & bit) return TFileAttributeStatus::fsAnyUnset;
  return TFileAttributeStatus::fsIgnore;
}

void TAttributesCriteria::Set(TFileAttribute attribute, TFileAttributeStatus status) {
  const auto bit = static_cast<uint32_t>(attribute);
  mustBeSet_ &= ~bit;
  mustBeUnset_ &= ~bit;
  anySet_ &= ~bit;
  anyUnset_ &= ~bit;
  switch (status) {
    case TFileAttributeStatus::fsSet: mustBeSet_ |= bit; break;
    case TFileAttributeStatus::fsUnset: mustBeUnset_ |= bit; break;
    case TFileAttributeStatus::fsAnySet: anySet_ |= bit; break;
    case TFileAttributeStatus::fsAnyUnset: anyUnset_ |= bit; break;
    case TFileAttributeStatus::fsIgnore: break;
  }
}

bool TAttributesCriteria::Matches(uint32_t attributes) const {
  if ((attributes & mustBeSet_) != mustBeSet_) return false;
  if (attributes & mustBeUnset_) return false;
  if (anySet_ && !(attributes & anySet_)) return false;
  if (anyUnset_ && !(~attributes & anyUnset_)) return false;
  return true;
}

// ---- TDateTimeCriteria ----------------------------------------------------

namespace {

// -1, 0, 1: the file's time against a bound, on the parts the bound has.
int CompareToBound(TDateTime time, TDateTime bound) {
  const double boundDate = std::trunc(bound);
  const double boundTime = bound - std::floor(bound);
  double left = time, right = bound;
  if (boundDate == 0) {
    left = time - std::floor(time);
    right = boundTime;
  } else if (boundTime == 0) {
    left = std::floor(time);
    right = std::floor(bound);
  }
  return left < right ? -1 : left > right ? 1 : 0;
}

bool WithinBounds(TDateTime time, TDateTime after, TDateTime before) {
  if (after != 0 && CompareToBound(time, after) < 0) return false;
  if (before != 0 && CompareToBound(time, before) > 0) return false;
  return true;
}

}  // namespace

bool TDateTimeCriteria::IsEmpty() const {
  return CreatedBefore == 0 && CreatedAfter == 0 && ModifiedBefore == 0 && ModifiedAfter == 0 && AccessedBefore == 0 &&
         AccessedAfter == 0;
}

bool TDateTimeCriteria::Matches(TDateTime created, TDateTime modified, TDateTime accessed) const {
  return WithinBounds(created, CreatedAfter, CreatedBefore) && WithinBounds(modified, ModifiedAfter, ModifiedBefore) &&
         WithinBounds(accessed, AccessedAfter, AccessedBefore);
}

// ---- TSearchCriteria ------------------------------------------------------

void TSearchCriteria::Clear() {
  Files.Clear();
  Attributes.Clear();
  TimeStamp.Clear();
  Size.Clear();
  Content.Clear();
}

}  // namespace wb
