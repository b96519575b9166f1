// Reading a desktop entry for its program: the Exec value of the entry group,
// its string escapes, the quoting of its arguments, and the launchers the
// shortcut writer makes read back whole.
#include <gtest/gtest.h>

#include "platform/posix/desktop_entry.h"
#include "platform/shell_link.h"

using namespace wb::platform;

namespace {

using Arguments = std::vector<std::string>;

std::optional<Arguments> ExecOf(const std::string& fileText) {
  const std::optional<std::string> value = DesktopEntryValue(fileText, "Exec");
  if (!value) return std::nullopt;
  return SplitExecArguments(*value);
}

TEST(DesktopEntryValue, OnlyTheEntryGroupsKeyCounts) {
  struct Case {
    const char* text;
    std::optional<std::string> exec;
  };
  const Case cases[] = {
      {"[Desktop Entry]\nExec=ansicht %f\n", "ansicht %f"},
      {"[Desktop Entry]\r\nName=A\r\n  Exec =  ansicht  \r\n", "ansicht"},
      {"[Desktop Action neu]\nExec=falsch\n[Desktop Entry]\nExec=richtig\n", "richtig"},
      {"[Desktop Entry]\nExec=erstes\nExec=zweites\n", "erstes"},
      {"[Desktop Entry]\n# Exec=auskommentiert\nTryExec=probe\nExec[de]=lokal\n", std::nullopt},
      {"Exec=vor jeder Gruppe\n[Desktop Entry]\nName=A\n", std::nullopt},
      {"[Desktop Entry]\nExec=ohne Zeilenende", "ohne Zeilenende"},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(DesktopEntryValue(c.text, "Exec"), c.exec) << c.text;
}

// The string escapes come first; what they leave is read with the quoting
// rules. So a backslash inside quotes is written as four, a dollar as "\\$".
TEST(DesktopEntryExec, EscapesAndQuotingResolveInTheirOrder) {
  struct Case {
    const char* line;
    Arguments arguments;
  };
  const Case cases[] = {
      {R"(Exec=ansicht --neu %U)", {"ansicht", "--neu", "%U"}},
      {R"(Exec="/opt/Werk bank/ansicht" %f)", {"/opt/Werk bank/ansicht", "%f"}},
      {R"(Exec=sh -c "echo \\$HOME")", {"sh", "-c", "echo $HOME"}},
      {R"(Exec="C:\\\\Programme" x)", {"C:\\Programme", "x"}},
      {R"(Exec="ein \\"Zitat\\"" "\\`date\\`")", {"ein \"Zitat\"", "`date`"}},
      {R"(Exec=a\sb "c\td" e\nf)", {"a", "b", "c\td", "e", "f"}},
      {R"(Exec="" leer)", {"", "leer"}},
      {R"(Exec=  viele    Blanks  )", {"viele", "Blanks"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExecOf(std::string("[Desktop Entry]\n") + c.line + "\n"), c.arguments) << c.line;
  EXPECT_EQ(ExecOf("[Desktop Entry]\nExec=\"nicht geschlossen\n"), std::nullopt);
}

TEST(DesktopEntryExec, PerCentSignsOfAnArgument) {
  EXPECT_EQ(ExecArgumentText("100%%"), "100%");
  EXPECT_EQ(ExecArgumentText("%%%%"), "%%");
  EXPECT_EQ(ExecArgumentText("%f"), "%f");
  EXPECT_EQ(ExecArgumentText("a%"), "a%");
}

// What the shortcut writer puts into a launcher is read back as it was given:
// backslashes, quotes, dollars and per-cent signs included.
TEST(DesktopEntryExec, WrittenLaunchersReadBackWhole) {
  const Arguments lines[] = {
      {"/opt/Werk bank/bin/mehrfachausgabe", "Lieferschein"},
      {"/opt/back\\slash/prog", "a\\b", "\\\\", "ende\\"},
      {"/usr/bin/x", "Zitat \"innen\"", "$HOME", "`date`", "100% %f %%"},
      {"/usr/bin/x", "Zeile\nzwei\tTab\rWagen", " vorne", "hinten "},
  };
  for (const Arguments& line : lines) {
    const Arguments arguments(line.begin() + 1, line.end());
    const std::string text = "[Desktop Entry]\nExec=" + DesktopExecValue(line[0], arguments) + "\n";
    const std::optional<Arguments> read = ExecOf(text);
    ASSERT_TRUE(read.has_value()) << text;
    Arguments unescaped;
    for (const std::string& argument : *read) unescaped.push_back(ExecArgumentText(argument));
    EXPECT_EQ(unescaped, line) << text;
  }
}

}  // namespace
