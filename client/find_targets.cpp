// Building the search targets: "a;b" lists, the "n>", "a-b>", ">" and "<"
// prefixes, full paths, and one target per folder.
#include "client/find_targets.h"

#include <charconv>

#include "client/client_dirs.h"
#include "platform/find_files.h"

namespace wb {
namespace {

using platform::PathStyle;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<uint8_t>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<uint8_t>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> SplitTrimmed(std::string_view text) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view piece = Trim(text.substr(start, end - start));
    if (!piece.empty()) pieces.push_back(piece);
    start = end + 1;
  }
  return pieces;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

void AddMaskOnce(std::vector<std::string>& masks, std::string_view mask) {
  for (const auto& present : masks)
    if (EqualIgnoringCase(present, mask)) return;
  masks.emplace_back(mask);
}

bool ParseLevel(std::string_view text, uint16_t& level) {
  text = Trim(text);
  uint16_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  level = value;
  return true;
}

// Takes a ">" or "<" prefix off an entry and applies it to the target.
std::string_view ApplyPrefix(std::string_view entry, TTargetPath& target) {
  const size_t greater = entry.find('>');
  if (greater != std::string_view::npos) {
    target.Subfolders = true;
    std::string_view levels = Trim(entry.substr(0, greater));
    if (!levels.empty()) {
      const size_t dash = levels.find('-');
      if (dash != std::string_view::npos) {
        ParseLevel(levels.substr(0, dash), target.MinLevel);
        ParseLevel(levels.substr(dash + 1), target.MaxLevel);
      } else if (ParseLevel(levels, target.MaxLevel)) {
        target.MinLevel = 0;
      }
    }
    return Trim(entry.substr(greater + 1));
  }
  const size_t less = entry.find('<');
  if (less != std::string_view::npos) {
    target.Subfolders = false;
    return Trim(entry.substr(less + 1));
  }
  return Trim(entry);
}

bool SameFolder(const std::string& a, const std::string& b, PathStyle style) {
  // Windows folders ignore case; POSIX folders "A" and "a" are two folders.
  return style == platform::kPathStyleWindows ? EqualIgnoringCase(a, b) : a == b;
}

void AddOrMerge(TTargetPaths& targets, TTargetPath target, PathStyle style) {
  for (TTargetPath& present : targets) {
    if (!SameFolder(present.Folder, target.Folder, style)) continue;
    present.Subfolders = target.Subfolders;
    present.MinLevel = target.MinLevel;
    present.MaxLevel = target.MaxLevel;
    for (const auto& mask : target.Masks) AddMaskOnce(present.Masks, mask);
    return;
  }
  targets.push_back(std::move(target));
}

bool IsDelimiter(char c, PathStyle style) { return c == '/' || (style == platform::kPathStyleWindows && c == '\\'); }

// Splits off the part of an absolute path that ".." cannot climb over: "/",
// "C:\", "\\server\share\".
std::string_view RootOf(std::string_view path, PathStyle style) {
  if (style == platform::kPathStylePosix) return path.substr(0, path.empty() || path[0] != '/' ? 0 : 1);
  if (path.size() >= 2 && IsDelimiter(path[0], style) && IsDelimiter(path[1], style)) {
    size_t position = 2, parts = 0;
    while (position < path.size() && parts < 2) {
      if (IsDelimiter(path[position], style)) ++parts;
      ++position;
    }
    return path.substr(0, position);
  }
  if (path.size() >= 3 && path[1] == ':' && IsDelimiter(path[2], style)) return path.substr(0, 3);
  return {};
}

}  // namespace

std::vector<std::string> SplitFileMasks(std::string_view text) {
  std::vector<std::string> masks;
  for (std::string_view mask : SplitTrimmed(text)) AddMaskOnce(masks, mask);
  if (masks.empty()) masks.emplace_back("*.*");
  return masks;
}

std::string ExpandFileNameFrom(const std::string& path, const std::string& currentDir, PathStyle style) {
  const char delimiter = platform::DelimiterOf(style);
  std::string absolute;
  if (style == platform::kPathStylePosix) {
    absolute = !path.empty() && path[0] == '/' ? path : currentDir + "/" + path;
  } else if (!RootOf(path, style).empty()) {
    absolute = path;
  } else if (!path.empty() && IsDelimiter(path[0], style)) {
    absolute = std::string(RootOf(currentDir, style)) + path.substr(1);  // root of the current drive
  } else if (path.size() >= 2 && path[1] == ':') {
    // "X:name": relative to the current directory when it is on that drive.
    const bool sameDrive = currentDir.size() >= 2 && EqualIgnoringCase(currentDir.substr(0, 1), path.substr(0, 1));
    absolute = (sameDrive ? currentDir + "\\" : path.substr(0, 2) + "\\") + path.substr(2);
  } else {
    absolute = currentDir + "\\" + path;
  }

  std::string_view root = RootOf(absolute, style);
  std::vector<std::string_view> parts;
  std::string_view rest = std::string_view(absolute).substr(root.size());
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = start;
    while (end < rest.size() && !IsDelimiter(rest[end], style)) ++end;
    std::string_view part = rest.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result(root);
  for (char& c : result)
    if (IsDelimiter(c, style)) c = delimiter;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0 || (!result.empty() && result.back() != delimiter)) result += delimiter;
    result += parts[i];
  }
  if (path.size() > 0 && IsDelimiter(path.back(), style) && !parts.empty()) result += delimiter;
  return result;
}

std::string ExpandFileName(const std::string& path, PathStyle style) {
  return ExpandFileNameFrom(path, platform::CurrentDirectoryPath(), style);
}

TTargetPaths BuildTargetPathsFrom(const std::string& fileName, const std::string& location,
                                  const std::vector<std::string>& paths, bool subfolders, uint16_t minLevel,
                                  uint16_t maxLevel, const std::string& currentDir, PathStyle style) {
  TTargetPaths targets;
  const std::vector<std::string> masks = SplitFileMasks(fileName);
  auto start = [&] {
    TTargetPath target;
    target.Subfolders = subfolders;
    target.MinLevel = minLevel;
    target.MaxLevel = maxLevel;
    return target;
  };
  for (std::string_view entry : SplitTrimmed(location)) {
    TTargetPath target = start();
    std::string_view folder = ApplyPrefix(entry, target);
    if (folder.empty()) continue;
    target.Folder = AddTrailingBackslash(ExpandFileNameFrom(std::string(folder), currentDir, style), style);
    target.Masks = masks;
    AddOrMerge(targets, std::move(target), style);
  }
  for (const std::string& line : paths) {
    std::string_view entry = Trim(line);
    if (entry.empty()) continue;
    TTargetPath target = start();
    const std::string rest(ApplyPrefix(entry, target));
    std::string mask = ExtractFileName(rest, style);
    target.Folder = AddTrailingBackslash(ExpandFileNameFrom(ExtractFilePath(rest, style), currentDir, style), style);
    target.Masks.push_back(mask.empty() ? "*.*" : mask);
    AddOrMerge(targets, std::move(target), style);
  }
  return targets;
}

TTargetPaths BuildTargetPaths(const std::string& fileName, const std::string& location,
                              const std::vector<std::string>& paths, bool subfolders, uint16_t minLevel,
                              uint16_t maxLevel, PathStyle style) {
  return BuildTargetPathsFrom(fileName, location, paths, subfolders, minLevel, maxLevel,
                              platform::CurrentDirectoryPath(), style);
}

}  // namespace wb
