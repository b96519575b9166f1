// The command-line tasks for scripts and scheduled jobs, done without a window:
//   --export DATEI [NAME|UID …] [--force]   entries into a file of their own
//   --check                                 the entry check, one line per finding
// and the one done by the window, --preview NAME|UID (a print entry as a PDF).
// Each front end parses the arguments first and runs the windowless tasks
// before its toolkit starts; texts are 8-bit and German, for the front end to
// print on its standard streams.
#pragma once

#include <string>
#include <vector>

#include "app/server_link.h"

namespace wb {

enum class CommandLineTask { None, Export, Check, Preview };

struct TCommandLineRequest {
  CommandLineTask Task = CommandLineTask::None;
  std::string ExportFile;
  std::vector<std::string> Names;  // --export: the entries named (none: all); --preview: the one entry
  bool Force = false;              // --export: an existing file is replaced
  std::string Error;               // set when the arguments cannot be used (German, one line)
};

// Exit codes of the tasks.
inline constexpr int kExitDone = 0;      // written / no findings
inline constexpr int kExitFindings = 1;  // --check found something; --export could not write
inline constexpr int kExitUnusable = 2;  // wrong arguments, no server, unreadable entries file

// Reads the arguments (after the program's name). Task None: the arguments
// are the window's (an entry to run, a file to import, or none).
TCommandLineRequest ParseCommandLineRequest(const std::vector<std::string>& arguments);

// What a windowless task prints, 8-bit text: Out for standard output (the
// findings, the export's confirmation), Err for standard error (why it failed).
struct TTaskOutput {
  std::string Out;
  std::string Err;
};

// Runs --export or --check against the server (discovery first, then its
// database folder); returns the exit code.
int RunCommandLineTask(const TCommandLineRequest& request, IServerLink& server, TTaskOutput& output);

}  // namespace wb
