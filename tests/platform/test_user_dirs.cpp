// Reading user-dirs.dirs: the value forms the desktop writes, the shell's
// quoting, and the lines that name no usable folder.
#include <gtest/gtest.h>

#include "platform/posix/user_dirs.h"

using wb::platform::UserDirFromText;

namespace {

constexpr const char* kHome = "/home/anna";

TEST(UserDirs, ValueForms) {
  struct Case {
    const char* text;
    const char* folder;
  };
  const Case cases[] = {
      {"XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", "/home/anna/Schreibtisch"},
      {"XDG_DESKTOP_DIR=\"/mnt/daten/Desktop\"\n", "/mnt/daten/Desktop"},
      {"XDG_DESKTOP_DIR=\"$HOME\"\n", "/home/anna"},
      {"XDG_DESKTOP_DIR=$HOME/Arbeit\n", "/home/anna/Arbeit"},
      {"XDG_DESKTOP_DIR=/srv/ablage # Kommentar\n", "/srv/ablage"},
      {"XDG_DESKTOP_DIR=\"$HOME/Mein \\\"Platz\\\" \\$x \\\\ \\`y\\`\"\n", "/home/anna/Mein \"Platz\" $x \\ `y`"},
      {"  XDG_DESKTOP_DIR=\"$HOME/eingerückt\"\r\n", "/home/anna/eingerückt"},
      {"XDG_DESKTOP_DIR=\"/a\"\nXDG_DESKTOP_DIR=\"/b\"\n", "/b"},
      // Forms that name no folder: a later one of them leaves the earlier value.
      {"XDG_DESKTOP_DIR=\"/a\"\nXDG_DESKTOP_DIR=\"relativ\"\n", "/a"},
      {"XDG_DESKTOP_DIR=\"$HOMEPAGE/x\"\n", ""},
      {"XDG_DESKTOP_DIR=\"\\$HOME/x\"\n", ""},
      {"XDG_DESKTOP_DIR=\"$XDG_DATA_HOME/x\"\n", ""},
      {"XDG_DESKTOP_DIR=\"/nicht geschlossen\n", ""},
      {"XDG_DESKTOP_DIR = \"/mit Blanks um das Gleichheitszeichen\"\n", ""},
      {"# XDG_DESKTOP_DIR=\"/kommentar\"\nXDG_DESKTOP_DIR_ALT=\"/anderer Schlüssel\"\n", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(UserDirFromText(c.text, "XDG_DESKTOP_DIR", kHome), c.folder) << c.text;
}

TEST(UserDirs, EachKeyReadsItsOwnLine) {
  const char* text =
      "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
      "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
  EXPECT_EQ(UserDirFromText(text, "XDG_DESKTOP_DIR", kHome), "/home/anna/Schreibtisch");
  EXPECT_EQ(UserDirFromText(text, "XDG_DOCUMENTS_DIR", kHome), "/home/anna/Dokumente");
  EXPECT_EQ(UserDirFromText(text, "XDG_MUSIC_DIR", kHome), "");
}

}  // namespace
