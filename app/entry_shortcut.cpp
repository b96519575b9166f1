// CreateEntryShortcut and CreateShellLink: a desktop link that runs one entry.
#include "app/entry_shortcut.h"

#include "app/live_import_frm.h"
#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "client/message_boxes.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/shell_link.h"

namespace wb {
namespace {

std::string WithoutDoubleQuotes(std::string text) {
  std::erase(text, '"');
  return text;
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    char a = text[text.size() - suffix.size() + i], b = suffix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

}  // namespace

std::string ShellLinkArgumentsText(const std::string& arguments) {
  // Quoted by the run-time's rules, so a name with double quotes or trailing
  // backslashes reaches the program as the one argument it is.
  return platform::QuoteCommandLineArgument(arguments, platform::Quoting::Always);
}

std::string ShellLinkFileName(const std::string& linkName) {
  std::string name = WithoutDoubleQuotes(linkName);
  // An entry named "Rechnung 1/2" or "../x" must not put its link into another folder.
  for (char& c : name)
    if (c == '/' || c == '\\') c = '-';
  // ":" would write into an alternate data stream of another file on NTFS, and
  // "* ? < > |" are refused there: they go as in every file name the program
  // makes (control characters too, and the name is trimmed).
  name = MakeSafeFileName(name, false);
  if (name.empty()) name = kMainCaption;
  if (!EndsWithNoCase(name, platform::kShellLinkExtension)) name += platform::kShellLinkExtension;
  return name;
}

bool CreateShellLink(const std::string& arguments, const std::string& description,
                     const std::optional<std::string>& folder, const std::string& linkName, std::string& linkPath) {
  linkPath.clear();
  platform::TShellLink link;
  link.Arguments = ShellLinkArgumentsText(arguments);
  link.ArgumentList = {arguments};
  link.ShowCommand = platform::kShowNormal;
  const std::string program = platform::GetModuleFileName();
  link.WorkingDirectory = ExtractFilePath(program);
  link.Path = program;
  link.Description = WithoutDoubleQuotes(description);
  link.IconLocation = program;
  link.IconIndex = 0;
  link.HotKey = 0;

  std::string target = folder ? *folder : GetShellFolder(platform::kCsidlDesktop);
  if (target.empty()) {
    platform::SetLastError(platform::kErrorPathNotFound);
    return false;
  }
  target = AddTrailingBackslash(target);
  linkPath = target + ShellLinkFileName(linkName);
  // A fresh account may have no desktop folder yet; the PDF folder is made there too.
  if (!DirExistsEx(target)) ForceDirs(target);
  return platform::SaveShellLink(link, linkPath);
}

std::string ShortcutDisplayName(const std::string& entryName) {
  std::string name = ShellLinkFileName(entryName);
  name.resize(name.size() - std::string(platform::kShellLinkExtension).size());
  return name;
}

std::string ShortcutCreatedMessage(const std::string& entryName) {
  return Ansi(u8"Die Verknüpfung wurde auf dem Desktop unter folgendem Namen erzeugt:\r\n") +
         ShortcutDisplayName(entryName);
}

std::string ShortcutFailedMessage(const std::string& linkPath, const std::string& reason) {
  std::string text = Ansi(u8"Die Verknüpfung konnte nicht auf dem Desktop erzeugt werden:\r\n") + linkPath;
  if (!reason.empty()) text += "\r\n" + reason;
  return text;
}

void CreateEntryShortcut(TLiveImportFrm& frm) {
  TWBCustomJSON* entry = frm.SelectedEntry();
  if (entry == nullptr) return;
  const std::string name = EntryPlainName(*entry);
  // The shortcut starts the entry by its name: without one there is nothing to start.
  if (MakeSafeFileName(WithoutDoubleQuotes(name), false).empty()) {
    MessageBoxes::ShowInfo(Ansi(kShortcutWithoutNameText));
    return;
  }
  std::string linkPath;
  bool created = false;
  {
    // Whatever happened to the link, the window comes back to the front for the message.
    struct Front {
      IMainView& view;
      ~Front() { view.BringToFront(); }
    } front{frm.View()};
    created = CreateShellLink(name, name, std::nullopt, name, linkPath);
  }
  if (created) {
    MessageBoxes::ShowInfo(ShortcutCreatedMessage(name));
  } else {
    const uint32_t error = platform::LastError();
    MessageBoxes::ShowError(ShortcutFailedMessage(linkPath, error != 0 ? platform::SystemErrorMessage(error) : ""));
  }
}

}  // namespace wb
