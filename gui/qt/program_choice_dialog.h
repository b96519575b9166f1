// The right-Ctrl program choice of the opening unit: an open-file dialog.
#pragma once

#include <QString>

#include "opening/program_choice.h"

namespace wb::gui {

class QtProgramChoice final : public ProgramChoiceHook {
 public:
  bool ChooseProgram(const ProgramChoiceRequest& request, std::string& program) override;
  // "Ausführbare Dateien|*.exe;*.com;*.bat|Alle Dateien|*.*" as a Qt filter.
  static QString ToQtFilter(const std::string& filter);
};

}  // namespace wb::gui
