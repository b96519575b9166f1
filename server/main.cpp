// wbk-localserver: the substitute for the suite's local server. It answers the
// tool's requests over a named pipe, writes PDFs and spool files, prints through
// CUPS and keeps a print journal; tests, demos and Linux users run against it.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/processes.h"
#include "server/local_server.h"
#include "server/pdf_renderer.h"
#include "server/server_log.h"
#include "server/server_options.h"

namespace {

void PrintUtf8(std::FILE* stream, const std::string& text) {
  std::string utf8 = wb::platform::AnsiToUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

int RunServer(const wb::server::TServerOptions& options) {
  wb::server::TLocalServer server(options);
  std::string error;
  if (!server.Start(error)) {
    wb::server::LogLine(error);
    return 1;
  }
  int exitCode = server.Run();
  wb::server::LogLine("beendet");
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(wb::platform::Utf8ToAnsi(argv[i]));

  wb::server::TServerOptions options;
  std::string error;
  if (!wb::server::ParseServerOptions(arguments, options, error)) {
    PrintUtf8(stderr, error + "\n");
    return 2;
  }
  if (options.Help) {
    PrintUtf8(stdout, wb::server::ServerHelpText());
    return 0;
  }
  wb::server::SetVerboseLog(options.Verbose);
  wb::platform::InstallStopRequestHandler();
  wb::server::InitPdfRendering();
  int exitCode = RunServer(options);
  wb::server::ShutdownPdfRendering();
  return exitCode;
}
