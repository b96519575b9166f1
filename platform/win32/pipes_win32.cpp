// Named pipes on Windows. The client end is CreateFileA on "\\computer\pipe\NAME"
// with WaitNamedPipeA while every instance is busy; the server end is
// CreateNamedPipeA with unlimited instances, several of them waiting for clients
// at once so that a burst of clients never meets "all instances busy".
//
// Both ends are opened for overlapped I/O: a read or write is still one
// ReadFile / WriteFile that takes what the pipe delivers, but its wait is
// bounded, and a wait that runs out cancels just that operation.
#include "platform/pipes.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <vector>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/win32/win32_util.h"

namespace wb::platform {
namespace {

constexpr DWORD kPipeBufferSize = 64 * 1024;
// A write waits for the reader in steps of this size, so the time-out bounds
// each wait for progress, not the whole transfer.
constexpr int64_t kWritePiece = 64 * 1024;
// Instances that wait for clients at the same time.
constexpr size_t kListeningInstances = 4;
// The client may act on the server's behalf only as far as telling who it is.
constexpr DWORD kClientSecurity = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

using Clock = std::chrono::steady_clock;

bool StartsWithNoCase(const std::string& text, size_t at, std::string_view prefix) {
  if (text.size() < at || text.size() - at < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = text[at + i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != prefix[i]) return false;
  }
  return true;
}

// The system folds "." and ".." parts of a "\\.\" path before it looks at
// it: "\\.\pipe\." would open the pipe file system itself, and
// "\\.\pipe\..\..\C:\x" a file. Such a name is no pipe that can exist.
bool IsPossiblePipeName(std::string_view name) {
  if (name.empty()) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = name.size();
    std::string_view part = name.substr(start, end - start);
    if (part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

// "\\computer\pipe\NAME" with a computer and a name; anything else would open
// some other object of the system (the pipe file system's root, a file).
bool CheckPipePath(const std::string& path, bool localOnly) {
  if (path.find('\0') != std::string::npos || path.size() < 2 || path[0] != '\\' || path[1] != '\\') {
    ::SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  size_t slash = path.find('\\', 2);
  if (slash == std::string::npos || slash == 2 || !StartsWithNoCase(path, slash + 1, "pipe\\")) {
    ::SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  if (localOnly && path.compare(2, slash - 2, ".") != 0) {
    ::SetLastError(ERROR_BAD_NETPATH);
    return false;
  }
  if (!IsPossiblePipeName(std::string_view(path).substr(slash + 1 + 5))) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  return true;
}

int RemainingMs(int timeoutMs, Clock::time_point start) {
  if (timeoutMs < 0) return -1;
  auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  return static_cast<int>(std::max<int64_t>(0, timeoutMs - spent));
}

DWORD WaitTime(int timeoutMs) { return timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs); }

// One overlapped operation: waits up to timeoutMs for it to finish, cancels it
// when the time is up (ReadFile and WriteFile reset the event themselves). True with the bytes moved; false with the
// system's code (ERROR_MORE_DATA included, with its bytes) or kErrorWaitTimeout.
bool FinishOverlapped(HANDLE pipe, OVERLAPPED& operation, BOOL started, int timeoutMs, DWORD& moved) {
  moved = 0;
  if (!started) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_MORE_DATA) {
      // Done at once with part of a message: the part is in the buffer.
      ::GetOverlappedResult(pipe, &operation, &moved, FALSE);
      ::SetLastError(ERROR_MORE_DATA);
      return false;
    }
    if (error != ERROR_IO_PENDING) return false;
    if (::WaitForSingleObject(operation.hEvent, WaitTime(timeoutMs)) == WAIT_TIMEOUT) {
      ::CancelIoEx(pipe, &operation);
      // It may have finished after all between the wait and the cancel.
      if (::GetOverlappedResult(pipe, &operation, &moved, TRUE) || ::GetLastError() == ERROR_MORE_DATA) return true;
      ::SetLastError(kErrorWaitTimeout);
      return false;
    }
  }
  return ::GetOverlappedResult(pipe, &operation, &moved, TRUE) != FALSE;
}

class Win32PipeHandle final : public PipeHandle {
 public:
  Win32PipeHandle(HANDLE pipe, HANDLE readEvent, HANDLE writeEvent)
      : pipe_(pipe), readEvent_(readEvent), writeEvent_(writeEvent) {}
  Win32PipeHandle(const Win32PipeHandle&) = delete;
  Win32PipeHandle& operator=(const Win32PipeHandle&) = delete;

  static std::unique_ptr<PipeHandle> Wrap(HANDLE pipe) {
    HANDLE readEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE writeEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!readEvent || !writeEvent) {
      DWORD error = ::GetLastError();
      if (readEvent) ::CloseHandle(readEvent);
      if (writeEvent) ::CloseHandle(writeEvent);
      ::CloseHandle(pipe);
      ::SetLastError(error);
      return nullptr;
    }
    return std::make_unique<Win32PipeHandle>(pipe, readEvent, writeEvent);
  }

  int64_t Read(void* buffer, int64_t count, int timeoutMs) override {
    if (count <= 0) return 0;
    auto start = Clock::now();
    for (;;) {
      OVERLAPPED operation{};
      operation.hEvent = readEvent_.get();
      BOOL started = ::ReadFile(pipe_.get(), buffer, ClampToDword(count), nullptr, &operation);
      DWORD got = 0;
      if (FinishOverlapped(pipe_.get(), operation, started, RemainingMs(timeoutMs, start), got)) {
        if (got > 0) return got;
        // An empty message of a message-mode pipe: nothing to hand over yet.
        if (RemainingMs(timeoutMs, start) == 0) {
          ::SetLastError(kErrorWaitTimeout);
          return -1;
        }
        continue;
      }
      DWORD error = ::GetLastError();
      // A message larger than the buffer: the bytes read so far are good, the
      // rest comes with the next read.
      if (error == ERROR_MORE_DATA && got > 0) {
        ::SetLastError(ERROR_MORE_DATA);
        return got;
      }
      if (error == ERROR_PIPE_NOT_CONNECTED || error == ERROR_NO_DATA) error = kErrorBrokenPipe;
      ::SetLastError(error);
      return -1;
    }
  }

  bool Write(const void* buffer, int64_t count, int timeoutMs) override {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
      OVERLAPPED operation{};
      operation.hEvent = writeEvent_.get();
      DWORD piece = static_cast<DWORD>(std::min(kWritePiece, count - done));
      BOOL started = ::WriteFile(pipe_.get(), bytes + done, piece, nullptr, &operation);
      DWORD put = 0;
      if (!FinishOverlapped(pipe_.get(), operation, started, timeoutMs, put)) {
        DWORD error = ::GetLastError();
        if (error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) error = kErrorNoData;
        ::SetLastError(error);
        return false;
      }
      if (put == 0) {  // nothing taken and no error: the pipe is no longer written to
        ::SetLastError(kErrorNoData);
        return false;
      }
      done += put;
    }
    return true;
  }

