// The text rules of opening documents; see opening_rules.h.
#include "opening/opening_rules.h"

#include <cstdint>
#include <string_view>

#include "client/client_dirs.h"
#include "platform/folders.h"
#include "strings/strutils.h"

namespace wb {
namespace {

// Compared upper-cased at the start of the target.
constexpr std::string_view kUrlAndMailPrefixes[] = {
    "HTTP:", "HTTPS:", "FTP:", "TELNET:", "GOPHER:", "PROSPERO:", "NNTP:", "WAIS:", "MAILTO:", "NEWS:", "WWW.", "FTP.",
};

char LowerCp1252(char c) {
  const auto byte = static_cast<uint8_t>(c);
  const bool isUpper = Cp1252UpperCaseTable()[byte] == byte && Cp1252CaseSwapTable()[byte] != byte;
  return isUpper ? static_cast<char>(Cp1252CaseSwapTable()[byte]) : c;
}

std::string UpperCp1252(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(Cp1252UpperCaseTable()[static_cast<uint8_t>(c)]);
  return upper;
}

}  // namespace

std::string StripOuterQuotes(const std::string& text) {
  if (text.size() > 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

std::string LowerFileExt(const std::string& file) {
  std::string extension = ExtractFileExt(StripOuterQuotes(file));
  for (char& c : extension) c = LowerCp1252(c);
  return extension;
}

bool IsUrlOrMail(const std::string& target) {
  const std::string upper = UpperCp1252(target);
  for (std::string_view prefix : kUrlAndMailPrefixes) {
    if (upper.starts_with(prefix)) return true;
  }
  // A local absolute path ("/home/jdoe@corp.example/...") is never a mail
  // address; on Windows its sign is the ":\" of a drive.
  if (platform::kPathDelimiter == '/' && target.starts_with('/')) return false;
  return target.find('@') != std::string::npos && target.find(":\\") == std::string::npos;
}

}  // namespace wb
