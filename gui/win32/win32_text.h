// Text at the edge between the core (8-bit text in the system code page) and
// the system's Unicode window functions.
#pragma once

#include <string>
#include <string_view>

#include "gui/win32/win32_headers.h"

namespace wb::win32 {

std::wstring Wide(std::string_view ansi);
std::string Narrow(std::wstring_view wide);
// A German literal of the sources (u8"Öffnen") as the system's wide text.
std::wstring WideUtf8(std::u8string_view utf8);

}  // namespace wb::win32
