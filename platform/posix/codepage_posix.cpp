// The system code page on POSIX is Windows-1252 (German systems, files
// byte-identical with the Windows side).
#include "platform/codepage.h"

namespace wb::platform {

std::u16string AnsiToWide(std::string_view text) { return Cp1252ToWide(text); }
std::string WideToAnsi(std::u16string_view text) { return WideToCp1252(text); }

}  // namespace wb::platform
