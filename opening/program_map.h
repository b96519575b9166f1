// Which program opens a document: the per-machine mapping file "OpenFileEx.txt"
// in the client folder (extension=program lines), else the program the system
// associates with the file; with the right Ctrl key held the user picks one.
#pragma once

#include <string>

namespace wb {

inline constexpr const char* kProgramMapFileName = "OpenFileEx.txt";
// The mapping file's earlier home, a folder beside the program's executable.
inline constexpr const char* kLegacyProgramMapFolder = "PLUGINS";

// The mapping file's path in the client folder. While there is none, a mapping
// file still in the old folder is copied there and, once the copy has
// succeeded, deleted in the old folder; a failed copy is tried again next time.
// An existing file in the client folder is never replaced by the old one.
std::string ProgramMapPath();

// The program the system associates with an existing file, or "" when none.
std::string FindAssociatedProgram(const std::string& file);

struct TResolvedProgram {
  std::string Program;     // "" lets the shell open the file
  bool Cancelled = false;  // the user cancelled the program choice: open nothing
  // The program is the one associated with the file, which was not known yet:
  // the job that opens the file asks for it on its worker thread.
  bool AskAssociation = false;
};

// The program for a file: nothing for web and mail targets; else the mapping
// file's entry for the file's extension (names compared without regard to
// case), else the associated program (AssociatedProgramOnce: when its type has
// not been answered yet, AskAssociation is set instead of waiting for it). With
// ask set and the right Ctrl key held, the user picks a program, which is
// stored for the extension; the dialog's preset is the associated program,
// awaited with the window's events flowing. Errors of the mapping file pass to
// the caller.
TResolvedProgram ResolveProgram(const std::string& file, bool ask);

}  // namespace wb
