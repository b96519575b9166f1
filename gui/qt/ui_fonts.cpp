// UiFont: Tahoma with the same look-alike the list rows use where it is missing.
#include "gui/qt/ui_fonts.h"

#include <QStringList>

#include "gui/qt/surface_fonts.h"

namespace wb::gui {

QFont UiFont(int pointSize, bool bold) {
  QFont font(ResolveFontFamily("Tahoma").family, pointSize);
  font.setBold(bold);
  return font;
}

void InstallFontFallbacks() {
  QFont::insertSubstitutions("Tahoma", {"Liberation Sans", "Arimo", "Noto Sans", "DejaVu Sans"});
}

}  // namespace wb::gui
