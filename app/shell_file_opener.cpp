// ShellFileOpener: "open" on a worker thread, the folder view, the program map.
#include "app/shell_file_opener.h"

#include "opening/open_files.h"

namespace wb {

void ShellFileOpener::OpenInBackground(const std::string& path) { ShellOpenAsync("open", path); }

void ShellFileOpener::ShowInFolder(const std::string& path) { wb::ShowInFolder(path); }

void ShellFileOpener::OpenWithProgram(const std::string& path) { wb::OpenWithProgram("open", path, true); }

}  // namespace wb
