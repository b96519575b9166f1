// The overview page: fixed blocks, one row per entry, sentence pieces.
#include "app/overview_page.h"

#include "app/entry_findings.h"
#include "app/live_import_frm.h"
#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "platform/find_files.h"
#include "strings/strutils.h"

namespace wb {
namespace {

constexpr const char* kCrLf = "\r\n";

// The header cells' opening tag, for the widths 25% and 35%.
std::string HeadCell(const char* width) {
  return std::string("<td width=") + width +
         " bgcolor=\"#ff9900\" style=\"border-width : 1px; border-color: #c0c0c0; border-style: solid; "
         "background-color: #ff9900;\"><font size=3 color=\"#000000\" face=\"Tahoma\">";
}

std::string RowCell(const char* width) {
  return std::string("<td width=") + width +
         " style=\"border-width : 1px; border-color: #c0c0c0; border-style: solid;\"><font size=3 "
         "color=\"#000000\" face=\"Tahoma\">";
}

// Lines each followed by CR LF: the row template and the cells' line lists.
std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + kCrLf;
  return text;
}

// Lines with CR LF between them: the head and foot blocks, whose CR LF after
// the last line is the one the file puts after every block.
std::string SeparateLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i == 0 ? "" : kCrLf) + lines[i];
  return text;
}

// One line of the page, too long for one literal in the source.
constexpr const char* kTableStart =
    "<div><table width=\"100%\" border=1 cellpadding=1 bordercolor=\"#000000\" cellspacing=3 "
    "style=\"border-width: 0px;\">";

std::string HeadBlock() {
  return SeparateLines({
      Ansi(u8"<html><head><title>Übersicht</title>"),
      "<meta http-equiv=\"refresh\" content=\"30\" >",
      "<meta http-equiv=\"Cache-control\" content=\"no-cache\">",
      "</head>",
      "<body bgcolor=\"#ffffff\" leftmargin=5 topmargin=5 rightmargin=5 bottommargin=5>",
      "<font size=3 color=\"#000000\" face=\"Tahoma\">",
      kTableStart,
      "<tr valign=top>",
      HeadCell("25%"),
      "<div><font color=\"#ffffff\"><b>Name</b></font></div>",
      "</font>",
      "</td>",
      HeadCell("35%"),
      Ansi(u8"<div><font color=\"#ffffff\"><b>Aktion wird ausgeführt, wenn:</b></font></div>"),
      "</font>",
      "</td>",
      HeadCell("35%"),
      Ansi(u8"<div><font color=\"#ffffff\"><b>Aktion führt aus:</b></font></div>"),
      "</font>",
      "</td>",
      "</tr>",
  });
}

std::string FolderBlock(const char* sentence, const std::string& folder) {
  return std::string("<font size=3 color=\"#000000\" face=\"Tahoma\">") + sentence + "<b> " + EscapeHtml(folder) +
         "</font></b><br>";
}

const std::string& RowTemplate() {
  static const std::string row = JoinLines({
      "<tr valign=top>",
      RowCell("25%"),
      "<div>[COL1]</div>",
      "</font>",
      "</td>",
      RowCell("35%"),
      "<div>[COL2]</div>",
      "</font>",
      "</td>",
      RowCell("35%"),
      "<div>[COL3]</div>",
      "</font>",
      "</td>",
      "</tr>",
  });
  return row;
}

std::string FootBlock() {
  return SeparateLines({"</table>", "</div>", "</font>         ", "</body></html>            "});
}

