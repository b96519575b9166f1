// The windowless tasks --export and --check.
#include "app/command_line_tasks.h"

#include <algorithm>
#include <memory>

#include "app/entry_findings.h"
#include "app/program_info.h"
#include "entries/entries_export.h"
#include "entries/entries_file.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "platform/errors.h"

namespace wb {
namespace {

constexpr const char* kProgramPrefix = "mehrfachausgabe: ";

struct TaskOption {
  const char* name;
  CommandLineTask task;
};
constexpr TaskOption kTaskOptions[] = {{"--export", CommandLineTask::Export},
                                       {"--check", CommandLineTask::Check},
                                       {"--preview", CommandLineTask::Preview}};

TCommandLineRequest Unusable(TCommandLineRequest request, const char* text) {
  request.Error = text;
  return request;
}

// The entries as the file holds them; nullptr with the reason in err.
std::unique_ptr<TWBJSON> LoadStoredEntries(const std::string& databaseFolder, TTaskOutput& output) {
  const std::string path = EntriesFilePath(databaseFolder);
  std::unique_ptr<TWBJSON> document = LoadEntriesDocument(path);
  if (!document || EntryItems(document.get()) == nullptr)
    output.Err +=
        kProgramPrefix + FormatMessageText(Ansi(u8"Die Einträge in „%s“ können nicht gelesen werden.\n"), path);
  return document && EntryItems(document.get()) ? std::move(document) : nullptr;
}

// The first entry in list order named or identified by the text, as the direct start finds it.
const TWBCustomJSON* FindNamed(const std::vector<const TWBCustomJSON*>& listed, const std::string& text) {
  for (const TWBCustomJSON* entry : listed) {
    const std::string name = EntryPlainName(*entry);
    const std::string uid = entry->StringByName(entry_keys::UID);
    if ((!name.empty() && name == text) || (!uid.empty() && uid == text)) return entry;
  }
  return nullptr;
}

int Export(const TCommandLineRequest& request, const std::string& databaseFolder, TTaskOutput& output) {
  std::unique_ptr<TWBJSON> document = LoadStoredEntries(databaseFolder, output);
  if (!document) return kExitUnusable;
  std::vector<const TWBCustomJSON*> entries;
  if (request.Names.empty()) {
    // All entries, in the order the file holds them.
    TWBSONList* items = EntryItems(document.get());
    for (int32_t i = 0; i < items->ChildCount(); ++i)
      if (JSONAs<TWBJSON>(items->ChildAt(i)) != nullptr) entries.push_back(items->ChildAt(i));
  } else {
    TStringList lines;
    BuildEntryLines(*document, lines);
    const std::vector<const TWBCustomJSON*> listed = ListedEntries(lines);
    for (const std::string& name : request.Names) {
      const TWBCustomJSON* entry = FindNamed(listed, name);
      if (entry == nullptr) {
        output.Err +=
            kProgramPrefix +
            FormatMessageText(Ansi(u8"Kein Eintrag heißt „%s“ oder hat diese UID; nichts wurde exportiert.\n"), name);
        return kExitFindings;
      }
      if (std::find(entries.begin(), entries.end(), entry) == entries.end()) entries.push_back(entry);
    }
  }
  try {
    WriteEntriesExport(entries, request.ExportFile, request.Force);
  } catch (const EExportTargetExists& exists) {
    output.Err += kProgramPrefix + std::string(exists.what()) + " Mit --force wird sie ersetzt.\n";
    return kExitFindings;
  } catch (const Exception& error) {
    output.Err += kProgramPrefix + Ansi(u8"Die Einträge wurden nicht exportiert: ") + error.what() + "\n";
    return kExitFindings;
  }
  output.Out += std::to_string(entries.size()) +
                FormatMessageText(Ansi(entries.size() == 1 ? u8" Eintrag nach „%s“ exportiert.\n"
                                                           : u8" Einträge nach „%s“ exportiert.\n"),
                                  request.ExportFile);
  return kExitDone;
}

int Check(const std::string& databaseFolder, IServerLink& server, TTaskOutput& output) {
  std::unique_ptr<TWBJSON> document = LoadStoredEntries(databaseFolder, output);
  if (!document) return kExitUnusable;
  TStringList lines;
  BuildEntryLines(*document, lines);
  const std::vector<TEntryFinding> findings = CheckListedEntries(databaseFolder, ListedEntries(lines), server);
  for (const TEntryFinding& finding : findings)
    output.Out += FindingEntryLabel(*finding.Entry) + ": " + finding.Text + "\n";
  return findings.empty() ? kExitDone : kExitFindings;
}

}  // namespace

TCommandLineRequest ParseCommandLineRequest(const std::vector<std::string>& arguments) {
  TCommandLineRequest request;
  if (arguments.empty()) return request;
  const auto option = std::find_if(std::begin(kTaskOptions), std::end(kTaskOptions),
                                   [&](const TaskOption& known) { return arguments[0] == known.name; });
  if (option == std::end(kTaskOptions)) return request;
  request.Task = option->task;
  std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  switch (request.Task) {
    case CommandLineTask::Export:
      if (rest.empty() || rest[0].empty() || rest[0] == "--force")
        return Unusable(request, "--export braucht den Namen der Datei, in die exportiert wird (mehr mit --help).");
      request.ExportFile = rest[0];
      for (size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] == "--force") request.Force = true;
        else request.Names.push_back(rest[i]);
      }
      return request;
    case CommandLineTask::Check:
      if (!rest.empty()) return Unusable(request, "--check nimmt keine weiteren Argumente (mehr mit --help).");
      return request;
    case CommandLineTask::Preview:
      if (rest.size() != 1 || rest[0].empty())
        return Unusable(request, "--preview braucht genau einen Namen oder eine UID eines Eintrags (mehr mit --help).");
      request.Names = rest;
      return request;
    case CommandLineTask::None: break;
  }
  return request;
}

int RunCommandLineTask(const TCommandLineRequest& request, IServerLink& server, TTaskOutput& output) {
  if (!request.Error.empty()) {
    output.Err += kProgramPrefix + request.Error + "\n";
    return kExitUnusable;
  }
  if (request.Task != CommandLineTask::Export && request.Task != CommandLineTask::Check) return kExitUnusable;
  server.Detect();
  const std::string databaseFolder = server.Read("DBPATH");
  if (databaseFolder.empty()) {
    output.Err += NoServerText();
    return kExitUnusable;
  }
  return request.Task == CommandLineTask::Export ? Export(request, databaseFolder, output)
                                                 : Check(databaseFolder, server, output);
}

}  // namespace wb
