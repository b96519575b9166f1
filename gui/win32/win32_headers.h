// <windows.h> and the common controls for the Win32 front end, in one place:
// the front end is a Unicode program (the W functions), the core's 8-bit text
// is converted at the control's edge (win32_text.h).
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
