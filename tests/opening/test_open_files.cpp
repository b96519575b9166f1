// Opening documents end to end: what reaches xdg-open, xdg-mime, the D-Bus call
// and a chosen program, argument by argument, through the mapping file, the
// right-Ctrl choice and the worker pool.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "client/client_dirs.h"
#include "opening/open_files.h"
#include "platform/codepage.h"
#include "platform/folders.h"
#include "platform/ui_hooks.h"
#include "stand_ins.h"
#include "support/bytes_equal.h"
#include "support/files.h"

namespace wb {
namespace {

using Arguments = std::vector<std::string>;
constexpr unsigned kBoundMs = 10000;  // only a failing test waits this long

// The right-Ctrl key state and the user's answer in the program dialog.
class ChoiceHooks : public platform::UiHooks, public ProgramChoiceHook {
 public:
  ChoiceHooks() {
    platform::SetUiHooks(this);
    SetProgramChoiceHook(this);
  }
  ~ChoiceHooks() override {
    platform::SetUiHooks(nullptr);
    SetProgramChoiceHook(nullptr);
  }
  bool IsRightControlDown() override { return rightControl; }
  bool ChooseProgram(const ProgramChoiceRequest& request, std::string& program) override {
    requests.push_back(request);
    program = answer;
    return confirm;
  }

  bool rightControl = false;
  bool confirm = false;
  std::string answer;
  std::vector<ProgramChoiceRequest> requests;
};

class OpenFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ForgetAssociatedPrograms(); }  // each test is a new run of the program
  void TearDown() override { EXPECT_TRUE(OpeningThreadPool().WaitUntilIdle(kBoundMs)); }

  // An existing document in the test's private folder.
  std::string Document(const std::string& name) {
    const std::string path = env_.Dir("docs") + name;
    std::ofstream(platform::AnsiToUtf8(path)) << "Inhalt";
    return path;
  }

  void WriteProgramMap(const std::string& lines) {
    ASSERT_TRUE(test::WriteBytes(platform::AnsiToUtf8(ProgramMapPath()), lines));
  }

  std::string ReadProgramMap() { return test::ReadBytes(platform::AnsiToUtf8(ProgramMapPath())); }

  // The system is asked for the file's associated program (none here).
  void ExpectMimeQueries(int count, const std::string& file) {
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(NextCallOf(standIns_.PathOf("xdg-mime")), (Arguments{"query", "filetype", file}));
    }
  }

  // The next call, which must come from the stand-in `program`.
  Arguments NextCallOf(const std::string& program) {
    auto call = standIns_.NextCall();
    if (!call) {
      ADD_FAILURE() << "no call of " << program;
      return {};
    }
    EXPECT_EQ(call->Program, program);
    return call->Arguments;
  }

  test::TempEnv env_;
  test::StandIns standIns_{env_};
};

// --- ShellOpenAsync -------------------------------------------------------------

TEST_F(OpenFilesTest, ShellOpenPassesTheFileAsOneArgumentWithoutQuotes) {
  const std::string plain = Document("Bericht 1.pdf");
  const std::string umlaut = Document(Ansi(u8"Übersicht; \"Entwurf\" $HOME.pdf"));
  struct Case {
    std::string given;
    std::string expected;  // UTF-8, as the program receives it
  };
  const Case cases[] = {
      {plain, plain},
      {"\"" + plain + "\"", plain},  // unquoted once, and never quoted again
      {umlaut, platform::AnsiToUtf8(umlaut)},
  };
  for (const Case& c : cases) {
    ShellOpenAsync("open", c.given);
    EXPECT_EQ(NextCallOf(standIns_.PathOf("xdg-open")), Arguments{c.expected}) << c.given;
  }
}

