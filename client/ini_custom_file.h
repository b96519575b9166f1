// TCustomIniFile: the abstract settings file. It keeps the file name it was
// created with and builds the typed operations (numbers, flags) on the string
// operations a concrete settings file provides.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wb {

class TStringList;

class TCustomIniFile {
 public:
  explicit TCustomIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;
  // A concrete file may write itself back when it is destroyed, and that write
  // may fail; the error then reaches whoever ends the object's life.
  virtual ~TCustomIniFile() noexcept(false) = default;

  // The name given at creation, unchanged (not expanded).
  const std::string& FileName() const { return fileName_; }

  virtual std::string ReadSetting(std::string_view section, std::string_view key, std::string_view defaultValue) = 0;
  virtual void WriteSetting(std::string_view section, std::string_view key, std::string_view value) = 0;
  virtual void ListKeys(std::string_view section, TStringList& list) = 0;
  virtual void ListSections(TStringList& list) = 0;
  virtual void ListKeyValues(std::string_view section, TStringList& list) = 0;
  virtual void RemoveSection(std::string_view section) = 0;
  virtual void RemoveKey(std::string_view section, std::string_view key) = 0;
  virtual void Flush() = 0;

  // A signed 32-bit number, decimal or hexadecimal ("$1F", "0x1F"); anything
  // that is not such a number gives the default.
  int32_t ReadNumber(std::string_view section, std::string_view key, int32_t defaultValue);
  void WriteNumber(std::string_view section, std::string_view key, int32_t value);
  // A number that is not 0; a value that is not a number gives the default.
  bool ReadFlag(std::string_view section, std::string_view key, bool defaultValue);
  void WriteFlag(std::string_view section, std::string_view key, bool value);

 private:
  std::string fileName_;
};

// The conversion ReadNumber uses: optional sign, decimal digits, or "$" and up
// to eight hexadecimal digits (taken as the 32-bit pattern, so "$FFFFFFFF" is -1).
std::optional<int32_t> ParseIniNumber(std::string_view text);

}  // namespace wb
