// The entries file as the main window loads, lists and saves it.
#include "app_fixture.h"
#include "entries/entries_file.h"
#include "entries/entry_fields.h"
#include "support/bytes_equal.h"

#include <algorithm>
#include <cctype>
#include <chrono>

using namespace wb;
using namespace wb::test;

TEST_F(MainWindowTest, ListsPrintThenPdfThenOthers) {
  WriteEntries(Entry("Extern", "Extern") + "," + Entry("b", "pdf") + "," + Entry("Print", "Print") + "," +
               Entry("<b>Lieferschein</b>", "pdf", true));
  frm->FormCreate();
  EXPECT_EQ(view.rows, (std::vector<std::string>{"[Print] Print", "[pdf] b", "[pdf] Lieferschein  [Nicht benutzt]",
                                                 "[Extern] Extern"}));
  // Each line carries its own entry.
  for (int i = 0; i < frm->Lines().Count(); ++i)
    EXPECT_EQ(EntryDisplayText(*static_cast<TWBCustomJSON*>(frm->Lines().GetObject(i))).substr(0, 5),
              view.rows[static_cast<std::size_t>(i)].substr(0, 5));
}

TEST_F(MainWindowTest, LongNamesAreCutToAHundredCharacters) {
  WriteEntries(Entry(std::string(150, 'x'), "pdf"));
  frm->FormCreate();
  ASSERT_EQ(view.rows.size(), 1u);
  EXPECT_EQ(view.rows[0], "[pdf] " + std::string(94, 'x'));
}

TEST_F(MainWindowTest, EmptyItemsBecomeTheExampleWithoutAMessage) {
  WriteEntries("");
  frm->FormCreate();
  ASSERT_EQ(view.rows.size(), 1u);
  EXPECT_NE(view.rows[0].find("Beispiel"), std::string::npos);
  EXPECT_TRUE(test::Messages().TakeShownTexts().empty());
}

TEST_F(MainWindowTest, DamagedFileIsReportedAndKeptBesideTheExample) {
  const std::string damaged = "{\"Items\":[{\"Info\":\"Meine Eintr\xE4ge\"";  // cut off
  WriteBytes(EntriesPath(), damaged);
  WriteBytes(EntriesPath() + ".backup", "previous backup");
  frm->FormCreate();
  auto texts = test::Messages().TakeShownTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "Die Datei " + EntriesPath() +
                          " ist leider besch\xE4"
                          "digt!");
  bool keptDamaged = false, keptBackup = false;
  for (auto& file : std::filesystem::directory_iterator(database + "Sonderdruck.V1")) {
    std::string name = file.path().filename().string();
    if (name.rfind("sdr.json.beschaedigt-", 0) == 0) keptDamaged = ReadBytes(file.path().string()) == damaged;
    if (name.rfind("sdr.json.backup.vorher-", 0) == 0)
      keptBackup = ReadBytes(file.path().string()) == "previous backup";
  }
  EXPECT_TRUE(keptDamaged);
  EXPECT_TRUE(keptBackup);
  EXPECT_NE(ReadBytes(EntriesPath()).find("Beispiel"), std::string::npos);
}

TEST_F(MainWindowTest, SaveSortsByPlainInfoAsText) {
  WriteEntries(Entry("Layout 9", "pdf", false, "U9") + "," + Entry("Layout 10", "pdf", false, "U10") + "," +
               Entry("<b>alpha</b>", "print", false, "UA"));
  frm->FormCreate();
  view.selected = 1;
  frm->SaveEntries();
  const std::string file = ReadBytes(EntriesPath());
  auto at = [&](const char* text) { return file.find(text); };
  EXPECT_LT(at("<b>alpha<\\/b>"), at("Layout 10"));
  EXPECT_LT(at("Layout 10"), at("Layout 9"));
  EXPECT_BYTES_EQ(ReadBytes(EntriesPath() + ".backup"), file);
  EXPECT_EQ(view.selected, 1);
  EXPECT_EQ(frm->BusyCount(), 0);
  EXPECT_TRUE(frm->UidExists("U10"));
  EXPECT_FALSE(frm->UidExists("u10"));
}