TEST_F(OpenFilesTest, AShellCallThatFailsOrHangsStaysSilentAndBlocksNobody) {
  const std::string file = Document("a.pdf");
  standIns_.Install("xdg-open", "exit 3");
  ShellOpenAsync("open", file);
  EXPECT_EQ(NextCallOf(standIns_.PathOf("xdg-open")), Arguments{file});

  // A shell that never returns: the job is done once it has started it.
  standIns_.Install("xdg-open", "exec sleep 600");
  ShellOpenAsync("open", file);
  auto call = standIns_.NextCall();
  ASSERT_TRUE(call);
  standIns_.EndLater(call->Pid);
  EXPECT_TRUE(OpeningThreadPool().WaitUntilIdle(kBoundMs));
  EXPECT_EQ(::kill(call->Pid, 0), 0);  // still running, nobody waits for it
}

// --- OpenWithProgram ------------------------------------------------------------

TEST_F(OpenFilesTest, MappingLineIsFoundWithoutRegardToCase) {
  WriteProgramMap(".pdf=/opt/y/reader\r\n.HTML=/opt/x/viewer\r\n");
  EXPECT_EQ(ResolveProgram("seite.html", false).Program, "/opt/x/viewer");
  EXPECT_EQ(ResolveProgram("SEITE.Html", false).Program, "/opt/x/viewer");
  EXPECT_EQ(ResolveProgram("\"seite.html\"", false).Program, "/opt/x/viewer");
  EXPECT_EQ(ResolveProgram("brief.pdf", false).Program, "/opt/y/reader");
  EXPECT_EQ(ResolveProgram("bild.png", false).Program, "");  // no entry, no association
  EXPECT_FALSE(ResolveProgram("seite.html", false).Cancelled);
}

TEST_F(OpenFilesTest, MappedProgramGetsTheFileAsItsOnlyArgument) {
  const std::string viewer = standIns_.Install("viewer", "exit 0", env_.Dir("Meine Programme"));
  WriteProgramMap(".HTML=" + viewer + "\r\n");
  const std::string page = Document("seite.html");
  for (const std::string& given : {page, "\"" + page + "\""}) {
    OpenWithProgram("open", given, false);
    EXPECT_EQ(NextCallOf(viewer), Arguments{page}) << given;
  }
}

TEST_F(OpenFilesTest, WebAndMailTargetsGoToTheShellDespiteAMappingEntry) {
  const std::string viewer = standIns_.Install("viewer", "exit 0");
  WriteProgramMap(".html=" + viewer + "\r\n.de=" + viewer + "\r\n");
  struct Case {
    std::string target;
    std::string shellArgument;
  };
  const Case cases[] = {
      {"WWW.example.de/seite.html", "http://WWW.example.de/seite.html"},  // xdg-open needs the scheme
      {"ftp.example.de/liste.html", "ftp://ftp.example.de/liste.html"},
      {"mailto:max@example.de", "mailto:max@example.de"},
      {"max@example.de", "max@example.de"},
      {"https://example.de/a b.html", "https://example.de/a b.html"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveProgram(c.target, false).Program, "") << c.target;
    OpenWithProgram("open", c.target, false);
    EXPECT_EQ(NextCallOf(standIns_.PathOf("xdg-open")), Arguments{c.shellArgument}) << c.target;
  }
}

TEST_F(OpenFilesTest, ALocalPathWithAnAtSignUsesTheMappedProgram) {
  const std::string viewer = standIns_.Install("viewer", "exit 0");
  WriteProgramMap(".html=" + viewer + "\r\n");
  const std::string page = env_.Dir("jdoe@corp.example") + "seite.html";
  std::ofstream(platform::AnsiToUtf8(page)) << "Inhalt";
  EXPECT_EQ(ResolveProgram(page, false).Program, viewer);
  OpenWithProgram("open", page, false);
  EXPECT_EQ(NextCallOf(viewer), Arguments{page});
}

TEST_F(OpenFilesTest, AProgramThatCannotStartIsSilent) {
  WriteProgramMap(".HTML=/opt/x/viewer\r\n");
  const std::string page = Document("seite.html");
  EXPECT_NO_THROW(OpenWithProgram("open", page, false));
  EXPECT_TRUE(OpeningThreadPool().WaitUntilIdle(kBoundMs));
  // The pool is still there for the next document.
  ShellOpenAsync("open", page);
  EXPECT_EQ(NextCallOf(standIns_.PathOf("xdg-open")), Arguments{page});
}

