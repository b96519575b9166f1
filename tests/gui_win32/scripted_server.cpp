// ScriptedServer: one connection at a time, as the tool makes them.
#include "scripted_server.h"

#include <chrono>
#include <memory>

#include "client/file_helpers.h"
#include "gui/win32/win32_headers.h"
#include "ipc/message_data.h"
#include "json/wbjson.h"
#include "platform/codepage.h"
#include "platform/pipes.h"
#include "platform/processes.h"
#include "server/request_framing.h"
#include "server/service_registration.h"
#include "support/files.h"

namespace wb::test {
namespace {

constexpr int kIdleTimeoutMs = 10000;

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ScriptedServer::ScriptedServer(const std::string& pipeName, const std::string& databaseDir, const std::string& appDir)
    : pipeName_(pipeName), appDir_(appDir) {
  answers_["DBPATH"] = databaseDir;
  answers_["APPPATH"] = appDir;
  answers_["SERVERPROCESS"] = pipeName + '\x08' + std::to_string(platform::GetCurrentProcessId());
  std::string reason;
  auto listener = platform::CreatePipeListener(platform::LocalPipePath(pipeName), reason);
  if (!listener) return;
  server::PublishServiceName(pipeName);
  listener_ = listener.release();
  running_ = true;
  thread_ = std::thread([this] { Run(); });
}

ScriptedServer::~ScriptedServer() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  delete static_cast<platform::PipeListener*>(listener_);
  if (running_) {
    try {
      server::WithdrawServiceName(pipeName_);
    } catch (...) {
    }
  }
}

void ScriptedServer::SetAnswer(const std::string& command, const std::string& value) {
  std::lock_guard<std::mutex> guard(lock_);
  answers_[command] = value;
}

void ScriptedServer::CloseEarlyOn(const std::string& command) {
  std::lock_guard<std::mutex> guard(lock_);
  closeEarlyOn_ = command;
}

std::vector<RecordedRequest> ScriptedServer::Requests() {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

std::vector<std::string> ScriptedServer::Commands() {
  std::vector<std::string> commands;
  for (const RecordedRequest& request : Requests()) commands.push_back(request.Command);
  return commands;
}

bool ScriptedServer::WaitForCommand(const std::string& command, int count, int timeoutMs) {
  std::unique_lock<std::mutex> guard(lock_);
  return arrived_.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] {
    int seen = 0;
    for (const RecordedRequest& request : requests_)
      if (request.Command == command) ++seen;
    return seen > count;
  });
}

void ScriptedServer::Run() {
  auto* listener = static_cast<platform::PipeListener*>(listener_);
  while (!stopping_) {
    std::unique_ptr<platform::PipeHandle> pipe = listener->Accept(100);
    if (pipe) Serve(pipe.get());
  }
}

void ScriptedServer::Serve(void* handle) {
  auto& pipe = *static_cast<platform::PipeHandle*>(handle);
  server::TRequestReader reader(pipe, kIdleTimeoutMs);
  for (;;) {
    IMessageDataPtr request;
    if (reader.Next(request) != server::FrameStatus::Request) return;
    TStreamStorage& values = request->GetData();
    RecordedRequest recorded;
    recorded.Command = platform::WideToAnsi(values.ReadString(u"COMMAND"));
    recorded.Data = platform::WideToAnsi(values.ReadString(u"DATA"));
    TMemoryStream& block = values.Stream();
    recorded.Block.assign(reinterpret_cast<const char*>(block.Memory()), static_cast<size_t>(block.Size()));
    std::string answer;
    bool drop = closeEarly_;
    {
      std::lock_guard<std::mutex> guard(lock_);
      requests_.push_back(recorded);
      answer = answers_[recorded.Command];
      drop = drop || recorded.Command == closeEarlyOn_;
    }
    arrived_.notify_all();
    if (drop) return;
    IMessageDataPtr reply = CreateMessageData();
    reply->GetData().WriteString(u"DATA", platform::AnsiToWide(answer));
    if (!server::WriteReply(pipe, *reply, kIdleTimeoutMs)) return;
    Produce(recorded);
  }
}

// After the acknowledgement, as the suite's server does: the PDF, then its spool file.
void ScriptedServer::Produce(const RecordedRequest& request) {
  if (request.Command != "CREATEPDF" && request.Command != "CURRENTPDF") return;
  std::unique_ptr<TWBCustomJSON> entry = TWBJSONText::Parse(request.Data);
  if (!entry) return;
  const std::string pdf = entry->StringByName("PDFFileName");
  if (pdf.empty()) return;
  WriteBytes(pdf, "%PDF-1.4\n% " + request.Command + "\n%%EOF\n");
  ForceDirs(appDir_ + "SPOOLER\\PDFX\\");
  WriteBytes(appDir_ + "SPOOLER\\PDFX\\" + FileNameOf(pdf), "spool");
}

}  // namespace wb::test
