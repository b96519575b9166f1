// The job that starts a document's program; see shell_thread_job.h.
#include "opening/shell_thread_job.h"

#include <utility>

#include "opening/associated_programs.h"
#include "opening/opening_rules.h"
#include "platform/shell.h"

namespace wb {

TShellThreadJob::TShellThreadJob(std::string verb, std::string file, std::string program, bool askAssociation)
    : program_(std::move(program)), file_(std::move(file)), verb_(std::move(verb)), askAssociation_(askAssociation) {}

void TShellThreadJob::Execute() {
  // The shell and the program each get the bare name as one argument (the
  // Windows backend quotes it once), so quotes that came along are dropped here.
  const std::string file = StripOuterQuotes(file_);
  if (askAssociation_ && program_.empty()) program_ = AssociatedProgramOnce(file);
  if (program_.empty()) {
    platform::ShellExecuteFile(verb_, file);
  } else {
    platform::StartProgramWithFile(program_, file);
  }
}

}  // namespace wb
