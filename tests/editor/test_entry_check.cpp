// The entry check: one entry per kind of finding beside clean ones, the
// printer list the server may not give, and the lookup of external programs.
#include <sys/stat.h>

#include "app_fixture.h"
#include "entries/entry_check.h"
#include "platform/codepage.h"

using namespace wb;
using namespace wb::test;

namespace {

const char* kPrinters =
    "{\"Printers\":[{\"Name\":\"Laser\",\"Bins\":[{\"Bin\":\"Fach 1\"},{\"Bin\":\"Fach 2\"}]},"
    "{\"Name\":\"Etiketten\",\"Bins\":[{\"Bin\":\"Rolle\"}]}]}";

struct Checked {
  std::vector<std::unique_ptr<TWBCustomJSON>> entries;
  std::vector<TEntryFinding> findings;
  // "name: kind text" of every finding, UTF-8.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (const TEntryFinding& finding : findings)
      lines.push_back(finding.Entry->StringByName("Info") + ": " + platform::AnsiToUtf8(finding.Text));
    return lines;
  }
};

Checked Check(const std::vector<std::string>& jsonEntries, const std::string& printersReply) {
  Checked checked;
  TEntryCheckSource source;
  for (const std::string& json : jsonEntries) {
    checked.entries.push_back(TWBJSONText::Parse(json));
    source.Entries.push_back(checked.entries.back().get());
  }
  source.Printers = ParseOfferedPrinters(printersReply);
  source.LayoutExists = [](const std::string& name) { return name == "Rechnung" || name == "Etikett"; };
  source.ProgramExists = [](const std::string& program) { return program == "/opt/da"; };
  checked.findings = CheckEntries(source);
  return checked;
}

std::string Print(const std::string& name, const std::string& more) {
  return "{\"Info\":\"" + name + "\",\"Destination\":\"print\",\"SuperLayoutname\":\"Etikett\",\"Copies\":1," + more +
         "\"UID\":\"U-" + name + "\"}";
}

// One entry per kind of finding, and three clean ones.
const std::vector<std::string> kEntries = {
    Print("Sauber", "\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"Fach 2\",\"DuplexType\":\"vertical\","),
    "{\"Info\":\"PDF sauber\",\"Destination\":\"pdf\",\"SuperLayoutname\":\"Rechnung\",\"Defaultprinter\":\"Weg\","
    "\"Copies\":0,\"DuplexType\":\"quer\",\"UID\":\"U-pdf\"}",
    "{\"Info\":\"Extern sauber\",\"Destination\":\"Extern\",\"ServerExeName\":\"/opt/da\",\"SuperLayoutname\":\"X\","
    "\"UID\":\"U-ext\"}",
    "{\"Info\":\"Layouts\",\"Destination\":\"pdf\",\"Filter.LayoutName\":\"Alt\",\"SuperLayoutname\":\"Neu\","
    "\"UID\":\"U-lay\"}",
    Print("Drucker", "\"Defaultprinter\":\"Flur\",\"DefaultprinterBinName\":\"Fach 9\","),
    Print("Schacht", "\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"fach 1\","),
    Print("Duplex", "\"DuplexType\":\"Vertical\","),
    "{\"Info\":\"Kopien\",\"Destination\":\"PRINT\",\"SuperLayoutname\":\"Etikett\",\"UID\":\"U-kopien\"}",
    Print("<b>Doppelt</b>", ""),
    Print("Doppelt", ""),
    "{\"Info\":\"UID 1\",\"Destination\":\"pdf\",\"SuperLayoutname\":\"Rechnung\",\"UID\":\"U-gleich\"}",
    "{\"Info\":\"UID 2\",\"Destination\":\"pdf\",\"SuperLayoutname\":\"Rechnung\",\"UID\":\"U-gleich\"}",
    "{\"Info\":\"Programm\",\"Destination\":\"Extern\",\"ServerExeName\":\"/opt/weg\",\"UID\":\"U-prog\"}",
    "{\"Info\":\"Ohne Programm\",\"Destination\":\"Extern\",\"UID\":\"U-ohne\"}",
};

