// QtProgramChoice: pick the program for a file type in an open-file dialog.
#include "gui/qt/program_choice_dialog.h"
#include "gui/qt/ansi_text.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

#include "platform/codepage.h"

namespace wb::gui {
namespace {}  // namespace

QString QtProgramChoice::ToQtFilter(const std::string& filter) {
  // "Name|*.a;*.b|Name2|*.*" -> "Name (*.a *.b);;Name2 (*)"
  QStringList parts = FromAnsi(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    if (patterns == "*.*") patterns = "*";
    filters << QString("%1 (%2)").arg(parts[i], patterns);
  }
  return filters.join(";;");
}

bool QtProgramChoice::ChooseProgram(const ProgramChoiceRequest& request, std::string& program) {
  QString start = request.FileName.empty() ? FromAnsi(request.InitialDir) : FromAnsi(request.FileName);
  QString chosen = QFileDialog::getOpenFileName(QApplication::activeWindow(), "Programm ausw\u00e4hlen", start,
                                                ToQtFilter(request.Filter));
  if (chosen.isEmpty()) return false;
  program = ToAnsi(chosen);
  return true;
}

}  // namespace wb::gui
