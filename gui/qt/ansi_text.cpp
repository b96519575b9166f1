// Conversions between the core's 8-bit text and QString, through UTF-8.
#include "gui/qt/ansi_text.h"

#include "platform/codepage.h"

namespace wb::gui {

QString FromAnsi(std::string_view text) { return QString::fromStdString(platform::AnsiToUtf8(text)); }

std::string ToAnsi(const QString& text) { return platform::Utf8ToAnsi(text.toStdString()); }

QString FromUtf8(std::u8string_view text) {
  const std::string_view bytes = platform::Utf8Bytes(text);
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace wb::gui
