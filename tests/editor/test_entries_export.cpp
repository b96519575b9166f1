// The export of entries: the round trip through the import of the direct
// start (add and update mode), the file's form, and the targets it refuses.
#include <sys/stat.h>

#include "app/command_line_start.h"
#include "app/main_window_features.h"
#include "app_fixture.h"
#include "client/client_dirs.h"
#include "entries/entries_export.h"
#include "entries/entries_file.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;

namespace {

std::string SourceDir() {
  const char* dir = std::getenv("WB_SOURCE_DIR");
  return dir && *dir ? dir : ".";
}

class EntriesExportTest : public MainWindowTest {
 protected:
  // A main window logic on another database folder, started with arguments.
  struct Installation {
    std::string database;
    RecordingView view;
    ScriptedServer server;
    RecordingOpener opener;
    std::unique_ptr<TLiveImportFrm> frm;
    std::string EntriesPath() const { return database + "Sonderdruck.V1/sdr.json"; }
  };
  std::unique_ptr<Installation> Start(const std::string& folder, std::vector<std::string> arguments = {}) {
    auto installation = std::make_unique<Installation>();
    installation->database = folder;
    installation->server.Answer("DBPATH", {folder});
    installation->server.Answer("APPPATH", {application});
    installation->frm = std::make_unique<TLiveImportFrm>(installation->view, installation->server, installation->opener,
                                                         std::move(arguments));
    installation->frm->FormCreate();
    AttachMainWindowFeatures(*installation->frm, nullptr);
    installation->frm->FormShow();
    return installation;
  }
  static std::vector<const TWBCustomJSON*> AllEntries(const TWBJSON* document) {
    std::vector<const TWBCustomJSON*> entries;
    TWBSONList* items = EntryItems(document);
    for (int32_t i = 0; items && i < items->ChildCount(); ++i) entries.push_back(items->ChildAt(i));
    return entries;
  }
  static const TWBCustomJSON* ByUid(const TWBJSON* document, const std::string& uid) {
    for (const TWBCustomJSON* entry : AllEntries(document))
      if (entry->StringByName("UID") == uid) return entry;
    return nullptr;
  }
};

TEST_F(EntriesExportTest, DemoDatabaseSurvivesExportAndImportIntoAnEmptyDatabase) {
  // The demo database as the program keeps it (its own order and line ends).
  WriteBytes(EntriesPath(), ReadBytes(SourceDir() + "/demo/database/Sonderdruck.V1/sdr.json"));
  auto demo = Start(database);
  demo->frm->SaveEntries();
  const std::string original = ReadBytes(EntriesPath());
  ASSERT_EQ(EntryItems(demo->frm->Document())->ChildCount(), 6);

  const std::string exported = env.Dir("austausch") + Ansi(kExportAllFileName);
  WriteEntriesExport(AllEntries(demo->frm->Document()), exported, false);
  // The file name holds umlauts: the byte reader takes the file system's own spelling.
#ifdef _WIN32
  const std::string exportedOnDisk = exported;
#else
  const std::string exportedOnDisk = platform::AnsiToUtf8(exported);
#endif
  EXPECT_EQ(ReadBytes(exportedOnDisk).rfind("{\r\n  \"Items\":[\r\n", 0), 0u) << "indented, CR LF lines";

  // A new installation: its first start writes the example entry; the import adds.
  auto fresh = Start(env.Dir("neu"), {exported});
  EXPECT_EQ(fresh->view.closeRequests, 1);
  TStringList& lines = fresh->frm->Lines();
  ASSERT_EQ(lines.Count(), 7);
  for (int i = 0; i < lines.Count(); ++i) {
    if (EntryPlainName(*static_cast<TWBCustomJSON*>(lines.GetObject(i))) != Ansi(u8"Beispiel: Ändern Sie alles hier!"))
      continue;
    lines.Delete(i);
    break;
  }
  fresh->frm->SaveEntries();
  EXPECT_BYTES_EQ(ReadBytes(fresh->EntriesPath()), original);
}

TEST_F(EntriesExportTest, OneEntryChangedInItsFileUpdatesOnlyThatEntryAndKeepsItsFilters) {
  WriteBytes(EntriesPath(), ReadBytes(SourceDir() + "/demo/database/Sonderdruck.V1/sdr.json"));
  const std::string uid = "5D3A1C2E-7B4F-4E21-9A6C-0D8E1F2A3B42";  // Lieferschein Kunde
  std::unique_ptr<TWBJSON> before;
  std::string exported = env.Dir("austausch") + "Lieferschein Kunde.json";
  {
    auto installation = Start(database);
    installation->frm->SaveEntries();
    before = JSONCast<TWBJSON>(TWBCustomJSON::Clone(installation->frm->Document()));
    EXPECT_EQ(ExportFileNameOf(*ByUid(before.get(), uid)), "Lieferschein Kunde.json");
    WriteEntriesExport({ByUid(before.get(), uid)}, exported, false);
  }
  // Changed in the file by hand: name, printer, copies and a filter.
  std::string text = ReadBytes(exported);
  for (auto [from, to] :
       std::vector<std::pair<std::string, std::string>>{{"\"Lieferschein Kunde\"", "\"Lieferschein Kunde (Lager)\""},
                                                        {"\"Fach 1\"", "\"Fach 2\""},
                                                        {"\"Copies\":2", "\"Copies\":3"},
                                                        {"\"LIEFERSCHEIN\"", "\"RECHNUNG\""}}) {
    ASSERT_NE(text.find(from), std::string::npos) << from;
    text.replace(text.find(from), from.size(), to);
  }
  WriteBytes(exported, text);

  auto installation = Start(database, {exported, "U"});
  const TWBJSON* after = installation->frm->Document();
  ASSERT_EQ(AllEntries(after).size(), AllEntries(before.get()).size());
  for (const TWBCustomJSON* entry : AllEntries(before.get())) {
    const TWBCustomJSON* now = ByUid(after, entry->StringByName("UID"));
    ASSERT_NE(now, nullptr);
    if (entry->StringByName("UID") != uid) {
      EXPECT_EQ(TWBJSONText::Generate(now), TWBJSONText::Generate(entry)) << "untouched";
      continue;
    }
    EXPECT_EQ(now->StringByName("Info"), "Lieferschein Kunde (Lager)");
    EXPECT_EQ(now->StringByName("DefaultprinterBinName"), "Fach 2");
    EXPECT_EQ(EntryCopies(*now), 3);
    EXPECT_EQ(now->StringByName("Filter.POT"), "LIEFERSCHEIN") << "its own filter stays";
    EXPECT_EQ(now->StringByName("Filter.LayoutName"), "Lieferschein");
  }
}

TEST_F(EntriesExportTest, EveryMemberAsStoredAndNamesWithMarkupAndQuotes) {
  const std::string json =
      "{\"Info\":\"<b>\\\"Zitat\\\" & Co</b> <IMG src=\\\"idx:1\\\">\",\"Destination\":\"Extern\","
      "\"ServerExeName\":\"C:\\\\Tools\\\\x.exe\",\"Eigenes\":{\"a\":[1,2.5,null]},\"Copies\":\"abc\","
      "\"UID\":\"U-1\"}";
  std::unique_ptr<TWBCustomJSON> entry = TWBJSONText::Parse(json);
  const std::string path = env.Dir("aus") + ExportFileNameOf(*entry);
  EXPECT_EQ(ExtractFileName(path), "Zitat & Co.json") << "quotes are no file-name characters";
  WriteEntriesExport({entry.get()}, path, false);
  std::unique_ptr<TWBCustomJSON> back = TWBJSONStreamer::LoadFromFile(path);
  ASSERT_TRUE(back);
  EXPECT_EQ(TWBJSONText::Generate(back.get()), "{\"Items\":[" + TWBJSONText::Generate(entry.get()) + "]}");
  EXPECT_BYTES_EQ(ReadBytes(path), EntriesFileText(*JSONCast<TWBJSON>(std::move(back))));
}

TEST_F(EntriesExportTest, TargetsThatCannotBeWrittenAreRefusedWithTheirReason) {
  std::unique_ptr<TWBCustomJSON> entry = TWBJSONText::Parse("{\"Info\":\"A\",\"UID\":\"U-1\"}");
  const std::string folder = env.Dir("ziel");
  WriteBytes(folder + "schreibgeschuetzt.json", "alt");
  ::chmod((folder + "schreibgeschuetzt.json").c_str(), 0444);
  std::filesystem::create_directories(folder + "ordner.json");
  struct Case {
    std::string path;
    std::string reason;  // UTF-8
  };
  const Case cases[] = {
      {folder + "fehlt/neu.json", "Der Ordner „" + folder + "fehlt“ existiert nicht."},
      {folder + "schreibgeschuetzt.json", "Die Datei „" + folder + "schreibgeschuetzt.json“ ist schreibgeschützt."},
      {folder + "ordner.json", "„" + folder + "ordner.json“ ist ein Ordner, keine Datei."},
      {folder, "„" + folder + "“ ist kein Dateiname."},
      {"", "„“ ist kein Dateiname."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    try {
      WriteEntriesExport({entry.get()}, c.path, true);
      ADD_FAILURE() << "written";
    } catch (const EExportTargetExists&) {
      ADD_FAILURE() << "not a question of replacing";
    } catch (const Exception& error) {
      EXPECT_EQ(platform::AnsiToUtf8(error.what()), c.reason);
    }
  }
  EXPECT_FALSE(std::filesystem::exists(folder + "fehlt")) << "no folder is created";
  EXPECT_BYTES_EQ(ReadBytes(folder + "schreibgeschuetzt.json"), "alt");
  // Nothing half-written is left beside the targets.
  for (const auto& item : std::filesystem::directory_iterator(folder))
    EXPECT_EQ(item.path().extension(), ".json") << item.path();
}

TEST_F(EntriesExportTest, AnExistingFileIsReplacedOnlyWhenAllowed) {
  std::unique_ptr<TWBCustomJSON> entry = TWBJSONText::Parse("{\"Info\":\"A\",\"UID\":\"U-1\"}");
  // A folder and a file name with umlauts, as the user's system names them.
  const std::string folder = env.Dir("Einträge");
  const std::string path = platform::Utf8ToAnsi(folder + "Übersicht für Müller.json");
  WriteBytes(folder + "Übersicht für Müller.json", "alt");
  EXPECT_THROW(WriteEntriesExport({entry.get()}, path, false), EExportTargetExists);
  EXPECT_BYTES_EQ(ReadBytes(folder + "Übersicht für Müller.json"), "alt");
  WriteEntriesExport({entry.get()}, path, true);
  EXPECT_NE(ReadBytes(folder + "Übersicht für Müller.json").find("\"U-1\""), std::string::npos);
  EXPECT_EQ(ExportTargetProblem(path), "");
}

}  // namespace