  int64_t BytesAvailable() override {
    DWORD available = 0;
    if (!::PeekNamedPipe(pipe_.get(), nullptr, 0, nullptr, &available, nullptr)) return -1;
    return available;
  }

 private:
  UniqueHandle pipe_;
  UniqueHandle readEvent_;
  UniqueHandle writeEvent_;
};

// One server instance that waits for a client (ConnectNamedPipe, overlapped).
// Lives at a fixed address while its wait is pending.
class ListeningInstance {
 public:
  ListeningInstance(HANDLE pipe, HANDLE event) : pipe_(pipe), event_(event) {}
  ~ListeningInstance() { StopWaiting(); }
  ListeningInstance(const ListeningInstance&) = delete;
  ListeningInstance& operator=(const ListeningInstance&) = delete;

  HANDLE Event() const { return event_.get(); }

  // Starts the wait for a client; false when the instance cannot wait.
  bool Listen() {
    operation_ = OVERLAPPED{};
    operation_.hEvent = event_.get();
    ::ResetEvent(event_.get());
    if (::ConnectNamedPipe(pipe_.get(), &operation_)) {
      // Done at once: say so through the event, whether or not the system did.
      state_ = State::Connected;
      ::SetEvent(event_.get());
      return true;
    }
    switch (::GetLastError()) {
      case ERROR_IO_PENDING: state_ = State::Pending; return true;
      case ERROR_PIPE_CONNECTED:  // the client came before the call
        state_ = State::Connected;
        ::SetEvent(event_.get());
        return true;
      default: state_ = State::Idle; return false;
    }
  }

