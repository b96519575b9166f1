// mehrfachausgabe: the program. Sets up Qt with the German texts, installs the
// core's hooks into the gui, and runs the main window until it closes.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

#include "app/command_line_tasks.h"
#include "app/program_info.h"
#include "app/server_link.h"
#include "app/shell_file_opener.h"
#include "client/message_boxes.h"
#include "gui/qt/ansi_text.h"
#include "gui/qt/font_setup.h"
#include "gui/qt/main_window.h"
#include "gui/qt/message_presenter.h"
#include "gui/qt/program_choice_dialog.h"
#include "gui/qt/qt_ui_hooks.h"
#include "gui/qt/save_file_presenter.h"
#include "gui/qt/ui_fonts.h"
#include "opening/open_files.h"
#include "platform/codepage.h"
#include "platform/ui_hooks.h"

namespace {

void Print(std::FILE* stream, const std::string& ansiText) {
  std::fputs(wb::platform::AnsiToUtf8(ansiText).c_str(), stream);
  std::fflush(stream);
}

// --help and --version answer before the toolkit starts, so they work
// without a display too.
bool AnswerInfoRequest(int argc, char** argv) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  switch (wb::InfoRequestOf(arguments)) {
    case wb::InfoRequest::Help: Print(stdout, wb::UsageText()); return true;
    case wb::InfoRequest::Version: Print(stdout, wb::VersionText()); return true;
    case wb::InfoRequest::None: return false;
  }
  return false;
}

// The arguments as 8-bit text, before the toolkit is there to decode them
// (UTF-8 here, already the ANSI code page on Windows).
std::vector<std::string> AnsiArguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
#ifdef _WIN32
    arguments.emplace_back(argv[i]);
#else
    arguments.push_back(wb::platform::Utf8ToAnsi(argv[i]));
#endif
  }
  return arguments;
}

// --export and --check run without a window; true with the exit code when
// the arguments asked for one of them (or could not be used).
bool RunWindowlessTask(int argc, char** argv, int& exitCode) {
  const wb::TCommandLineRequest request = wb::ParseCommandLineRequest(AnsiArguments(argc, argv));
  const bool windowless = request.Task == wb::CommandLineTask::Export || request.Task == wb::CommandLineTask::Check;
  if (!windowless && request.Error.empty()) return false;
  wb::PipeServerLink server;
  wb::TTaskOutput output;
  exitCode = wb::RunCommandLineTask(request, server, output);
  Print(stdout, output.Out);
  Print(stderr, output.Err);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswerInfoRequest(argc, argv)) return 0;
  if (int taskExit = 0; RunWindowlessTask(argc, argv, taskExit)) return taskExit;
  // The font configuration is read while the toolkit starts and the window
  // logic talks to the server.
  wb::gui::BackgroundFontSetUp fonts;
  QApplication app(argc, argv);
  QApplication::setApplicationName("mehrfachausgabe");
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(QLocale::German), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexts);
  wb::gui::InstallFontFallbacks();

  wb::gui::QtUiHooks hooks;
  wb::platform::SetUiHooks(&hooks);
  wb::gui::QtMessagePresenter presenter;
  wb::MessageBoxes::SetPresenter(&presenter);
  wb::gui::QtSaveFilePresenter saveDialogs;
  wb::SaveFileDialogs::SetPresenter(&saveDialogs);
  wb::gui::QtProgramChoice programChoice;
  wb::SetProgramChoiceHook(&programChoice);

  // The command line as 8-bit text; the first argument names an entry or a file.
  // Qt's list is decoded from the system's own command line (UTF-16 on Windows,
  // where argv is already in the ANSI code page, UTF-8 elsewhere).
  std::vector<std::string> arguments;
  const QStringList given = QCoreApplication::arguments();
  for (qsizetype i = 1; i < given.size(); ++i) arguments.push_back(wb::gui::ToAnsi(given[i]));

  int exitCode = 0;
  {
    wb::PipeServerLink server;
    wb::ShellFileOpener opener;
    wb::gui::MainWindow window(server, opener, arguments);
    window.Create();
    if (window.Logic().DatabaseFolder().empty()) {
      // No database: close again without showing anything (the settings are
      // written); only a terminal learns why.
      Print(stderr, wb::NoServerText());
      window.close();
      exitCode = window.Logic().ExitCode();
    } else {
      // Start-up measurements: end as soon as the window has been painted once.
      if (qEnvironmentVariableIsSet("WB_QUIT_WHEN_SHOWN"))
        QObject::connect(&window, &wb::gui::MainWindow::firstPainted, qApp, &QApplication::quit, Qt::QueuedConnection);
      window.show();
      exitCode = QApplication::exec();
    }
    // Program starts still running finish while the event loop keeps going.
    wb::ShutdownOpeningThreadPool();
  }
  wb::SetProgramChoiceHook(nullptr);
  wb::SaveFileDialogs::SetPresenter(nullptr);
  wb::MessageBoxes::SetPresenter(nullptr);
  wb::platform::SetUiHooks(nullptr);
  // The toolkit's end frees the font configuration; a start that ended before
  // any font was asked for may still be reading it on the second thread.
  wb::gui::WaitForFontSetUp();
  return exitCode;
}
