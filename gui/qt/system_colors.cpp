// System colour numbers mapped onto the roles of the application's palette.
#include "gui/qt/system_colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace wb::gui {
namespace {

struct PaletteRole {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// Indexed by the system colour number (kColorScrollBar … kColorInfoBk).
constexpr std::array<PaletteRole, kSystemColorCount> kRoles{{
    {QPalette::Active, QPalette::Mid},                // scroll bar
    {QPalette::Active, QPalette::Dark},               // desktop background
    {QPalette::Active, QPalette::Highlight},          // active caption
    {QPalette::Inactive, QPalette::Mid},              // inactive caption
    {QPalette::Active, QPalette::Window},             // menu
    {QPalette::Active, QPalette::Base},               // window
    {QPalette::Active, QPalette::Shadow},             // window frame
    {QPalette::Active, QPalette::WindowText},         // menu text
    {QPalette::Active, QPalette::Text},               // window text
    {QPalette::Active, QPalette::HighlightedText},    // caption text
    {QPalette::Active, QPalette::Window},             // active border
    {QPalette::Inactive, QPalette::Window},           // inactive border
    {QPalette::Active, QPalette::Mid},                // application workspace
    {QPalette::Active, QPalette::Highlight},          // highlight
    {QPalette::Active, QPalette::HighlightedText},    // highlighted text
    {QPalette::Active, QPalette::Button},             // button face
    {QPalette::Active, QPalette::Dark},               // button shadow
    {QPalette::Disabled, QPalette::Text},             // grey text
    {QPalette::Active, QPalette::ButtonText},         // button text
    {QPalette::Inactive, QPalette::PlaceholderText},  // inactive caption text
    {QPalette::Active, QPalette::Light},              // button highlight
    {QPalette::Active, QPalette::Shadow},             // 3D dark shadow
    {QPalette::Active, QPalette::Midlight},           // 3D light
    {QPalette::Active, QPalette::ToolTipText},        // tooltip text
    {QPalette::Active, QPalette::ToolTipBase},        // tooltip background
}};

}  // namespace

TColor PaletteSystemColor(int index) {
  if (index < 0 || index >= kSystemColorCount) return clBlack;
  const PaletteRole& entry = kRoles[static_cast<std::size_t>(index)];
  return FromQColor(QGuiApplication::palette().color(entry.group, entry.role));
}

}  // namespace wb::gui