TEST_F(MainWindowTest, SaveRefusesItemsWhoseFirstEntryHasNoInfo) {
  WriteEntries("{\"Destination\":\"pdf\"}," + Entry("b", "pdf"));
  frm->FormCreate();
  const std::string before = ReadBytes(EntriesPath());
  try {
    frm->SaveEntries();
    FAIL();
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "Info not found in Items");
  }
  EXPECT_BYTES_EQ(ReadBytes(EntriesPath()), before);
  EXPECT_EQ(frm->BusyCount(), 0);
}

TEST_F(MainWindowTest, UnknownRootMembersReachTheBackupButNotTheNextSave) {
  WriteBytes(EntriesPath(), "{\"Extra\":1,\"Items\":[" + Entry("a", "pdf") + "]}");
  frm->FormCreate();
  EXPECT_NE(ReadBytes(EntriesPath() + ".backup").find("Extra"), std::string::npos);
  frm->SaveEntries();
  EXPECT_EQ(ReadBytes(EntriesPath()).find("Extra"), std::string::npos);
}

TEST_F(MainWindowTest, TheStartBackupIsWrittenOnlyWhenItsBytesDiffer) {
  namespace fs = std::filesystem;
  WriteEntries(Entry("a", "pdf"));
  frm->FormCreate();
  const std::string backup = EntriesPath() + ".backup";
  const std::string written = ReadBytes(backup);
  ASSERT_FALSE(written.empty());

  // The same entries again: the backup already holds them and stays untouched.
  // A day back; read again, as the file system keeps the time in its own precision.
  fs::last_write_time(backup, fs::file_time_type::clock::now() - std::chrono::hours(24));
  const auto old = fs::last_write_time(backup);
  frm->LoadEntries(0);
  EXPECT_EQ(fs::last_write_time(backup), old);
  EXPECT_BYTES_EQ(ReadBytes(backup), written);

  // A backup with other bytes (here one byte shorter, then one byte changed) is rewritten.
  for (const std::string& stale : {written.substr(0, written.size() - 1), "x" + written.substr(1)}) {
    WriteBytes(backup, stale);
    fs::last_write_time(backup, old);
    frm->LoadEntries(0);
    EXPECT_BYTES_EQ(ReadBytes(backup), written);
    EXPECT_NE(fs::last_write_time(backup), old);
  }
}

TEST_F(MainWindowTest, ItemsThatAreNoObjectsStayInTheFileAtTheNextSave) {
  WriteEntries(Entry("b", "pdf", false, "UB") + ",null,\"Notiz\"," + Entry("a", "print", false, "UA") + ",[1,2],7");
  frm->FormCreate();
  EXPECT_EQ(view.rows, (std::vector<std::string>{"[print] a", "[pdf] b"}));  // only entries are shown
  frm->SaveEntries();
  auto saved = LoadEntriesDocument(EntriesPath());
  ASSERT_TRUE(saved);
  // The entries sorted by "Info", then the other elements unchanged and in their order.
  EXPECT_EQ(TWBJSONText::Generate(EntryItems(saved.get())),
            "[" + Entry("a", "print", false, "UA") + "," + Entry("b", "pdf", false, "UB") + ",null,\"Notiz\",[1,2],7]");
  EXPECT_BYTES_EQ(ReadBytes(EntriesPath() + ".backup"), ReadBytes(EntriesPath()));
  // And again: a second save neither loses nor repeats them.
  frm->SaveEntries();
  EXPECT_EQ(TWBJSONText::Generate(EntryItems(LoadEntriesDocument(EntriesPath()).get())),
            "[" + Entry("a", "print", false, "UA") + "," + Entry("b", "pdf", false, "UB") + ",null,\"Notiz\",[1,2],7]");
}

