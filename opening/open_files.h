// Handing documents to the programs that show them without blocking the window:
// open with the system's association, open with the program chosen per file
// type, or show the file selected in its folder. Program starts run on the
// process-wide worker pool (one to five threads).
#pragma once

#include <string>

#include "ipc/worker_thread_pool.h"
#include "opening/associated_programs.h"
#include "opening/opening_rules.h"
#include "opening/program_choice.h"
#include "opening/program_map.h"
#include "opening/shell_thread_job.h"

namespace wb {

inline constexpr int kOpeningPoolMinThreads = 1;
inline constexpr int kOpeningPoolMaxThreads = 5;

// The process-wide pool for program starts, created at first use.
TWorkerThreadPool& OpeningThreadPool();
// Shuts the pool down (queued starts are dropped, running ones awaited with
// the window's events flowing). The program calls it before its window goes;
// otherwise it happens when the process ends.
void ShutdownOpeningThreadPool();

// Opens the file with the shell verb (in practice "open") on a worker thread;
// returns at once.
void ShellOpenAsync(const std::string& verb, const std::string& file);

// Opens the file with the program chosen for its type (see ResolveProgram) on a
// worker thread; returns at once. Nothing is opened when the user cancelled the
// program choice. Errors of the mapping file pass to the caller.
void OpenWithProgram(const std::string& verb, const std::string& file, bool ask);

// Shows the file selected in a file-manager window, on the calling thread. True
// when the desktop accepted the request.
bool ShowInFolder(const std::string& file);

}  // namespace wb
