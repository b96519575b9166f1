// The windowless command-line tasks: reading the arguments, --export and
// --check against a scripted server, their output and exit codes.
#include "app/command_line_tasks.h"
#include "app/program_info.h"
#include "app_fixture.h"
#include "entries/entries_file.h"
#include "platform/codepage.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;

namespace {

TEST(CommandLineRequest, ArgumentsAndTheirMistakes) {
  struct Case {
    std::vector<std::string> arguments;
    CommandLineTask task;
    std::string file;
    std::vector<std::string> names;
    bool force;
    std::string error;  // the beginning of the UTF-8 text, "" when none
  };
  const Case cases[] = {
      {{}, CommandLineTask::None, "", {}, false, ""},
      {{"Lieferschein"}, CommandLineTask::None, "", {}, false, ""},
      {{"neu.json", "U"}, CommandLineTask::None, "", {}, false, ""},
      {{"--export", "a.json"}, CommandLineTask::Export, "a.json", {}, false, ""},
      {{"--export", "a.json", "Eins", "--force", "U-2"}, CommandLineTask::Export, "a.json", {"Eins", "U-2"}, true, ""},
      {{"--export"}, CommandLineTask::Export, "", {}, false, "--export braucht den Namen der Datei"},
      {{"--export", "--force"}, CommandLineTask::Export, "", {}, false, "--export braucht den Namen der Datei"},
      {{"--check"}, CommandLineTask::Check, "", {}, false, ""},
      {{"--check", "x"}, CommandLineTask::Check, "", {}, false, "--check nimmt keine weiteren Argumente"},
      {{"--preview", "Etikett"}, CommandLineTask::Preview, "", {"Etikett"}, false, ""},
      {{"--preview"}, CommandLineTask::Preview, "", {}, false, "--preview braucht genau einen Namen"},
      {{"--preview", "a", "b"}, CommandLineTask::Preview, "", {}, false, "--preview braucht genau einen Namen"},
      {{"Name", "--check"}, CommandLineTask::None, "", {}, false, ""},  // only the first argument selects a task
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments[0] + " …" + std::to_string(c.arguments.size()));
    const TCommandLineRequest request = ParseCommandLineRequest(c.arguments);
    EXPECT_EQ(request.Task, c.task);
    EXPECT_EQ(platform::AnsiToUtf8(request.Error).substr(0, c.error.size()), c.error);
    EXPECT_EQ(request.Error.empty(), c.error.empty());
    if (!c.error.empty()) continue;
    EXPECT_EQ(request.ExportFile, c.file);
    EXPECT_EQ(request.Names, c.names);
    EXPECT_EQ(request.Force, c.force);
  }
}

class CommandLineTaskTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    server.Answer("PRINTERS", {"{\"Printers\":[{\"Name\":\"Laser\",\"Bins\":[{\"Bin\":\"Fach 1\"}]}]}"});
    WriteBytes(database + "Rechnung_SUPERLAYOUT.da1", "");
  }
  int Run(const std::vector<std::string>& arguments) {
    output = {};
    return RunCommandLineTask(ParseCommandLineRequest(arguments), server, output);
  }
  std::string Out() const { return platform::AnsiToUtf8(output.Out); }
  std::string Err() const { return platform::AnsiToUtf8(output.Err); }
  static std::string Clean(const std::string& name, const std::string& uid) {
    return "{\"Info\":\"" + name +
           "\",\"Destination\":\"print\",\"SuperLayoutname\":\"Rechnung\","
           "\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"Fach 1\",\"Copies\":1,\"UID\":\"" +
           uid + "\"}";
  }
  TTaskOutput output;
};

TEST_F(CommandLineTaskTest, CheckPrintsOneLinePerFindingAndEndsWithOne) {
  WriteEntries(Clean("Sauber", "U-1") + "," +
               "{\"Info\":\"<b>Etikett</b>\",\"Destination\":\"print\",\"SuperLayoutname\":\"Etikett\","
               "\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"Rolle\",\"Copies\":0,\"UID\":\"U-2\"}");
  const std::string before = ReadBytes(EntriesPath());
  EXPECT_EQ(Run({"--check"}), kExitFindings);
  EXPECT_EQ(Out(),
            "Etikett (U-2): Das Layout „Etikett“ wurde nicht gefunden\n"
            "Etikett (U-2): Der Drucker „Laser“ hat keinen Schacht „Rolle“\n"
            "Etikett (U-2): Die Anzahl der Kopien ist 0, es wird also nichts gedruckt\n");
  EXPECT_EQ(Err(), "");
  EXPECT_EQ(server.calls, (std::vector<std::string>{"DETECT", "READ DBPATH", "READ PRINTERS"}));
  EXPECT_BYTES_EQ(ReadBytes(EntriesPath()), before) << "a check writes nothing";
  EXPECT_FALSE(std::filesystem::exists(EntriesBackupPath(EntriesPath())));
}