// Windows-1252 characters side by side ("––", "‘’", "…“", the euro sign before
// a dash) come back from every load and save exactly as they were written.
TEST_F(MainWindowTest, CodePageTextSurvivesLoadAndSave) {
  const std::string names[] = {"A \x96\x96 B", "\x91Zitat\x92", "\x85\x93", "Preis \x80\x97 netto", "\x80\x94"};
  std::string items;
  for (const std::string& name : names) items += (items.empty() ? "" : ",") + Entry(name, "pdf");
  WriteBytes(EntriesPath(), "{\"Items\":[" + items + "]}");
  frm->FormCreate();
  frm->SaveEntries();
  frm->SaveEntries();
  auto saved = LoadEntriesDocument(EntriesPath());
  ASSERT_TRUE(saved);
  std::vector<std::string> infos;
  for (int i = 0; i < EntryItems(saved.get())->ChildCount(); ++i)
    infos.push_back(EntryItems(saved.get())->ChildAt(i)->StringByName("Info"));
  std::sort(infos.begin(), infos.end());
  std::vector<std::string> expected(std::begin(names), std::end(names));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(infos, expected);
  EXPECT_NE(ReadBytes(EntriesPath()).find("\"Info\":\"A \x96\x96 B\""), std::string::npos);
}

// The example document byte for byte: members in their order, their values,
// and a new UID of 36 upper-case hexadecimal characters in groups 8-4-4-4-12.
TEST_F(MainWindowTest, TheExampleDocumentExactly) {
  frm->FormCreate();
  const std::string file = ReadBytes(EntriesPath());
  const std::string uidKey = "\"UID\":\"";
  const size_t uidAt = file.find(uidKey);
  ASSERT_NE(uidAt, std::string::npos) << file;
  const std::string uid = file.substr(uidAt + uidKey.size(), 36);
  for (size_t i = 0; i < uid.size(); ++i) {
    const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
    EXPECT_TRUE(hyphen ? uid[i] == '-' : std::isxdigit(static_cast<unsigned char>(uid[i])) && !std::islower(uid[i]))
        << uid;
  }
  EXPECT_EQ(file,
            "{\r\n"
            "  \"LogFileName\":\"<TMP>log.json\",\r\n"
            "  \"Items\":[\r\n"
            "    {\r\n"
            "      \"Info\":\"Beispiel: \xC4ndern Sie alles hier!\",\r\n"
            "      \"Filter.POT\":\"rechnung\",\r\n"
            "      \"Filter.Output\":\"mail\",\r\n"
            "      \"Filter.LayoutName\":\"\",\r\n"
            "      \"Destination\":\"pdf\",\r\n"
            "      \"SuperLayoutname\":\"\",\r\n"
            "      \"LabelPrinter\":\"\",\r\n"
            "      \"Defaultprinter\":\"\",\r\n"
            "      \"DefaultprinterBinName\":\"\",\r\n"
            "      \"DuplexType\":\"\",\r\n"
            "      \"Copies\":1,\r\n"
            "      \"Forbidden\":true,\r\n"
            "      \"UID\":\"" +
                uid +
                "\"\r\n"
                "    }\r\n"
                "  ]\r\n"
                "}\r\n");
  // Each start makes its own.
  std::filesystem::remove(EntriesPath());
  frm->LoadEntries(0);
  EXPECT_EQ(ReadBytes(EntriesPath()).find(uid), std::string::npos);
}

TEST(EntryFields, ReadingDefaults) {
  const struct {
    const char* Entry;
    bool Forbidden;
    int32_t Copies;
  } kCases[] = {
      {"{}", false, 0},
      {"{\"Forbidden\":null,\"Copies\":null}", false, 0},
      {"{\"Forbidden\":true,\"Copies\":3}", true, 3},
      {"{\"Forbidden\":false,\"Copies\":\"2\"}", false, 2},
      {"{\"Copies\":\"abc\"}", false, 0},
      {"{\"Copies\":\"\"}", false, 0},
      {"{\"Forbidden\":\"ja\"}", false, 0},
  };
  for (const auto& c : kCases) {
    auto entry = TWBJSONText::Parse(c.Entry);
    ASSERT_TRUE(entry) << c.Entry;
    EXPECT_EQ(EntryForbidden(*entry), c.Forbidden) << c.Entry;
    EXPECT_EQ(EntryCopies(*entry), c.Copies) << c.Entry;
  }
  // A missing text member reads as "".
  EXPECT_EQ(EntryString(*TWBJSONText::Parse("{}"), entry_keys::Defaultprinter), "");
}
