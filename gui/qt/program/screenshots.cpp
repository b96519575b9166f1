// wb-screenshots: renders the main window and the entry editor, as a user sees
// them against a running server (the demo's), into PNG files for the
// documentation. Started by wbk-localserver --launch (scripts/demo
// --screenshots), so it finds its server like the program does.
//   wb-screenshots FOLDER [ENTRY-NAME]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <cstdio>

#include "app/edit_entry.h"
#include "app/server_link.h"
#include "app/shell_file_opener.h"
#include "entries/entry_fields.h"
#include "gui/qt/main_window.h"
#include "gui/qt/message_presenter.h"
#include "gui/qt/qt_ui_hooks.h"
#include "gui/qt/setup_dialog.h"
#include "gui/qt/ui_fonts.h"
#include "platform/codepage.h"
#include "platform/ui_hooks.h"

namespace {

// Lets the window system map and paint what was shown.
void Settle(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget& widget, const QString& path) {
  if (widget.grab().save(path)) {
    std::printf("%s\n", path.toLocal8Bit().constData());
    return true;
  }
  std::fprintf(stderr, "wb-screenshots: %s cannot be written\n", path.toLocal8Bit().constData());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: wb-screenshots FOLDER [ENTRY-NAME]\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const std::string entryName = argc > 2 ? wb::platform::Utf8ToAnsi(argv[2]) : std::string("Lieferschein Kunde");
  QDir().mkpath(folder);
  wb::gui::InstallFontFallbacks();
  wb::gui::QtUiHooks hooks;
  wb::platform::SetUiHooks(&hooks);
  wb::gui::QtMessagePresenter presenter;
  wb::MessageBoxes::SetPresenter(&presenter);

  int exitCode = 0;
  {
    wb::PipeServerLink server;
    wb::ShellFileOpener opener;
    wb::gui::MainWindow window(server, opener, {});
    window.Create();
    if (window.Logic().DatabaseFolder().empty()) {
      std::fprintf(stderr, "wb-screenshots: no server answers with a database folder\n");
      return 1;
    }
    wb::TLiveImportFrm& frm = window.Logic();
    for (int i = 0; i < frm.Lines().Count(); ++i) {
      auto* entry = static_cast<wb::TWBCustomJSON*>(frm.Lines().GetObject(i));
      if (entry && wb::EntryPlainName(*entry) == entryName) window.SelectIndex(i);
    }
    window.show();
    Settle(800);
    if (!Save(window, folder + "/main-window.png")) exitCode = 1;

    // The editor as "Eigenschaften" opens it (read-only), then with "Vorhandenen
    // Eintrag ändern" chosen.
    wb::gui::SetupDialog dialog(wb::SetupServicesOf(frm), &window);
    if (wb::TWBCustomJSON* entry = frm.SelectedEntry()) dialog.Form().LoadFromEntry(*entry);
    dialog.Form().SetEntriesFilePath(frm.EntriesFilePath());
    dialog.Form().FillActions();
    dialog.show();
    Settle(500);
    if (!Save(dialog, folder + "/editor-read-only.png")) exitCode = 1;
    dialog.ActionBox()->setCurrentIndex(wb::kActionChange);
    dialog.NameEdit()->setFocus();
    dialog.NameEdit()->end(false);
    Settle(300);
    if (!Save(dialog, folder + "/editor.png")) exitCode = 1;
    dialog.close();
    window.close();
  }
  wb::MessageBoxes::SetPresenter(nullptr);
  wb::platform::SetUiHooks(nullptr);
  return exitCode;
}