  enum class Outcome { Connected, Gone, Waiting };

  // After the event, without ever blocking the accept loop: Connected (take the
  // pipe with Release), Gone (the client left at once; the instance must wait
  // anew), or Waiting (the event came early; the wait goes on).
  Outcome Check() {
    if (state_ == State::Pending) {
      DWORD ignored = 0;
      if (!::GetOverlappedResult(pipe_.get(), &operation_, &ignored, FALSE)) {
        if (::GetLastError() == ERROR_IO_INCOMPLETE) {
          ::ResetEvent(event_.get());
          return Outcome::Waiting;
        }
        state_ = State::Idle;
        ::DisconnectNamedPipe(pipe_.get());
        return Outcome::Gone;
      }
      state_ = State::Connected;
    }
    if (state_ != State::Connected) return Outcome::Gone;
    state_ = State::Idle;
    return Outcome::Connected;
  }

  HANDLE Release() { return pipe_.Release(); }

 private:
  enum class State { Idle, Pending, Connected };

  void StopWaiting() {
    if (state_ != State::Pending || !pipe_.valid()) return;
    ::CancelIoEx(pipe_.get(), &operation_);
    DWORD ignored = 0;
    ::GetOverlappedResult(pipe_.get(), &operation_, &ignored, TRUE);
    state_ = State::Idle;
  }

  UniqueHandle pipe_;
  UniqueHandle event_;
  OVERLAPPED operation_{};
  State state_ = State::Idle;
};

HANDLE NewInstance(const std::string& pipePath, bool first) {
  DWORD openMode = PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
  DWORD pipeMode = PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS;
  return ::CreateNamedPipeA(pipePath.c_str(), openMode, pipeMode, PIPE_UNLIMITED_INSTANCES, kPipeBufferSize,
                            kPipeBufferSize, 0, nullptr);
}

std::unique_ptr<ListeningInstance> NewListeningInstance(const std::string& pipePath, bool first) {
  HANDLE pipe = NewInstance(pipePath, first);
  if (pipe == INVALID_HANDLE_VALUE) return nullptr;
  HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!event) {
    ::CloseHandle(pipe);
    return nullptr;
  }
  auto instance = std::make_unique<ListeningInstance>(pipe, event);
  if (!instance->Listen()) return nullptr;
  return instance;
}

class Win32PipeListener final : public PipeListener {
 public:
  Win32PipeListener(std::string pipePath, std::unique_ptr<ListeningInstance> first) : pipePath_(std::move(pipePath)) {
    instances_.push_back(std::move(first));
    Refill();
  }

