// German texts are written u8"…" in the core and the front ends, so that the
// compiler tells them from 8-bit text (docs/architecture.md, "Text"). This
// test reads the sources and fails on a non-ASCII byte inside a plain "…"
// literal, naming file and line; the scanner itself is tested on samples.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The lines (1-based) of plain narrow string literals that hold a byte beyond
// ASCII. Comments, character literals, raw strings and prefixed literals
// (u8, u, U, L) are skipped; an escape such as "\xF6" is a byte on purpose.
std::vector<int> PlainLiteralsBeyondAscii(std::string_view source) {
  std::vector<int> lines;
  int line = 1;
  size_t i = 0;
  auto isIdentifier = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  };
  while (i < source.size()) {
    const char c = source[i];
    if (c == '\n') {
      ++line, ++i;
    } else if (source.compare(i, 2, "//") == 0) {
      while (i < source.size() && source[i] != '\n') ++i;
    } else if (source.compare(i, 2, "/*") == 0) {
      const size_t end = source.find("*/", i + 2);
      const size_t stop = end == std::string_view::npos ? source.size() : end + 2;
      for (; i < stop; ++i) line += source[i] == '\n';
    } else if (c == '"' || c == '\'') {
      // The prefix decides: R"delim( … )delim" is raw, u8/u/U/L are not 8-bit text.
      size_t start = i;
      while (start > 0 && isIdentifier(source[start - 1])) --start;
      const std::string_view prefix = source.substr(start, i - start);
      const bool raw = !prefix.empty() && prefix.back() == 'R';
      const bool plain = prefix.empty() || prefix == "R";
      if (raw && c == '"') {
        const size_t open = source.find('(', i);
        const std::string delimiter = ")" + std::string(source.substr(i + 1, open - i - 1)) + "\"";
        const size_t end = source.find(delimiter, open);
        const size_t stop = end == std::string_view::npos ? source.size() : end + delimiter.size();
        bool beyond = false;
        const int first = line;
        for (; i < stop; ++i) {
          line += source[i] == '\n';
          beyond = beyond || static_cast<unsigned char>(source[i]) >= 0x80;
        }
        if (beyond && plain) lines.push_back(first);
        continue;
      }
      bool beyond = false;
      for (++i; i < source.size() && source[i] != c && source[i] != '\n'; ++i) {
        if (source[i] == '\\') ++i;
        else beyond = beyond || static_cast<unsigned char>(source[i]) >= 0x80;
      }
      if (beyond && plain && c == '"') lines.push_back(line);
      ++i;
    } else {
      ++i;
    }
  }
  return lines;
}

TEST(TextLiterals, TheScannerFindsPlainLiteralsBeyondAscii) {
  struct Case {
    const char* source;
    std::vector<int> lines;
  };
  const Case cases[] = {
      {"auto a = \"\xC3\xB6\";", {1}},
      {"auto a = u8\"\xC3\xB6\";", {}},
      {"auto a = \"ok\";\nauto b = \"\xC3\xA4\\\"\xC3\xA4\";", {2}},
      {"// \"\xC3\xB6\"\n/* \"\xC3\xB6\"\n*/ auto a = \"\xC3\xB6\";", {3}},
      {"auto a = \"\\xF6\";", {}},
      {"char c = '\"'; auto a = \"\xC3\xB6\";", {1}},
      {"auto a = R\"x(\"\xC3\xB6)x\";", {1}},
      {"auto a = u8R\"(\xC3\xB6)\";", {}},
      {"auto a = L\"\xC3\xB6\"; auto b = u\"\xC3\xB6\"; auto c = U\"\xC3\xB6\";", {}},
      {"auto a = \"\\\\\"; auto b = \"\xC3\xB6\";", {1}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlainLiteralsBeyondAscii(c.source), c.lines) << c.source;
}

TEST(TextLiterals, TheSourcesWriteGermanTextAsUtf8Literals) {
  const char* root = std::getenv("WB_SOURCE_DIR");
  ASSERT_NE(root, nullptr) << "WB_SOURCE_DIR is not set";
  const char* folders[] = {"platform", "strings", "client", "json",   "ipc", "opening",
                           "htmldraw", "entries", "app",    "server", "gui"};
  std::vector<std::string> found;
  for (const char* folder : folders) {
    const std::filesystem::path base = std::filesystem::path(root) / folder;
    if (!std::filesystem::exists(base)) continue;
    for (const auto& item : std::filesystem::recursive_directory_iterator(base)) {
      const auto extension = item.path().extension();
      if (!item.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
      std::ifstream in(item.path(), std::ios::binary);
      std::stringstream text;
      text << in.rdbuf();
      for (int line : PlainLiteralsBeyondAscii(text.str()))
        found.push_back(std::filesystem::relative(item.path(), root).generic_string() + ":" + std::to_string(line));
    }
  }
  EXPECT_TRUE(found.empty()) << "plain \"...\" literals with German text (write u8\"...\"):\n"
                             << [&] {
                                  std::string list;
                                  for (const auto& place : found) list += "  " + place + "\n";
                                  return list;
                                }();
}

}  // namespace
