// The commands wbk-localserver answers. Every request gets exactly one reply:
// text answers travel in the reply's DATA, the output commands are acknowledged
// at once and done by the output queue (the reply's DATA is empty, except for a
// PRINT that cannot reach its printer: then it holds the reason), and an unknown
// command gets an empty DATA as well.
#pragma once

#include <string>

#include "ipc/message_data.h"
#include "server/output_queue.h"
#include "server/server_options.h"

namespace wb::server {

class TServerCommands {
 public:
  // pipeName: the name this server publishes (the first part of SERVERPROCESS).
  TServerCommands(const TServerOptions& options, std::string pipeName, TOutputQueue& outputs);

  IMessageDataPtr Answer(IMessageData& request);

 private:
  using Handler = std::u16string (TServerCommands::*)(const std::u16string& data);
  struct Command {
    const char16_t* Name;
    Handler Run;
  };
  static const Command kCommands[];

  std::u16string ServerProcess(const std::u16string& data);
  std::u16string DatabasePath(const std::u16string& data);
  std::u16string ApplicationPath(const std::u16string& data);
  std::u16string Printers(const std::u16string& data);
  std::u16string OpenOrder(const std::u16string& data);
  std::u16string CreatePdf(const std::u16string& data);
  std::u16string CurrentPdf(const std::u16string& data);
  std::u16string Print(const std::u16string& data);

  const TServerOptions& options_;
  std::string pipeName_;
  TOutputQueue& outputs_;
};

}  // namespace wb::server