  std::unique_ptr<PipeHandle> Accept(int timeoutMs) override {
    auto start = Clock::now();
    for (;;) {
      Refill();
      if (instances_.empty()) {
        ::SetLastError(ERROR_PIPE_BUSY);
        return nullptr;
      }
      std::vector<HANDLE> events;
      for (const auto& instance : instances_) events.push_back(instance->Event());
      DWORD signalled = ::WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE,
                                                 WaitTime(RemainingMs(timeoutMs, start)));
      if (signalled == WAIT_TIMEOUT) {
        ::SetLastError(kErrorWaitTimeout);
        return nullptr;
      }
      if (signalled >= WAIT_OBJECT_0 + events.size()) return nullptr;
      const size_t index = signalled - WAIT_OBJECT_0;
      auto& instance = instances_[index];
      switch (instance->Check()) {
        case ListeningInstance::Outcome::Connected: {
          HANDLE connected = instance->Release();
          instances_.erase(instances_.begin() + static_cast<std::ptrdiff_t>(index));
          Refill();
          return Win32PipeHandle::Wrap(connected);
        }
        case ListeningInstance::Outcome::Gone:
          if (!instance->Listen()) instances_.erase(instances_.begin() + static_cast<std::ptrdiff_t>(index));
          break;
        case ListeningInstance::Outcome::Waiting: break;
      }
      if (RemainingMs(timeoutMs, start) == 0) {
        ::SetLastError(kErrorWaitTimeout);
        return nullptr;
      }
    }
  }

 private:
  // Tops the waiting instances up again; one that cannot be made now is tried
  // at the next accept.
  void Refill() {
    while (instances_.size() < kListeningInstances) {
      auto instance = NewListeningInstance(pipePath_, false);
      if (!instance) return;
      instances_.push_back(std::move(instance));
    }
  }

  std::string pipePath_;
  std::vector<std::unique_ptr<ListeningInstance>> instances_;
};

}  // namespace

std::string LocalPipePath(const std::string& name) { return "\\\\.\\pipe\\" + name; }

std::unique_ptr<PipeHandle> OpenPipe(const std::string& pipePath) {
  if (!CheckPipePath(pipePath, false)) return nullptr;
  HANDLE pipe = ::CreateFileA(pipePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED | kClientSecurity, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) return nullptr;  // 2 no such pipe, 231 all instances busy
  if (::GetFileType(pipe) != FILE_TYPE_PIPE) {
    ::CloseHandle(pipe);
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return Win32PipeHandle::Wrap(pipe);
}

bool WaitNamedPipe(const std::string& pipePath, uint32_t timeoutMs) {
  if (!CheckPipePath(pipePath, false)) return false;
  // 0 would mean "the server's default time-out" to the system; the caller
  // means "do not wait".
  if (::WaitNamedPipeA(pipePath.c_str(), timeoutMs == 0 ? 1 : timeoutMs)) return true;
  if (::GetLastError() == ERROR_SEM_TIMEOUT) ::SetLastError(kErrorWaitTimeout);
  return false;
}

std::unique_ptr<PipeListener> CreatePipeListener(const std::string& pipePath, std::string& reason) {
  if (!CheckPipePath(pipePath, true)) {
    reason = FormatMessageText(Ansi(u8"%s ist kein gültiger Pipe-Name."), pipePath);
    return nullptr;
  }
  // A pipe of that name that answers a wait belongs to a running server. The
  // first-instance flag below closes the gap between this look and the creation.
  if (::WaitNamedPipeA(pipePath.c_str(), 1) || ::GetLastError() == ERROR_SEM_TIMEOUT) {
    reason = FormatMessageText("Die Pipe %s wird schon von einem laufenden Server bedient.", pipePath);
    ::SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  auto first = NewListeningInstance(pipePath, true);
  if (!first) {
    DWORD error = ::GetLastError();
    if (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY) {
      reason = FormatMessageText("Die Pipe %s wird schon von einem laufenden Server bedient.", pipePath);
    } else {
      reason = FormatMessageText("Die Pipe %s kann nicht angelegt werden: ", pipePath) + SystemErrorMessage(error);
    }
    ::SetLastError(error);
    return nullptr;
  }
  return std::make_unique<Win32PipeListener>(pipePath, std::move(first));
}

}  // namespace wb::platform
