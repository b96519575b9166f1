// The windows' fonts: Tahoma where installed, else a close sans-serif.
#pragma once

#include <QFont>

namespace wb::gui {

// Tahoma (or its fallback) at pointSize, bold or not.
QFont UiFont(int pointSize, bool bold);
// Registers the fallbacks for Tahoma with Qt's font matching; call once at start.
void InstallFontFallbacks();

}  // namespace wb::gui
