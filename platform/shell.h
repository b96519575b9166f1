// The desktop's shell services: open a document with its program, find the
// program associated with a file, show a file selected in its folder, and start
// a program with a file. Paths and texts are 8-bit text in the system code page.
//
// Windows: ShellExecuteA, FindExecutableA, SHOpenFolderAndSelectItems and
// CreateProcessA. POSIX: xdg-open, the MIME association (xdg-mime and the
// .desktop file's Exec program), the file manager's D-Bus ShowItems and
// posix_spawnp. No shell ever parses a command line: every file name travels as
// one argument of its own.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace wb::platform {

// MAX_PATH: the size of FindExecutable's result buffer.
inline constexpr size_t kMaxPath = 260;

// FindExecutableA's answers of 32 and below mean "no program"; these two are
// the ones the POSIX backend gives.
inline constexpr intptr_t kSeErrFileNotFound = 2;
inline constexpr intptr_t kSeErrNoAssociation = 31;

// ShellExecuteA(GetForegroundWindow(), verb, "\"file\"", nullptr, nullptr,
// SW_SHOWDEFAULT). True when the shell took the request; does not wait for the
// program. POSIX: xdg-open with the target as its only argument; only the verb
// "open" (or none) exists there; "www." and "ftp." targets become http:// and
// ftp:// URLs, as the Windows shell reads them.
bool ShellExecuteFile(const std::string& verb, const std::string& file);

// FindExecutableA(file, nullptr, result): the program associated with an existing
// file. The result buffer is filled as the Windows call fills it (NUL-terminated,
// at most kMaxPath - 1 bytes); a return value above 32 means found.
intptr_t FindExecutable(const std::string& file, std::array<char, kMaxPath>& result);

// ILCreateFromPathA + SHOpenFolderAndSelectItems: true when the shell accepted
// the request to show the file selected in its folder; false (nothing shown) when
// the path does not exist. Runs on, and may block, the calling thread briefly.
bool ShowItemInFolder(const std::string& path);

// CreateProcessA with the command line  program "file" : starts the program
// with the file as its argument and does not wait for it. True when it started.
bool StartProgramWithFile(const std::string& program, const std::string& file);

}  // namespace wb::platform
