// The text rules of opening documents: outer quotes, the mapping key, and which
// targets belong to the shell.
#include <gtest/gtest.h>

#include <string>

#include "opening/opening_rules.h"
#include "platform/codepage.h"

namespace wb {
namespace {

TEST(StripOuterQuotes, RemovesOnePairOfEnclosingQuotes) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"\"/tmp/Bericht 1.pdf\"", "/tmp/Bericht 1.pdf"},
      {"\"\"/tmp/a.pdf\"\"", "\"/tmp/a.pdf\""},  // once, never more
      {"\"x\"", "x"},
      {"\"\"\"", "\""},
      {"\"\"", "\"\""},  // exactly two quotes stay
      {"\"", "\""},
      {"", ""},
      {"\"/tmp/a.pdf", "\"/tmp/a.pdf"},
      {"/tmp/a.pdf\"", "/tmp/a.pdf\""},
      {"/tmp/a.pdf", "/tmp/a.pdf"},
  };
  for (const Case& c : cases) EXPECT_EQ(StripOuterQuotes(c.in), c.out) << c.in;
}

TEST(LowerFileExt, IsTheLowerCasedExtensionOfTheNamePart) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"seite.HTML", ".html"},
      {"\"/tmp/Seite.Html\"", ".html"},
      {"/tmp/archiv.tar.GZ", ".gz"},
      {"/tmp/ordner.neu/datei", ""},  // a dot in a folder name is no extension
      {"/tmp/ohne", ""},
      {"/tmp/punkt.", "."},
      {Ansi(u8"/tmp/BRIEF.ÖDT"), Ansi(u8".ödt")},  // the code page's case rules
  };
  for (const Case& c : cases) EXPECT_EQ(LowerFileExt(c.in), c.out) << c.in;
}

TEST(IsUrlOrMail, PrefixesAndMailAddressesBelongToTheShell) {
  struct Case {
    std::string target;
    bool shell;
  };
  const Case cases[] = {
      {"WWW.example.de/seite.html", true},
      {"www.example.de", true},
      {"mailto:max@example.de", true},
      {"MAILTO:max", true},
      {"https://example.de/a.pdf", true},
      {"Http:x", true},
      {"ftp.example.de", true},
      {"ftp://example.de", true},
      {"telnet:host", true},
      {"gopher:x", true},
      {"prospero:x", true},
      {"nntp:x", true},
      {"wais:x", true},
      {"news:de.comp", true},
      {"max@example.de", true},                // "@" without ":\" is mail
      {"/home/max/bericht@kunde.pdf", false},  // a local absolute path is never mail
      {"/home/jdoe@corp.example/seite.html", false},
      {"/max@example.de", false},
      {"max@example.de/seite.html", true},  // not absolute: mail, as on Windows
      {"C:\\Daten\\max@home.pdf", false},   // a Windows path with "@" is not
      {"/tmp/seite.html", false},
      {"wwwexample.de", false},
      {"httpx:y", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsUrlOrMail(c.target), c.shell) << c.target;
}

}  // namespace
}  // namespace wb
