// The edge between the core's 8-bit text (the system code page) and Qt's
// strings: every conversion of the Qt front end goes through these.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace wb::gui {

QString FromAnsi(std::string_view text);
std::string ToAnsi(const QString& text);
// A German literal of the sources (u8"Öffnen") for a Qt control.
QString FromUtf8(std::u8string_view text);

}  // namespace wb::gui
