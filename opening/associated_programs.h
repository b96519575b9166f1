// The program the system associates with a file type, asked once per type and
// remembered for the program's run. Asking can take long (on Linux it starts
// xdg-mime twice, each bounded by seconds), so the question runs on a worker
// thread; the window only takes answers that are already known.
#pragma once

#include <optional>
#include <string>

namespace wb {

// The associated program for an existing file (FindAssociatedProgram), asked
// once per extension: later calls for any file of the type answer from memory;
// a caller that comes while the type is being asked waits for that answer.
// Files without an extension, and files that do not exist, are asked each time.
std::string AssociatedProgramOnce(const std::string& file);

// The remembered answer for the file's type, without asking and without
// waiting; nothing when the type has not been answered yet.
std::optional<std::string> KnownAssociatedProgram(const std::string& file);

// Tests: forget every answer (a new program run).
void ForgetAssociatedPrograms();

}  // namespace wb
