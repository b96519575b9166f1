// TFastIniFile: value access, comments kept in their column, lazy load and
// the write-back of changed content.
#include "client/fast_ini_file.h"

#include <exception>

#include "client/file_helpers.h"
#include "strings/string_list.h"

namespace wb {
namespace {

// The first ";" that is not inside double quotes, or npos.
size_t CommentStart(std::string_view value) {
  bool quoted = false;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '"') quoted = !quoted;
    else if (value[i] == ';' && !quoted) return i;
  }
  return std::string_view::npos;
}

}  // namespace

TFastIniFile::TFastIniFile(std::string fileName)
    : TCustomIniFile(std::move(fileName)), uncaughtAtCreation_(std::uncaught_exceptions()) {}

TFastIniFile::~TFastIniFile() noexcept(false) {
  try {
    Flush();
  } catch (...) {
    ClearAll();
    // Throwing while another exception unwinds would end the program.
    if (std::uncaught_exceptions() > uncaughtAtCreation_) return;
    throw;
  }
}

void TFastIniFile::EnsureLoaded() {
  if (!FileName().empty() && FileExistsEx(FileName())) {
    lines_.LoadFromFile(FileName());
    modified_ = false;
  } else {
    ClearAll();
  }
  loaded_ = true;
}

void TFastIniFile::ClearAll() {
  lines_.Clear();
  loaded_ = false;
  modified_ = false;
}

void TFastIniFile::SetCaseSensitive(bool on) {
  caseSensitive_ = on;
  ApplyNameMatching();
}

void TFastIniFile::SetUseSystemUpperCase(bool on) {
  useSystemUpperCase_ = on;
  ApplyNameMatching();
}

void TFastIniFile::ApplyNameMatching() { lines_.SetNameMatching(IniNameMatching(caseSensitive_, useSystemUpperCase_)); }

std::string TFastIniFile::ValueAsRead(std::string_view stored) const {
  std::string_view value = stored;
  if (StripInlineComments) {
    size_t comment = CommentStart(value);
    if (comment != std::string_view::npos) value = IniTrim(value.substr(0, comment));
  }
  if (StripQuotes && value.size() > 1 && value.front() == value.back() &&
      (value.front() == '"' || value.front() == '\''))
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

std::string TFastIniFile::ReadSetting(std::string_view section, std::string_view key, std::string_view defaultValue) {
  if (!loaded_) EnsureLoaded();
  TSectionItem* found = lines_.FindSection(section, false);
  if (!found) return std::string(defaultValue);
  const int32_t index = lines_.FindKey(*found, IniTrim(key));
  if (index < 0) return std::string(defaultValue);
  return ValueAsRead(lines_.Line(index).Value);
}

void TFastIniFile::WriteSetting(std::string_view section, std::string_view key, std::string_view value) {
  if (!loaded_) EnsureLoaded();
  key = IniTrim(key);
  if (key.empty()) {
    if (!value.empty()) return;
    if (!section.empty()) RemoveSection(section);
    else Flush();
    return;
  }
  TSectionItem* target = lines_.FindSection(section, true);
  int32_t index = lines_.FindKey(*target, key);
  if (index < 0) {
    index = lines_.InsertKey(*target, key);
    modified_ = true;  // the new key line is content the file does not have yet
  }

  const std::string stored(lines_.Line(index).Value);
  std::string_view oldValue = stored;
  std::string_view comment;
  size_t commentColumn = std::string_view::npos;
  if (StripInlineComments) {
    commentColumn = CommentStart(stored);
    if (commentColumn != std::string_view::npos) {
      comment = std::string_view(stored).substr(commentColumn);
      oldValue = IniTrim(std::string_view(stored).substr(0, commentColumn));
    }
  }
  if (oldValue == value) return;

  if (comment.empty()) {
    lines_.SetValue(index, value);
  } else {
    // The comment keeps its column when the new value leaves room for it.
    std::string combined(value);
    if (combined.size() < commentColumn) combined.append(commentColumn - combined.size(), ' ');
    else combined += ' ';
    combined += comment;
    lines_.SetValue(index, combined);
  }
  modified_ = true;
}

void TFastIniFile::ListKeys(std::string_view section, TStringList& list) {
  if (!loaded_) EnsureLoaded();
  list.Clear();
  TSectionItem* found = lines_.FindSection(section, false);
  if (!found) return;
  const int32_t end = lines_.SectionEnd(*found);
  for (int32_t i = found->FirstLine; i < end; ++i) {
    lines_.Parse(i);
    const TIniLine& line = lines_.Line(i);
    if (line.Kind == TIniLineKind::KeyLine) list.Add(std::string(line.Text));
  }
}

void TFastIniFile::ListSections(TStringList& list) {
  if (!loaded_) EnsureLoaded();
  list.Clear();
  for (int32_t i = 0; i < lines_.Count(); ++i) {
    const TIniLine& line = lines_.Line(i);
    if (line.Kind == TIniLineKind::SectionLine) list.Add(std::string(line.Text.substr(1, line.Text.size() - 2)));
  }
}

void TFastIniFile::ListKeyValues(std::string_view section, TStringList& list) {
  TStringList keys;
  ListKeys(section, keys);
  list.Clear();
  for (int i = 0; i < keys.Count(); ++i) {
    const std::string name = keys.Get(i);
    list.Add(name + "=" + ReadSetting(section, name, ""));
  }
}

void TFastIniFile::RemoveSection(std::string_view section) {
  if (!loaded_) EnsureLoaded();
  if (TSectionItem* found = lines_.FindSection(section, false)) lines_.DeleteSection(*found);
  modified_ = true;
}

void TFastIniFile::RemoveKey(std::string_view section, std::string_view key) {
  if (!loaded_) EnsureLoaded();
  TSectionItem* found = lines_.FindSection(section, false);
  if (!found) return;
  const int32_t index = lines_.FindKey(*found, IniTrim(key));
  if (index < 0) return;
  lines_.DeleteKey(*found, index);
  modified_ = true;
}

void TFastIniFile::Flush() {
  // A settings object without a file name lives in memory only.
  if (!modified_ || FileName().empty()) return;
  lines_.SaveToFile(FileName());
  modified_ = false;
}

}  // namespace wb
