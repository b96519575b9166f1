// UiFont: Tahoma with fallbacks for systems that do not have it.
#include "gui/ui_fonts.h"

#include <QStringList>


namespace wb::gui {

QFont UiFont(int pointSize, bool bold) {
  QFont font("Tahoma", pointSize);
  font.setBold(bold);
  return font;
}

void InstallFontFallbacks() {
  QFont::insertSubstitutions("Tahoma", {"Liberation Sans", "Arimo", "Noto Sans", "DejaVu Sans"});
}

}  // namespace wb::gui