TEST_F(OpenFilesTest, WithoutMappingTheAssociatedProgramOpensTheFile) {
  const std::string viewer = standIns_.Install("html-viewer", "exit 0");
  standIns_.Install("xdg-mime",
                    "case \"$2\" in filetype) echo 'text/html' ;; default) echo 'vendor-viewer.desktop' ;; esac");
  std::filesystem::create_directories(env_.Root() / "home/.local/share/applications/vendor");
  std::ofstream(env_.Root() / "home/.local/share/applications/vendor/viewer.desktop")
      << "[Desktop Action Neu]\nExec=falsch %u\n[Desktop Entry]\nName=Ansicht\nExec=html-viewer --neu %U\n";
  const std::string page = Document("seite.html");

  OpenWithProgram("open", page, false);
  EXPECT_EQ(NextCallOf(standIns_.PathOf("xdg-mime")), (Arguments{"query", "filetype", page}));
  EXPECT_EQ(NextCallOf(standIns_.PathOf("xdg-mime")), (Arguments{"query", "default", "text/html"}));
  EXPECT_EQ(NextCallOf(viewer), Arguments{page});
}

// The system is asked once per file type, on a worker thread: the caller (the
// window) never waits for xdg-mime, and later files of the type are answered
// from memory.
TEST_F(OpenFilesTest, TheAssociatedProgramIsAskedOnceAndNeverOnTheCallersThread) {
  const std::string viewer = standIns_.Install("html-viewer", "exit 0");
  const std::string release = env_.Dir("signal") + "antworten";
  // xdg-mime answers only once the test allows it (at most ten seconds later).
  standIns_.Install("xdg-mime", "case \"$2\" in filetype) i=0; while [ ! -e '" + release +
                                    "' ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done; [ -e '" + release +
                                    "' ] && echo 'text/html' ;; default) echo 'viewer.desktop' ;; esac");
  std::filesystem::create_directories(env_.Root() / "home/.local/share/applications");
  std::ofstream(env_.Root() / "home/.local/share/applications/viewer.desktop")
      << "[Desktop Entry]\nExec=html-viewer %f\n";
  const std::string first = Document("seite.html");
  const std::string second = Document("ZWEITE.HTML");

  OpenWithProgram("open", first, false);  // returns before the system has answered
  EXPECT_FALSE(KnownAssociatedProgram(first));
  std::ofstream(release) << "";
  EXPECT_EQ(NextCallOf(standIns_.PathOf("xdg-mime")), (Arguments{"query", "filetype", first}));
  EXPECT_EQ(NextCallOf(standIns_.PathOf("xdg-mime")), (Arguments{"query", "default", "text/html"}));
  EXPECT_EQ(NextCallOf(viewer), Arguments{first});

  OpenWithProgram("open", second, false);
  EXPECT_EQ(NextCallOf(viewer), Arguments{second});  // no question in between
  EXPECT_EQ(ResolveProgram(second, false).Program, viewer);
  EXPECT_EQ(KnownAssociatedProgram(first), viewer);
  EXPECT_TRUE(OpeningThreadPool().WaitUntilIdle(kBoundMs));
  EXPECT_TRUE(standIns_.NothingRecorded());
}

