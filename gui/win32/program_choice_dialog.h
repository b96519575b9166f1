// The right-Ctrl program choice of the opening unit on Win32: the system's
// open-file dialog (GetOpenFileNameW) with the unit's filter.
#pragma once

#include <string>

#include "opening/program_choice.h"

namespace wb::win32 {

class Win32ProgramChoice final : public ProgramChoiceHook {
 public:
  bool ChooseProgram(const ProgramChoiceRequest& request, std::string& program) override;
  // "Ausführbare Dateien|*.exe;*.com;*.bat|Alle Dateien|*.*" as the dialog's
  // filter: the pairs separated by NUL characters, ended by two.
  static std::wstring ToDialogFilter(const std::string& filter);
};

}  // namespace wb::win32