// The sentence pieces; the colour tags lack their ">" and are written so.
namespace piece {
const char* const kSwitchedOff = "<br><font color=#ff3300 </font>Dieser Eintrag wird nicht benutzt ";
const char* const kNoLayout =
    "<font color=#ff3300 </font>Es wurde kein Layout festgelegt</b><br><font color=#000000 </font>";

std::string DocumentType(const std::string& v) {
  return "- Wenn Dokument vom Typ <b>" + EscapeHtml(v) + "</b> ist<br>";
}
std::string LayoutInUse(const std::string& v) {
  return "- Wenn Dokument dieses Layout verwendet: <b>" + EscapeHtml(v) + "</b><br>";
}
std::string MissingLayout(const std::string& v) {
  return "<font color=#ff3300 </font>Warnung: Das Layout <b>" + EscapeHtml(v) +
         "</b> wurde nicht gefunden<font color=#000000 </font><br>";
}
std::string OutputChannel(const std::string& v) { return "- Wenn das Ziel <b>" + EscapeHtml(v) + "</b> ist"; }
std::string Destination(const std::string& v) { return "Das Ziel ist <b>" + EscapeHtml(v) + "</b><br>"; }
std::string LayoutUsed(const std::string& v) {
  return Ansi(u8"Folgendes Layout wird dafür verwendet: <b>") + EscapeHtml(v) + "</b><br>";
}
std::string PrintedAreas(const std::string& v) {
  return "Es wird in folgende Bereiche gedruckt: <b>" + EscapeHtml(v) + "</b><br>";
}
std::string Printer(const std::string& v) { return "Als Drucker wird <b>" + EscapeHtml(v) + "</b> verwendet<br>"; }
std::string PaperBin(const std::string& v) {
  return "Es wird aus dem Schacht <b>" + EscapeHtml(v) + "</b> gedruckt<br>";
}
std::string CheckWarning(const std::string& v) {
  return "<font color=#ff3300 </font>Warnung: " + EscapeHtml(v) + "<font color=#000000 </font><br>";
}
std::string ExternalProgram(const std::string& v) {
  return "Es wird folgendes Programm aufgerufen: <b><br>" + EscapeHtml(v) + "</b><br>";
}
}  // namespace piece

std::string NameColumn(const TWBCustomJSON& entry) {
  std::string column = EscapeHtml(EntryPlainName(entry));
  if (EntryForbidden(entry)) column += piece::kSwitchedOff;
  return column;
}

std::string ConditionColumn(const TWBCustomJSON& entry, const TOverviewSource& source) {
  std::vector<std::string> lines;
  const std::string type = entry.StringByName(entry_keys::FilterPOT);
  if (!type.empty()) lines.push_back(piece::DocumentType(type));
  const std::string layout = entry.StringByName(entry_keys::FilterLayoutName);
  if (!layout.empty()) {
    lines.push_back(piece::LayoutInUse(layout));
    if (!source.LayoutExists(layout)) lines.push_back(piece::MissingLayout(layout));
  }
  lines.push_back(piece::OutputChannel(entry.StringByName(entry_keys::FilterOutput)));
  return JoinLines(lines);
}

std::vector<std::string> ActionLines(const TWBCustomJSON& entry, const TOverviewSource& source);

std::string ActionColumn(const TWBCustomJSON& entry, const TOverviewSource& source) {
  std::vector<std::string> lines = ActionLines(entry, source);
  for (const TEntryFinding* finding : FindingsOf(source.Findings, &entry))
    if (finding->Kind != FindingKind::MissingLayout) lines.push_back(piece::CheckWarning(finding->Text));
  return JoinLines(lines);
}

std::vector<std::string> ActionLines(const TWBCustomJSON& entry, const TOverviewSource& source) {
  std::vector<std::string> lines;
  const std::string destination = entry.StringByName(entry_keys::Destination);
  lines.push_back(piece::Destination(destination));
  if (destination == "Extern") {
    lines.push_back(piece::ExternalProgram(entry.StringByName(entry_keys::ServerExeName)));
    return lines;
  }
  const std::string layout = entry.StringByName(entry_keys::SuperLayoutname);
  if (!layout.empty()) {
    lines.push_back(piece::LayoutUsed(layout));
    if (!source.LayoutExists(layout)) lines.push_back(piece::MissingLayout(layout));
  } else {
    lines.push_back(piece::kNoLayout);
  }
  lines.push_back(piece::PrintedAreas(entry.StringByName(entry_keys::LabelPrinter)));
  if (destination != "pdf") {
    const std::string printer = entry.StringByName(entry_keys::Defaultprinter);
    if (!printer.empty()) lines.push_back(piece::Printer(printer));
    const std::string bin = entry.StringByName(entry_keys::DefaultprinterBinName);
    if (!bin.empty()) lines.push_back(piece::PaperBin(bin));
  }
  return lines;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (LowerAscii(text[at + i]) != LowerAscii(word[i])) return false;
  return true;
}

