// The program itself on the command line: --help and --version answer and end
// without a window or a server; a start without a server ends without a
// window but says why on standard error, in one line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "support/files.h"
#include "support/temp_env.h"

namespace {

struct Outcome {
  int exitCode = -1;
  std::string out, err;
};

// Runs build/bin/mehrfachausgabe with one argument (none when empty) in the
// test's private TMPDIR and HOME: no local-service list, so no server.
Outcome RunProgram(wb::test::TempEnv& env, const std::string& argument, const std::string& environment = "") {
  const char* dir = std::getenv("WB_BIN_DIR");
  const std::string program = std::string(dir ? dir : ".") + "/mehrfachausgabe";
  const std::string out = env.Root().string() + "/out.txt", err = env.Root().string() + "/err.txt";
  std::string command = environment + " QT_QPA_PLATFORM=offscreen '" + program + "'";
  if (!argument.empty()) command += " '" + argument + "'";
  command += " >'" + out + "' 2>'" + err + "' </dev/null";
  Outcome outcome;
  int status = std::system(command.c_str());
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.out = wb::test::ReadBytes(out);
  outcome.err = wb::test::ReadBytes(err);
  return outcome;
}

TEST(ProgramStart, HelpAndVersionAnswerWithoutAServer) {
  wb::test::TempEnv env;
  Outcome help = RunProgram(env, "--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.rfind("Aufruf: mehrfachausgabe", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("--launch mehrfachausgabe"), std::string::npos);
  EXPECT_NE(help.out.find("Einträge"), std::string::npos) << "UTF-8 on the terminal";
  EXPECT_EQ(help.err, "");

  Outcome version = RunProgram(env, "--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("mehrfachausgabe ", 0), 0u) << version.out;
  EXPECT_GT(version.out.size(), std::string("mehrfachausgabe \n").size());
  EXPECT_EQ(version.out.find('\n'), version.out.size() - 1) << "one line";
  EXPECT_EQ(version.err, "");
}

// The lines of a text that begin with the prefix (the toolkit may add its own
// warnings on standard error).
std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix) {
  std::vector<std::string> found;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  return found;
}

}  // namespace

// Started from the window (no argument) the program ends silently, as the
// suite expects; a desktop shortcut's start (an entry as argument) has no
// window to vanish, so it says in a message box that the suite is not running
// and ends with an error status. Both say why on standard error.
TEST(ProgramStart, WithoutAServerItEndsWithOneLineOnStandardError) {
  wb::test::TempEnv env;
  struct Case {
    const char* argument;
    int exitCode;
    bool boxShown;
  };
  for (const Case& c : {Case{"", 0, false}, Case{"Lieferschein Kunde", 2, true}}) {
    SCOPED_TRACE(c.argument);
    Outcome start = RunProgram(env, c.argument, "WB_MESSAGES_ON_STDERR=1");
    EXPECT_EQ(start.exitCode, c.exitCode);
    EXPECT_EQ(start.out, "");
    const std::vector<std::string> lines = LinesStartingWith(start.err, "mehrfachausgabe:");
    ASSERT_EQ(lines.size(), 1u) << start.err;
    EXPECT_NE(lines[0].find("Kein Server der Werkbank hat geantwortet"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("wbk-localserver --database ORDNER --appdir ORDNER --launch mehrfachausgabe"),
              std::string::npos)
        << lines[0];
    const std::vector<std::string> boxes = LinesStartingWith(start.err, "Meldung: ");
    if (c.boxShown) {
      ASSERT_EQ(boxes.size(), 1u) << start.err;
      EXPECT_EQ(boxes[0], "Meldung: Werkbank läuft nicht: kein Server der Werkbank hat geantwortet.\r");
    } else {
      EXPECT_TRUE(boxes.empty()) << start.err;
    }
  }
}

TEST(ProgramStart, WindowlessTasksWithoutAServerOrWithWrongArgumentsEndWithTwo) {
  wb::test::TempEnv env;
  const std::pair<std::string, std::string> cases[] = {
      {"--check", "mehrfachausgabe: Kein Server der Werkbank hat geantwortet"},
      {"--export", "mehrfachausgabe: --export braucht den Namen der Datei"},
      {"--preview", "mehrfachausgabe: --preview braucht genau einen Namen"},
  };
  for (const auto& [argument, message] : cases) {
    Outcome run = RunProgram(env, argument);
    EXPECT_EQ(run.exitCode, 2) << argument;
    EXPECT_EQ(run.out, "") << argument;
    EXPECT_EQ(run.err.rfind(message, 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
  }
}
