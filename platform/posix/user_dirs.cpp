// user-dirs.dirs: one assignment a line, values with the shell's quoting.
#include "platform/posix/user_dirs.h"

#include <optional>

namespace wb::platform {
namespace {

constexpr std::string_view kHomePrefix = "$HOME";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// The value after "=": quoted up to the closing quote, unquoted up to a blank.
// nullopt for an unclosed quote.
std::optional<std::string> ShellWord(std::string_view text) {
  const bool quoted = !text.empty() && text.front() == '"';
  if (quoted) text.remove_prefix(1);
  std::string word;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted ? c == '"' : IsBlank(c) || c == '\r') return word;
    if (c == '\\' && i + 1 < text.size()) ++i;
    word += text[i];
  }
  if (quoted) return std::nullopt;
  return word;
}

// The folder of a value as written: "$HOME" and "$HOME/..." below home, or an
// absolute path; "" for any other form.
std::string FolderOfValue(std::string_view raw, std::string_view home) {
  const bool quoted = !raw.empty() && raw.front() == '"';
  const std::string_view afterQuote = quoted ? raw.substr(1) : raw;
  // "$HOME" is only the variable when the quoting left the "$" unescaped.
  if (afterQuote.substr(0, kHomePrefix.size()) == kHomePrefix) {
    std::optional<std::string> rest =
        ShellWord((quoted ? "\"" : "") + std::string(afterQuote.substr(kHomePrefix.size())));
    if (!rest || (!rest->empty() && rest->front() != '/')) return "";
    return std::string(home) + *rest;
  }
  std::optional<std::string> value = ShellWord(raw);
  if (!value || value->empty() || value->front() != '/') return "";
  return *value;
}

}  // namespace

std::string UserDirFromText(std::string_view fileText, std::string_view key, std::string_view home) {
  std::string folder;
  while (!fileText.empty()) {
    const size_t end = fileText.find('\n');
    std::string_view line = SkipBlanks(fileText.substr(0, end));
    fileText.remove_prefix(end == std::string_view::npos ? fileText.size() : end + 1);
    if (line.substr(0, key.size()) != key) continue;
    line.remove_prefix(key.size());
    if (line.empty() || line.front() != '=') continue;
    std::string found = FolderOfValue(line.substr(1), home);
    if (!found.empty()) folder = std::move(found);
  }
  return folder;
}

}  // namespace wb::platform
