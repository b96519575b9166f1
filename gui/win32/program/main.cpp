// mehrfachausgabe.exe: the Windows program. Installs the core's hooks into the
// Win32 front end, takes its arguments from the system's Unicode command line,
// and runs the main window until it closes.
#include "app/command_line_tasks.h"
#include "app/program_info.h"
#include "app/save_file_dialog.h"
#include "app/server_link.h"
#include "app/shell_file_opener.h"
#include "client/message_boxes.h"
#include "gui/win32/main_window.h"
#include "gui/win32/message_loop.h"
#include "gui/win32/message_presenter.h"
#include "gui/win32/program_choice_dialog.h"
#include "gui/win32/save_file_presenter.h"
#include "gui/win32/ui_hooks.h"
#include "gui/win32/win32_headers.h"
#include "gui/win32/win32_text.h"
#include "opening/open_files.h"
#include "platform/ui_hooks.h"

namespace {

// The arguments as the run-time splits them, as 8-bit text.
std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* given = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (given == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(wb::win32::Narrow(given[i]));
  ::LocalFree(given);
  return arguments;
}

// A window program has no console of its own: what it says on the command line
// goes to the stream it was given (redirected into a file or a pipe), else to
// the console of the program that started it, else nowhere.
void Print(DWORD which, const std::string& ansiText) {
  HANDLE stream = ::GetStdHandle(which);
  if (stream == nullptr || stream == INVALID_HANDLE_VALUE) {
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    stream = ::GetStdHandle(which);
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE) return;
  }
  std::string text;
  for (char c : ansiText) {
    if (c == '\n') text += '\r';
    text += c;
  }
  DWORD mode = 0;
  DWORD written = 0;
  if (::GetConsoleMode(stream, &mode)) {
    const std::wstring wide = wb::win32::Wide(text);
    ::WriteConsoleW(stream, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    ::WriteFile(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
}

bool AnswerInfoRequest(const std::vector<std::string>& arguments) {
  switch (wb::InfoRequestOf(arguments)) {
    case wb::InfoRequest::Help: Print(STD_OUTPUT_HANDLE, wb::UsageText()); return true;
    case wb::InfoRequest::Version: Print(STD_OUTPUT_HANDLE, wb::VersionText()); return true;
    case wb::InfoRequest::None: return false;
  }
  return false;
}

// --export and --check run without a window; true with the exit code when
// the arguments asked for one of them (or could not be used).
bool RunWindowlessTask(const std::vector<std::string>& arguments, int& exitCode) {
  const wb::TCommandLineRequest request = wb::ParseCommandLineRequest(arguments);
  const bool windowless = request.Task == wb::CommandLineTask::Export || request.Task == wb::CommandLineTask::Check;
  if (!windowless && request.Error.empty()) return false;
  wb::PipeServerLink server;
  wb::TTaskOutput output;
  exitCode = wb::RunCommandLineTask(request, server, output);
  Print(STD_OUTPUT_HANDLE, output.Out);
  Print(STD_ERROR_HANDLE, output.Err);
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::vector<std::string> arguments = CommandLineArguments();
  if (AnswerInfoRequest(arguments)) return 0;
  if (int taskExit = 0; RunWindowlessTask(arguments, taskExit)) return taskExit;

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_LINK_CLASS};
  ::InitCommonControlsEx(&controls);

  wb::win32::Win32UiHooks hooks;
  wb::platform::SetUiHooks(&hooks);
  wb::win32::TaskDialogPresenter presenter;
  wb::MessageBoxes::SetPresenter(&presenter);
  wb::win32::SaveFilePresenter saveDialogs;
  wb::SaveFileDialogs::SetPresenter(&saveDialogs);
  wb::win32::Win32ProgramChoice programChoice;
  wb::SetProgramChoiceHook(&programChoice);

  int exitCode = 0;
  {
    wb::PipeServerLink server;
    wb::ShellFileOpener opener;
    wb::win32::MainWindow window(server, opener, arguments);
    window.Create();
    if (window.Logic().DatabaseFolder().empty()) {
      // No database: close again without showing anything (the settings are written).
      window.Logic().FormClose();
      Print(STD_ERROR_HANDLE, wb::NoServerText());
      exitCode = window.Logic().ExitCode();
    } else {
      // Start-up measurements: end as soon as the window has been painted once.
      if (::GetEnvironmentVariableW(L"WB_QUIT_WHEN_SHOWN", nullptr, 0) > 0) window.QuitWhenPainted();
      window.Show();
      exitCode = wb::win32::RunMessageLoop();
    }
    // Program starts still running finish while messages keep flowing.
    wb::ShutdownOpeningThreadPool();
  }
  wb::SetProgramChoiceHook(nullptr);
  wb::SaveFileDialogs::SetPresenter(nullptr);
  wb::MessageBoxes::SetPresenter(nullptr);
  wb::platform::SetUiHooks(nullptr);
  return exitCode;
}
