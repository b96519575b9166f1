// The Desktop Entry reading rules: groups, keys, string escapes and Exec quoting.
#include "platform/posix/desktop_entry.h"

namespace wb::platform {
namespace {

constexpr std::string_view kEntryGroup = "[Desktop Entry]";

std::string_view Trim(std::string_view text) {
  constexpr std::string_view blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Takes the next line off text; a CR before the LF goes with the blanks.
std::string_view NextLine(std::string_view& text) {
  const size_t end = text.find('\n');
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  return line;
}

std::string ResolveStringEscapes(std::string_view raw) {
  std::string value;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\' || i + 1 == raw.size()) {
      value += raw[i];
      continue;
    }
    const char next = raw[++i];
    switch (next) {
      case 's': value += ' '; break;
      case 'n': value += '\n'; break;
      case 't': value += '\t'; break;
      case 'r': value += '\r'; break;
      case '\\': value += '\\'; break;
      default:
        value += '\\';
        value += next;
        break;
    }
  }
  return value;
}

bool IsArgumentBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

}  // namespace

std::optional<std::string> DesktopEntryValue(std::string_view fileText, std::string_view key) {
  bool inEntry = false;
  while (!fileText.empty()) {
    const std::string_view text = Trim(NextLine(fileText));
    if (text.empty() || text[0] == '#') continue;
    if (text[0] == '[') {
      inEntry = text == kEntryGroup;
      continue;
    }
    const size_t equals = text.find('=');
    if (!inEntry || equals == std::string_view::npos || Trim(text.substr(0, equals)) != key) continue;
    return ResolveStringEscapes(Trim(text.substr(equals + 1)));
  }
  return std::nullopt;
}

std::optional<std::vector<std::string>> SplitExecArguments(std::string_view value) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (IsArgumentBlank(c)) {
      if (inArgument) arguments.push_back(std::move(current)), current.clear();
      inArgument = false;
      continue;
    }
    inArgument = true;
    if (c != '"') {
      current += c;
      continue;
    }
    for (++i;; ++i) {
      if (i >= value.size()) return std::nullopt;
      if (value[i] == '"') break;
      if (value[i] == '\\' && i + 1 < value.size()) ++i;
      current += value[i];
    }
  }
  if (inArgument) arguments.push_back(std::move(current));
  return arguments;
}

std::string ExecArgumentText(std::string_view argument) {
  std::string text;
  for (size_t i = 0; i < argument.size(); ++i) {
    if (argument[i] == '%' && i + 1 < argument.size() && argument[i + 1] == '%') ++i;
    text += argument[i];
  }
  return text;
}

}  // namespace wb::platform
