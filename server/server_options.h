// The command line of wbk-localserver.
#pragma once

#include <string>
#include <vector>

namespace wb::server {

struct TServerOptions {
  std::string DatabaseDir;                   // --database: the DBPATH answer (with a trailing delimiter)
  std::string AppDir;                        // --appdir: the APPPATH answer (with a trailing delimiter)
  std::string PipeName;                      // --pipe: default "WBK-LOCALSERVER-<process id>"
  std::string OrderFile;                     // --order: the SIMPLEGETJSON answer, read anew on every request
  std::string PrintersFile;                  // --printers: the PRINTERS answer
  bool NoCups = false;                       // --no-cups: the bundled demo printers instead of CUPS's
  bool Verbose = false;                      // --verbose: one log line per request on stderr
  bool Help = false;                         // --help
  std::string LaunchProgram;                 // --launch PROGRAM ...
  std::vector<std::string> LaunchArguments;  // ... and everything after it
};

// Parses the arguments after the program name. False with a German message for an
// unknown option or an option without its value.
bool ParseServerOptions(const std::vector<std::string>& arguments, TServerOptions& options, std::string& error);

// The --help text.
std::string ServerHelpText();

}  // namespace wb::server