TEST(EntryCheck, OneFindingPerKindAndNoneForCleanEntries) {
  Checked checked = Check(kEntries, kPrinters);
  EXPECT_EQ(
      checked.Lines(),
      (std::vector<std::string>{
          "Layouts: Das Layout „Alt“ wurde nicht gefunden",
          "Layouts: Das Layout „Neu“ wurde nicht gefunden",
          "Drucker: Den Drucker „Flur“ bietet der Server nicht an",
          "Schacht: Der Drucker „Laser“ hat keinen Schacht „fach 1“",
          "Duplex: Der Duplex-Wert „Vertical“ ist keiner der angebotenen (leer, horizontal, vertical)",
          "Kopien: Die Anzahl der Kopien ist 0, es wird also nichts gedruckt",
          "<b>Doppelt</b>: Ein anderer Eintrag hat denselben Namen; ein Direktstart und Verknüpfungen nehmen nur den "
          "ersten",
          "Doppelt: Ein anderer Eintrag hat denselben Namen; ein Direktstart und Verknüpfungen nehmen nur den ersten",
          "UID 1: Ein anderer Eintrag hat dieselbe UID U-gleich; ein Import im Aktualisierungsmodus kann sie nicht "
          "unterscheiden",
          "UID 2: Ein anderer Eintrag hat dieselbe UID U-gleich; ein Import im Aktualisierungsmodus kann sie nicht "
          "unterscheiden",
          "Programm: Das Programm „/opt/weg“ wurde nicht gefunden",
          "Ohne Programm: Es ist kein Programm angegeben",
      }));
  const std::vector<FindingKind> kinds = {
      FindingKind::MissingLayout, FindingKind::MissingLayout, FindingKind::UnknownPrinter, FindingKind::UnknownBin,
      FindingKind::UnknownDuplex, FindingKind::TooFewCopies,  FindingKind::DuplicateName,  FindingKind::DuplicateName,
      FindingKind::DuplicateUid,  FindingKind::DuplicateUid,  FindingKind::MissingProgram, FindingKind::MissingProgram};
  ASSERT_EQ(checked.findings.size(), kinds.size());
  for (size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(checked.findings[i].Kind, kinds[i]) << i;
  EXPECT_TRUE(FindingsOf(checked.findings, checked.entries[0].get()).empty());
  EXPECT_EQ(FindingsOf(checked.findings, checked.entries[3].get()).size(), 2u);
}

TEST(EntryCheck, WithoutAPrinterListPrintersAndBinsAreNotJudged) {
  for (const char* reply : {"", "kein JSON", "{}", "{\"Printers\":[]}", "{\"Printers\":7}"}) {
    SCOPED_TRACE(reply);
    EXPECT_FALSE(ParseOfferedPrinters(reply).Known);
    const std::vector<std::string> lines = Check(kEntries, reply).Lines();
    for (const std::string& line : lines) {
      EXPECT_EQ(line.find("Drucker „"), std::string::npos) << line;
      EXPECT_EQ(line.find("bietet der Server"), std::string::npos) << line;
    }
    EXPECT_EQ(lines.size(), 10u) << "the other findings stay";
  }
  const TOfferedPrinters offered = ParseOfferedPrinters(kPrinters);
  ASSERT_TRUE(offered.Known);
  ASSERT_NE(offered.Find("Etiketten"), nullptr);
  EXPECT_EQ(offered.Find("Etiketten")->Bins, std::vector<std::string>{"Rolle"});
  EXPECT_EQ(offered.Find("laser"), nullptr) << "printer names match exactly";
}

TEST(EntryCheck, ACleanListHasNoFindings) {
  EXPECT_TRUE(Check({kEntries[0], kEntries[1], kEntries[2]}, kPrinters).findings.empty());
  EXPECT_TRUE(Check({}, kPrinters).findings.empty());
}

TEST(ExternalProgram, FoundAsGivenOrOnThePath) {
  TempEnv env;
  const std::string bin = env.Dir("bin");
  WriteBytes(bin + "exporter", "#!/bin/sh\n");
  ::chmod((bin + "exporter").c_str(), 0755);
  WriteBytes(bin + "notiz.txt", "");
  ::chmod((bin + "notiz.txt").c_str(), 0644);
  env.Set("PATH", "/nirgends:" + bin);
  const std::pair<std::string, bool> cases[] = {
      {bin + "exporter", true},
      {"exporter", true},
      {bin + "notiz.txt", false},
      {"notiz.txt", false},
      {bin, false},
      {"/nirgends/x", false},
      {"", false},
      {"sh", false},
  };
  for (const auto& [program, exists] : cases) EXPECT_EQ(ExternalProgramExists(program), exists) << program;
}

}  // namespace
