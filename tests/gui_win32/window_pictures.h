// Pictures of another program's windows, for the documentation: the client
// area of a window as the system shows it, written as a PNG file.
#pragma once

#include <string>

#include "gui/win32/win32_headers.h"

namespace wb::test {

// False when the picture could not be taken or written.
bool SaveClientAreaPng(HWND window, const std::string& path);

}  // namespace wb::test
