// The job that starts a document's program on a worker thread, so that a slow
// program start never blocks the window.
#pragma once

#include <string>

#include "ipc/worker_thread_pool.h"

namespace wb {

class TShellThreadJob : public TWorkerThreadJob {
 public:
  // An empty program hands the file to the shell with the verb. With
  // askAssociation the program is first the one the system associates with
  // the file (asked here, on the worker thread, once per file type).
  TShellThreadJob(std::string verb, std::string file, std::string program, bool askAssociation = false);

  // Starts the program with the file, or lets the shell open it; does not wait
  // for the program, and a failed start is silent.
  void Execute() override;

  const std::string& Program() const { return program_; }
  const std::string& File() const { return file_; }
  const std::string& Verb() const { return verb_; }

 private:
  std::string program_;
  std::string file_;
  std::string verb_;
  bool askAssociation_;
};

}  // namespace wb