TEST_F(OpenFilesTest, AssociatedProgramComesFromTheExecLine) {
  standIns_.Install("html-viewer", "exit 0");
  const std::string spaced = standIns_.Install("view er", "exit 0", env_.Dir("Meine Programme"));
  standIns_.Install("xdg-mime",
                    "case \"$2\" in filetype) echo 'text/html' ;; default) echo 'viewer.desktop;other.desktop' ;; "
                    "esac");
  const std::filesystem::path desktopFile = env_.Root() / "home/.local/share/applications/viewer.desktop";
  std::filesystem::create_directories(desktopFile.parent_path());
  const std::string page = Document("seite.html");
  struct Case {
    std::string exec;
    std::string program;
  };
  const Case cases[] = {
      {"html-viewer %f", standIns_.PathOf("html-viewer")},
      {"\"" + spaced + "\" --new-window %U", spaced},
      {"html-viewer", standIns_.PathOf("html-viewer")},
      {"env LANG=C html-viewer %f", ""},  // a launcher line: xdg-open runs it whole
      {"flatpak run org.example.Viewer %U", ""},
      {"nicht-installiert %f", ""},
      {"\"html-viewer %f", ""},  // unclosed quote
  };
  for (const Case& c : cases) {
    std::ofstream(desktopFile, std::ios::trunc) << "[Desktop Entry]\nExec=" << c.exec << "\n";
    EXPECT_EQ(FindAssociatedProgram(page), c.program) << c.exec;
    standIns_.NextCall();
    standIns_.NextCall();
  }
  // A file that does not exist has no program, and nobody is asked.
  EXPECT_EQ(FindAssociatedProgram(env_.Dir("docs") + "fehlt.html"), "");
  EXPECT_TRUE(standIns_.NothingRecorded());
}

// --- the right-Ctrl program choice ----------------------------------------------

TEST_F(OpenFilesTest, ProgramChoiceAppearsOnlyWithRightControlAndAsk) {
  ChoiceHooks hooks;
  WriteProgramMap(".html=/opt/x/viewer\r\n");
  hooks.rightControl = false;
  EXPECT_EQ(ResolveProgram("seite.html", true).Program, "/opt/x/viewer");
  hooks.rightControl = true;
  EXPECT_EQ(ResolveProgram("seite.html", false).Program, "/opt/x/viewer");
  EXPECT_TRUE(hooks.requests.empty());
}

TEST_F(OpenFilesTest, CancelledProgramChoiceOpensNothing) {
  ChoiceHooks hooks;
  WriteProgramMap(".html=/opt/x/viewer\r\n");
  hooks.rightControl = true;
  hooks.confirm = false;
  const std::string page = Document("seite.html");

  EXPECT_TRUE(ResolveProgram(page, true).Cancelled);
  ExpectMimeQueries(1, page);  // for the dialog's preset
  ASSERT_EQ(hooks.requests.size(), 1u);
  EXPECT_EQ(hooks.requests[0].Filter, Ansi(u8"Ausführbare Dateien|*.exe;*.com;*.bat|Alle Dateien|*.*"));
  EXPECT_EQ(hooks.requests[0].FileName, "");           // nothing associated
  EXPECT_EQ(hooks.requests[0].InitialDir, "/opt/x/");  // the folder of the mapped program

  OpenWithProgram("open", page, true);  // the type's answer is known: nobody is asked again
  EXPECT_TRUE(OpeningThreadPool().WaitUntilIdle(kBoundMs));
  ShellOpenAsync("open", page);  // the first call that arrives is this one
  EXPECT_EQ(NextCallOf(standIns_.PathOf("xdg-open")), Arguments{page});
  EXPECT_BYTES_EQ(ReadProgramMap(), ".html=/opt/x/viewer\r\n");  // unchanged
}

TEST_F(OpenFilesTest, ConfirmedProgramChoiceIsStoredAndUsedAtOnceAndLater) {
  ChoiceHooks hooks;
  const std::string chosen = standIns_.Install("eigener-viewer", "exit 0", env_.Dir("Programme"));
  WriteProgramMap(".pdf=/opt/y/reader\r\n");
  const std::string page = Document("Seite.HTML");
  hooks.rightControl = true;
  hooks.confirm = true;
  hooks.answer = chosen;

  OpenWithProgram("open", page, true);
  ExpectMimeQueries(1, page);  // for the dialog's preset, once
  EXPECT_EQ(NextCallOf(chosen), Arguments{page});
  EXPECT_BYTES_EQ(ReadProgramMap(), ".pdf=/opt/y/reader\r\n.html=" + chosen + "\r\n");

  hooks.rightControl = false;
  OpenWithProgram("open", page, true);
  EXPECT_EQ(NextCallOf(chosen), Arguments{page});
  EXPECT_EQ(hooks.requests.size(), 1u);
}

// --- the mapping file's old home -------------------------------------------------

