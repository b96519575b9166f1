// TFastIniFile: the settings file ("Sonderdruck.V1.LocalSetup.txt" and the like).
// Loads on first use, keeps every line as the user wrote it (comments, blank
// lines, order, untouched text) and writes back only when a value changed.
//
// The destructor writes pending changes and lets a write error pass to the
// code that ends the object's life, so keep the object on the stack (or call
// Flush() yourself before a smart pointer releases it). While another
// exception is already unwinding, a failing write at destruction is dropped.
#pragma once

#include <string>
#include <string_view>

#include "client/ini_custom_file.h"
#include "client/ini_items.h"

namespace wb {

class TFastIniFile : public TCustomIniFile {
 public:
  explicit TFastIniFile(std::string fileName);
  ~TFastIniFile() noexcept(false) override;

  std::string ReadSetting(std::string_view section, std::string_view key, std::string_view defaultValue) override;
  void WriteSetting(std::string_view section, std::string_view key, std::string_view value) override;
  // Names of the section's keys in file order (lines without "=" are skipped).
  void ListKeys(std::string_view section, TStringList& list) override;
  // Every section header in file order, duplicates included.
  void ListSections(TStringList& list) override;
  // name=value for each key of the section, the value as ReadSetting gives it.
  void ListKeyValues(std::string_view section, TStringList& list) override;
  void RemoveSection(std::string_view section) override;
  void RemoveKey(std::string_view section, std::string_view key) override;
  // Writes the content if it was modified.
  void Flush() override;

  // Loads the file (a missing file or an empty name gives an empty store).
  void EnsureLoaded();
  // Drops all lines; the next operation loads again.
  void ClearAll();

  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool on);
  bool UseSystemUpperCase() const { return useSystemUpperCase_; }
  void SetUseSystemUpperCase(bool on);
  // Values lose a trailing comment (from a ";" outside double quotes) when read.
  bool StripInlineComments = true;
  // Values enclosed in matching " or ' lose them when read.
  bool StripQuotes = false;

  bool Loaded() const { return loaded_; }
  bool Modified() const { return modified_; }
  TIniItems& Items() { return lines_; }

 private:
  void ApplyNameMatching();
  std::string ValueAsRead(std::string_view stored) const;

  bool caseSensitive_ = false;
  bool useSystemUpperCase_ = true;
  bool loaded_ = false;
  bool modified_ = false;
  int uncaughtAtCreation_;
  TIniItems lines_;
};

}  // namespace wb
