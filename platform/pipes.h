// Named pipes: the local duplex byte channel to the suite's server. The client
// side mirrors CreateFileA / WaitNamedPipeA / ReadFile / WriteFile on a pipe path
// "\\computer\pipe\NAME"; the server side offers a pipe with unlimited instances.
//
// POSIX: the pipe \\.\pipe\NAME is the Unix-domain stream socket
// <temporary path>/WBTempDir/pipes/NAME (both folders private, mode 0700). Socket
// errors are reported as the Windows codes callers decide on: 2 no such pipe,
// 231 all instances busy, 258 time-out, 109 the other end closed while reading,
// 232 the other end closed while writing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace wb::platform {

inline constexpr int kPipeWaitForever = -1;

// One connected end of a pipe (client or server side). Closes itself.
class PipeHandle {
 public:
  virtual ~PipeHandle() = default;
  // Reads what has arrived, up to count bytes, waiting at most timeoutMs for the
  // first byte (kPipeWaitForever: no limit). Returns the bytes read (> 0), or -1
  // with LastError: kErrorBrokenPipe when the other end has closed,
  // kErrorWaitTimeout when nothing came in time.
  virtual int64_t Read(void* buffer, int64_t count, int timeoutMs) = 0;
  // Writes all count bytes; each wait for the other end to take more is bounded
  // by timeoutMs. false + LastError (kErrorNoData: the other end has closed).
  virtual bool Write(const void* buffer, int64_t count, int timeoutMs) = 0;
  // Bytes that have arrived and not been read yet (PeekNamedPipe); -1 on failure.
  virtual int64_t BytesAvailable() = 0;
};

// "\\.\pipe\" + name: the path of a pipe on this computer.
std::string LocalPipePath(const std::string& name);

// CreateFileA(GENERIC_READ | GENERIC_WRITE, no sharing, OPEN_EXISTING) on a pipe
// path. nullptr + LastError: kErrorFileNotFound when no such pipe exists,
// kErrorPipeBusy when every instance is busy, other codes for other failures.
std::unique_ptr<PipeHandle> OpenPipe(const std::string& pipePath);

// WaitNamedPipeA: true when an instance can be opened now; false + LastError
// otherwise — at once with kErrorFileNotFound when no such pipe exists, after
// timeoutMs with kErrorWaitTimeout while every instance stays busy.
bool WaitNamedPipe(const std::string& pipePath, uint32_t timeoutMs);

// The server end: a pipe with unlimited instances, one per accepted client.
class PipeListener {
 public:
  virtual ~PipeListener() = default;
  // Waits at most timeoutMs for the next client; nullptr + kErrorWaitTimeout when
  // none came, nullptr + another code when accepting failed.
  virtual std::unique_ptr<PipeHandle> Accept(int timeoutMs) = 0;
};

// Creates the server end of a pipe on this computer. nullptr with a German
// reason when it cannot be created (for example because a running server
// already serves that pipe). The pipe disappears with the listener.
std::unique_ptr<PipeListener> CreatePipeListener(const std::string& pipePath, std::string& reason);

}  // namespace wb::platform