class LegacyMappingTest : public OpenFilesTest {
 protected:
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(oldFolder_, ignored);
    OpenFilesTest::TearDown();
  }
  void WriteOldMapping(const std::string& lines) {
    std::filesystem::create_directories(oldFolder_);
    std::ofstream(oldFolder_ / kProgramMapFileName, std::ios::binary) << lines;
  }
  bool OldMappingExists() const { return std::filesystem::exists(oldFolder_ / kProgramMapFileName); }

  const std::filesystem::path oldFolder_ =
      std::filesystem::path(platform::AnsiToUtf8(platform::GetModuleDir())) / kLegacyProgramMapFolder;
};

TEST_F(LegacyMappingTest, TheOldFileMovesIntoTheClientFolderOnce) {
  WriteOldMapping(".html=/opt/alt/viewer\r\n");
  const std::string path = ProgramMapPath();
  EXPECT_EQ(path, AddTrailingBackslash(GetClientRootDir()) + "OpenFileEx.txt");
  EXPECT_BYTES_EQ(ReadProgramMap(), ".html=/opt/alt/viewer\r\n");
  EXPECT_FALSE(OldMappingExists());
  EXPECT_EQ(ResolveProgram("seite.html", false).Program, "/opt/alt/viewer");
}

// An old file that could not be deleted (an installation the user may not
// write) must not take back the choices made with the right Ctrl key since.
TEST_F(LegacyMappingTest, AnOldFileThatStaysNeverReplacesTheUsersChoices) {
  ChoiceHooks hooks;
  const std::string chosen = standIns_.Install("eigener-viewer", "exit 0", env_.Dir("Programme"));
  WriteOldMapping(".html=/opt/alt/viewer\r\n");
  EXPECT_EQ(ResolveProgram("seite.html", false).Program, "/opt/alt/viewer");  // moved in
  WriteOldMapping(".html=/opt/alt/viewer\r\n");                               // and still there

  hooks.rightControl = true;
  hooks.confirm = true;
  hooks.answer = chosen;
  const std::string page = Document("seite.html");
  EXPECT_EQ(ResolveProgram(page, true).Program, chosen);
  hooks.rightControl = false;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ResolveProgram(page, false).Program, chosen) << i;
  EXPECT_BYTES_EQ(ReadProgramMap(), ".html=" + chosen + "\r\n");
  EXPECT_TRUE(OldMappingExists());  // left alone
}

// --- ShowInFolder ---------------------------------------------------------------

TEST_F(OpenFilesTest, ShowInFolderAsksTheFileManagerOverDBus) {
  const std::string file = Document(Ansi(u8"Übersicht 1,2.pdf"));
  EXPECT_TRUE(ShowInFolder(file));
  const std::string folderUri = "file://" + env_.Dir("docs");
  EXPECT_EQ(NextCallOf(standIns_.PathOf("dbus-send")),
            (Arguments{"--session", "--print-reply", "--reply-timeout=5000", "--type=method_call",
                       "--dest=org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                       "org.freedesktop.FileManager1.ShowItems",
                       "array:string:" + folderUri + "%C3%9Cbersicht%201%2C2.pdf", "string:"}));
}

TEST_F(OpenFilesTest, ShowInFolderOpensTheFolderWhenNoFileManagerAnswers) {
  standIns_.Install("dbus-send", "exit 1");
  const std::string file = Document("Bericht.pdf");
  EXPECT_TRUE(ShowInFolder(file));
  NextCallOf(standIns_.PathOf("dbus-send"));
  std::string folder = env_.Dir("docs");
  folder.pop_back();
  EXPECT_EQ(NextCallOf(standIns_.PathOf("xdg-open")), Arguments{folder});
}

TEST_F(OpenFilesTest, ShowInFolderOfAMissingFileAsksNobody) {
  EXPECT_FALSE(ShowInFolder(env_.Dir("docs") + "fehlt.pdf"));
  EXPECT_FALSE(ShowInFolder(""));
  EXPECT_TRUE(standIns_.NothingRecorded());
}

}  // namespace
}  // namespace wb
