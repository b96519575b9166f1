// Which program opens a document: the per-machine mapping file "OpenFileEx.txt"
// in the client folder (extension=program lines), else the program the system
// associates with the file; with the right Ctrl key held the user picks one.
#pragma once

#include <string>

namespace wb {

inline constexpr const char* kProgramMapFileName = "OpenFileEx.txt";
// The mapping file's earlier home, a folder beside the program's executable.
inline constexpr const char* kLegacyProgramMapFolder = "PLUGINS";

// The mapping file's path in the client folder. A mapping file still in the old
// folder is first copied over (replacing the one in the client folder) and, once
// the copy has succeeded, deleted there; a failed copy is tried again next time.
std::string ProgramMapPath();

// The program the system associates with an existing file, or "" when none.
std::string FindAssociatedProgram(const std::string& file);

struct TResolvedProgram {
  std::string Program;     // "" lets the shell open the file
  bool Cancelled = false;  // the user cancelled the program choice: open nothing
};

// The program for a file: nothing for web and mail targets; else the mapping
// file's entry for the file's extension (names compared without regard to
// case), else the associated program. With ask set and the right Ctrl key held,
// the user picks a program, which is stored for the extension. Errors of the
// mapping file pass to the caller.
TResolvedProgram ResolveProgram(const std::string& file, bool ask);

}  // namespace wb
