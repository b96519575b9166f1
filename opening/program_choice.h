// The seam through which the user picks a program for a file type (right Ctrl
// held while a document is opened). The gui installs a hook that shows its
// open-file dialog; without one nothing is chosen, as if the user cancelled.
#pragma once

#include <string>

namespace wb {

// The open-file dialog's filter, "description|patterns" pairs separated by "|".
std::string ProgramChoiceFilter();  // "Ausführbare Dateien|*.exe;*.com;*.bat|Alle Dateien|*.*"

struct ProgramChoiceRequest {
  std::string Filter;      // ProgramChoiceFilter()
  std::string FileName;    // preset: the program the system associates with the file
  std::string InitialDir;  // where the dialog starts when FileName is empty
};

class ProgramChoiceHook {
 public:
  virtual ~ProgramChoiceHook() = default;
  // Shows the open-file dialog. True with the chosen program's path when the
  // user confirmed; false when cancelled. The default chooses nothing.
  virtual bool ChooseProgram(const ProgramChoiceRequest& request, std::string& program);
};

// The hook in force (never nullptr). The object stays owned by the caller of
// SetProgramChoiceHook and must outlive its installation; nullptr restores the default.
ProgramChoiceHook& GetProgramChoiceHook();
void SetProgramChoiceHook(ProgramChoiceHook* hook);

}  // namespace wb