TEST_F(CommandLineTaskTest, CleanEntriesPrintNothingAndEndWithZero) {
  WriteEntries(Clean("Eins", "U-1") + "," + Clean("Zwei", "U-2"));
  EXPECT_EQ(Run({"--check"}), kExitDone);
  EXPECT_EQ(Out(), "");
  EXPECT_EQ(Err(), "");
}

TEST_F(CommandLineTaskTest, WithoutServerOrEntriesNothingIsDone) {
  WriteEntries(Clean("Eins", "U-1"));
  server.Answer("DBPATH", {});
  for (const auto& arguments : std::vector<std::vector<std::string>>{{"--check"}, {"--export", "/tmp/x.json"}}) {
    EXPECT_EQ(Run(arguments), kExitUnusable);
    EXPECT_EQ(output.Err, NoServerText());
    EXPECT_EQ(output.Out, "");
  }
  EXPECT_FALSE(std::filesystem::exists("/tmp/x.json"));

  server.Answer("DBPATH", {database});
  WriteBytes(EntriesPath(), "{kaputt");
  EXPECT_EQ(Run({"--check"}), kExitUnusable);
  EXPECT_EQ(Err(), "mehrfachausgabe: Die Einträge in „" + EntriesPath() + "“ können nicht gelesen werden.\n");
  EXPECT_BYTES_EQ(ReadBytes(EntriesPath()), "{kaputt") << "left as it is";

  EXPECT_EQ(Run({"--check", "zu viel"}), kExitUnusable);
  EXPECT_EQ(Err().rfind("mehrfachausgabe: --check nimmt keine weiteren Argumente", 0), 0u);
}

TEST_F(CommandLineTaskTest, ExportWritesAllOrTheNamedEntries) {
  WriteEntries(Clean("Eins", "U-1") + "," + Clean("Zwei", "U-2") + "," + Clean("Drei", "U-3"));
  const std::string folder = env.Dir("aus");
  EXPECT_EQ(Run({"--export", folder + "alle.json"}), kExitDone);
  EXPECT_EQ(Out(), "3 Einträge nach „" + folder + "alle.json“ exportiert.\n");
  auto all = LoadEntriesDocument(folder + "alle.json");
  ASSERT_TRUE(all);
  ASSERT_EQ(EntryItems(all.get())->ChildCount(), 3);
  EXPECT_EQ(EntryItems(all.get())->ChildAt(0)->StringByName("UID"), "U-1") << "in the file's order";

  EXPECT_EQ(Run({"--export", folder + "zwei.json", "U-3", "Eins", "Drei"}), kExitDone);
  EXPECT_EQ(Out(), "2 Einträge nach „" + folder + "zwei.json“ exportiert.\n");
  auto named = LoadEntriesDocument(folder + "zwei.json");
  ASSERT_EQ(EntryItems(named.get())->ChildCount(), 2);
  EXPECT_EQ(EntryItems(named.get())->ChildAt(0)->StringByName("UID"), "U-3") << "in the order named, once each";
  EXPECT_EQ(EntryItems(named.get())->ChildAt(1)->StringByName("UID"), "U-1");
}

TEST_F(CommandLineTaskTest, ExportThatCannotWriteSaysWhyAndLeavesFilesAlone) {
  WriteEntries(Clean("Eins", "U-1"));
  const std::string folder = env.Dir("aus");
  WriteBytes(folder + "da.json", "alt");
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::string err;
  };
  const Case cases[] = {
      {{"--export", folder + "da.json"},
       kExitFindings,
       "mehrfachausgabe: Die Datei „" + folder + "da.json“ gibt es schon. Mit --force wird sie ersetzt.\n"},
      {{"--export", folder + "neu.json", "Keiner"},
       kExitFindings,
       "mehrfachausgabe: Kein Eintrag heißt „Keiner“ oder hat diese UID; nichts wurde exportiert.\n"},
      {{"--export", folder + "fehlt/neu.json"},
       kExitFindings,
       "mehrfachausgabe: Die Einträge wurden nicht exportiert: Der Ordner „" + folder + "fehlt“ existiert nicht.\n"},
      {{"--export"},
       kExitUnusable,
       "mehrfachausgabe: --export braucht den Namen der Datei, in die exportiert wird (mehr mit --help).\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    EXPECT_EQ(Run(c.arguments), c.exitCode);
    EXPECT_EQ(Err(), c.err);
    EXPECT_EQ(Out(), "");
  }
  EXPECT_BYTES_EQ(ReadBytes(folder + "da.json"), "alt");
  EXPECT_FALSE(std::filesystem::exists(folder + "neu.json"));
  EXPECT_EQ(Run({"--export", folder + "da.json", "--force"}), kExitDone);
  EXPECT_NE(ReadBytes(folder + "da.json").find("\"U-1\""), std::string::npos);
}

}  // namespace