// One pass over the template: each placeholder is replaced by its value, and
// a value is never searched again, so a name holding "[COL3]" stays as typed.
std::string FillPlaceholders(std::string_view text, const std::vector<std::pair<std::string, std::string>>& values) {
  std::string result;
  for (size_t at = 0; at < text.size();) {
    bool replaced = false;
    for (const auto& [placeholder, value] : values) {
      if (StartsWithNoCase(text, at, placeholder)) {
        result += value;
        at += placeholder.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) result += text[at++];
  }
  return result;
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c; break;
    }
  }
  return escaped;
}

void BuildOverviewPage(const TOverviewSource& source, TStringList& blocks) {
  blocks.Clear();
  blocks.Add(HeadBlock());
  blocks.Add(FolderBlock("Die Datenbank liegt hier:", source.DatabaseFolder));
  blocks.Add(FolderBlock("Werkbank ist hier installiert:", source.ApplicationFolder));
  for (const TWBCustomJSON* entry : source.Entries) {
    if (entry == nullptr) continue;
    blocks.Add(FillPlaceholders(RowTemplate(), {{"[COL1]", NameColumn(*entry)},
                                                {"[COL2]", ConditionColumn(*entry, source)},
                                                {"[COL3]", ActionColumn(*entry, source)}}));
  }
  blocks.Add(FootBlock());
}

bool LayoutFileExists(const std::string& databaseFolder, const std::string& layoutName) {
  const std::string fileName = layoutName + kLayoutFileSuffix;
  if (FileExistsEx(databaseFolder + fileName)) return true;
  // A name that is no plain file name cannot be matched against a listing.
  if (fileName.find_first_of("*?/\\") != std::string::npos) return false;
  std::unique_ptr<platform::FindHandle> listing = platform::FindFirstFile(databaseFolder + "*");
  if (!listing) return false;
  do {
    if ((listing->Attributes(platform::kFileAttributeDirectory) & platform::kFileAttributeDirectory) == 0 &&
        platform::MatchesFileMask(listing->Name(), fileName))
      return true;
  } while (listing->Next());
  return false;
}

std::string OverviewFilePath(const std::string& databaseFolder) {
  return GetClientTempDir("") + MakeSafeFileName(databaseFolder, false) + ".html";
}

void WriteOverviewPage(TLiveImportFrm& frm, bool openAfterwards) {
  TOverviewSource source;
  source.DatabaseFolder = frm.DatabaseFolder();
  source.ApplicationFolder = frm.ApplicationFolder();
  for (int i = 0; i < frm.Lines().Count(); ++i)
    source.Entries.push_back(static_cast<const TWBCustomJSON*>(frm.Lines().GetObject(i)));
  const std::string folder = frm.DatabaseFolder();
  source.LayoutExists = [&folder](const std::string& name) { return LayoutFileExists(folder, name); };
  source.Findings = CheckListedEntries(folder, source.Entries, frm.Server());

  TStringList blocks;
  BuildOverviewPage(source, blocks);
  const std::string path = OverviewFilePath(frm.DatabaseFolder());
  frm.OverviewFile() = path;
  SaveListRetry(blocks, path);
  if (openAfterwards) frm.Opener().OpenWithProgram(path);
}

}  // namespace wb
