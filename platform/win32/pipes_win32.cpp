// Named pipes on Windows. The client end is CreateFileA on "\\computer\pipe\NAME"
// with WaitNamedPipeA while every instance is busy; the server end is
// CreateNamedPipeA with unlimited instances, several of them waiting for clients
// at once so that a burst of clients never meets "all instances busy".
//
// Both ends are opened for overlapped I/O, so every wait is bounded. A read
// whose time runs out stays pending for the next read; a write whose time runs
// out is cancelled and ends the connection. No wait for a cancel is unbounded.
#include "platform/pipes.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
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

// How long a cancelled operation may take to let go of its memory. Past that
// the memory is left to the system (never freed under a late completion).
constexpr DWORD kSettleMs = 2000;

// One overlapped operation of a pipe end with the memory the system works on:
// the OVERLAPPED, its event and the bytes read into or written from. Owned by
// the pipe end, so an operation may outlive the call that started it.
struct PipeOperation {
  OVERLAPPED overlapped{};
  UniqueHandle event;
  std::vector<uint8_t> buffer;
  bool pending = false;

  void Prepare() {
    overlapped = OVERLAPPED{};
    overlapped.hEvent = event.get();
  }
  bool WaitDone(int timeoutMs) const {
    return ::WaitForSingleObject(event.get(), WaitTime(timeoutMs)) == WAIT_OBJECT_0;
  }
};

std::unique_ptr<PipeOperation> NewOperation(size_t bufferSize) {
  auto operation = std::make_unique<PipeOperation>();
  operation->event.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!operation->event.valid()) return nullptr;
  operation->buffer.resize(bufferSize);
  return operation;
}

// Cancels a pending operation and waits a bounded time for it to end. False
// when the system still holds it.
bool CancelAndSettle(HANDLE pipe, PipeOperation& operation) {
  if (!operation.pending) return true;
  ::CancelIoEx(pipe, &operation.overlapped);
  if (!operation.WaitDone(kSettleMs)) return false;
  DWORD ignored = 0;
  ::GetOverlappedResult(pipe, &operation.overlapped, &ignored, FALSE);
  operation.pending = false;
  return true;
}

// A connected pipe end. A read whose time runs out is not cancelled: it stays
// pending and the next read takes it up, so the server's short read slices (it
// looks at its stop request between them) never race a cancel against bytes
// that are just arriving, and never wait without a bound for a cancel to finish.
// What one read brings beyond what the caller asked for is kept for the next.
class Win32PipeHandle final : public PipeHandle {
 public:
  Win32PipeHandle(HANDLE pipe, std::unique_ptr<PipeOperation> read, std::unique_ptr<PipeOperation> write)
      : pipe_(pipe), read_(std::move(read)), write_(std::move(write)) {}
  Win32PipeHandle(const Win32PipeHandle&) = delete;
  Win32PipeHandle& operator=(const Win32PipeHandle&) = delete;

  ~Win32PipeHandle() override {
    bool settled = CancelAndSettle(pipe_.get(), *read_);
    settled = CancelAndSettle(pipe_.get(), *write_) && settled;
    pipe_.Reset();  // closing cancels whatever is still pending
    if (settled) return;
    for (auto* operation : {&read_, &write_}) {
      if ((*operation)->pending && !(*operation)->WaitDone(kSettleMs)) {
        (*operation)->event.Release();
        (void)operation->release();  // left to the system: a late completion writes into live memory
      }
    }
  }

  static std::unique_ptr<PipeHandle> Wrap(HANDLE pipe) {
    auto read = NewOperation(kPipeBufferSize);
    auto write = NewOperation(0);
    if (!read || !write) {
      DWORD error = ::GetLastError();
      ::CloseHandle(pipe);
      ::SetLastError(error);
      return nullptr;
    }
    return std::make_unique<Win32PipeHandle>(pipe, std::move(read), std::move(write));
  }

  int64_t Read(void* buffer, int64_t count, int timeoutMs) override {
    if (count <= 0) return 0;
    auto start = Clock::now();
    for (;;) {
      if (arrivedBegin_ < arrivedEnd_) return HandOut(buffer, count);
      if (readFailed_) return ReadFailed();
      bool doneAtOnce = false;
      if (!read_->pending && !StartRead(doneAtOnce)) return ReadFailed();
      if (!doneAtOnce && !read_->WaitDone(RemainingMs(timeoutMs, start))) {
        ::SetLastError(kErrorWaitTimeout);
        return -1;
      }
      if (!FinishRead()) return ReadFailed();
      // Still pending after its event (never seen), or an empty message of a
      // message-mode pipe: nothing to hand over yet.
      if (arrivedBegin_ == arrivedEnd_) {
        if (RemainingMs(timeoutMs, start) == 0) {
          ::SetLastError(kErrorWaitTimeout);
          return -1;
        }
        if (read_->pending) ::Sleep(1);
      }
    }
  }

  bool Write(const void* buffer, int64_t count, int timeoutMs) override {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
      if (write_->pending) {  // a write given up earlier that the system still holds
        ::SetLastError(kErrorNoData);
        return false;
      }
      const size_t piece = static_cast<size_t>(std::min(kWritePiece, count - done));
      write_->buffer.assign(bytes + done, bytes + done + piece);
      write_->Prepare();
      const BOOL doneAtOnce =
          ::WriteFile(pipe_.get(), write_->buffer.data(), static_cast<DWORD>(piece), nullptr, &write_->overlapped);
      if (!doneAtOnce && ::GetLastError() != ERROR_IO_PENDING) return WriteFailed(::GetLastError());
      write_->pending = true;
      // The reader takes nothing within the time: the write is given up.
      if (!doneAtOnce && !write_->WaitDone(timeoutMs) && !CancelAndSettle(pipe_.get(), *write_)) {
        return WriteFailed(kErrorWaitTimeout);
      }
      DWORD put = 0;
      BOOL finished = ::GetOverlappedResult(pipe_.get(), &write_->overlapped, &put, FALSE);
      DWORD error = finished ? 0 : ::GetLastError();
      write_->pending = false;
      if (!finished) return WriteFailed(error == ERROR_OPERATION_ABORTED ? kErrorWaitTimeout : error);
      if (put == 0) return WriteFailed(kErrorNoData);  // nothing taken and no error: no longer written to
      done += put;
    }
    return true;
  }

  int64_t BytesAvailable() override {
    // A read left pending may hold bytes already: they count as arrived.
    if (read_->pending && !readFailed_ && read_->WaitDone(0)) readFailed_ = !FinishRead();
    DWORD available = 0;
    if (!::PeekNamedPipe(pipe_.get(), nullptr, 0, nullptr, &available, nullptr)) return -1;
    return static_cast<int64_t>(available) + static_cast<int64_t>(arrivedEnd_ - arrivedBegin_);
  }

 private:
  // Starts a read into the pipe end's own buffer; false with readError_.
  // doneAtOnce: finished already (FinishRead takes the result without a wait).
  bool StartRead(bool& doneAtOnce) {
    read_->Prepare();
    doneAtOnce = ::ReadFile(pipe_.get(), read_->buffer.data(), static_cast<DWORD>(read_->buffer.size()), nullptr,
                            &read_->overlapped) != FALSE;
    if (!doneAtOnce) {
      DWORD error = ::GetLastError();
      doneAtOnce = error == ERROR_MORE_DATA;
      if (error != ERROR_IO_PENDING && !doneAtOnce) {
        readError_ = error;
        return false;
      }
    }
    read_->pending = true;
    return true;
  }

  // After the event: the bytes of the finished read, or false with readError_.
  bool FinishRead() {
    DWORD got = 0;
    if (!::GetOverlappedResult(pipe_.get(), &read_->overlapped, &got, FALSE)) {
      DWORD error = ::GetLastError();
      if (error == ERROR_IO_INCOMPLETE) return true;  // the event came early; the wait goes on
      if (error != ERROR_MORE_DATA) {
        read_->pending = false;
        readError_ = error;
        return false;
      }
      messageGoesOn_ = true;  // a message larger than the buffer: the rest comes with the next read
    } else {
      messageGoesOn_ = false;
    }
    read_->pending = false;
    arrivedBegin_ = 0;
    arrivedEnd_ = got;
    return true;
  }

  int64_t HandOut(void* buffer, int64_t count) {
    const size_t taken = static_cast<size_t>(std::min<int64_t>(count, arrivedEnd_ - arrivedBegin_));
    std::memcpy(buffer, read_->buffer.data() + arrivedBegin_, taken);
    arrivedBegin_ += taken;
    // Callers of a message-mode pipe learn that the message goes on.
    ::SetLastError(arrivedBegin_ < arrivedEnd_ || messageGoesOn_ ? ERROR_MORE_DATA : ERROR_SUCCESS);
    return static_cast<int64_t>(taken);
  }

  int64_t ReadFailed() {
    DWORD error = readError_;
    if (error == ERROR_PIPE_NOT_CONNECTED || error == ERROR_NO_DATA) error = kErrorBrokenPipe;
    ::SetLastError(error);
    return -1;
  }

  static bool WriteFailed(DWORD error) {
    if (error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED) error = kErrorNoData;
    ::SetLastError(error);
    return false;
  }

  UniqueHandle pipe_;
  std::unique_ptr<PipeOperation> read_;
  std::unique_ptr<PipeOperation> write_;
  size_t arrivedBegin_ = 0;  // bytes of the last read not handed out yet
  size_t arrivedEnd_ = 0;
  bool messageGoesOn_ = false;
  DWORD readError_ = 0;
  bool readFailed_ = false;  // a read finished with readError_ outside Read
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
    *operation_ = OVERLAPPED{};
    operation_->hEvent = event_.get();
    ::ResetEvent(event_.get());
    if (::ConnectNamedPipe(pipe_.get(), operation_.get())) {
      // Done at once: say so through the event, whether or not the system did.
      state_ = State::Connected;
      ::SetEvent(event_.get());
      return true;
    }
    switch (::GetLastError()) {
      case ERROR_IO_PENDING:
        state_ = State::Pending;
        return true;
      case ERROR_PIPE_CONNECTED:  // the client came before the call
        state_ = State::Connected;
        ::SetEvent(event_.get());
        return true;
      default:
        state_ = State::Idle;
        return false;
    }
  }

  enum class Outcome { Connected, Gone, Waiting };

  // After the event, without ever blocking the accept loop: Connected (take the
  // pipe with Release), Gone (the client left at once; the instance must wait
  // anew), or Waiting (the event came early; the wait goes on).
  Outcome Check() {
    if (state_ == State::Pending) {
      DWORD ignored = 0;
      if (!::GetOverlappedResult(pipe_.get(), operation_.get(), &ignored, FALSE)) {
        if (::GetLastError() == ERROR_IO_INCOMPLETE) {
          // A client that connects between the look and the reset would set
          // the event before the reset wipes it: look once more after it.
          ::ResetEvent(event_.get());
          if (!::GetOverlappedResult(pipe_.get(), operation_.get(), &ignored, FALSE) &&
              ::GetLastError() == ERROR_IO_INCOMPLETE) {
            return Outcome::Waiting;
          }
          ::SetEvent(event_.get());  // finished after all: Check again at once
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

  // Bounded, like every wait here: a wait the system does not give up is left
  // to it with its OVERLAPPED and event.
  void StopWaiting() {
    if (state_ != State::Pending || !pipe_.valid()) return;
    state_ = State::Idle;
    ::CancelIoEx(pipe_.get(), operation_.get());
    if (::WaitForSingleObject(event_.get(), kSettleMs) == WAIT_OBJECT_0) return;
    pipe_.Reset();
    if (::WaitForSingleObject(event_.get(), kSettleMs) == WAIT_OBJECT_0) return;
    event_.Release();
    (void)operation_.release();
  }

  UniqueHandle pipe_;
  UniqueHandle event_;
  std::unique_ptr<OVERLAPPED> operation_ = std::make_unique<OVERLAPPED>();
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
  Win32PipeListener(std::string pipePath, std::unique_ptr<ListeningInstance> first)
      : pipePath_(std::move(pipePath)) {
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
          instances_.erase(instances_.begin() + index);
          Refill();
          return Win32PipeHandle::Wrap(connected);
        }
        case ListeningInstance::Outcome::Gone:
          if (!instance->Listen()) instances_.erase(instances_.begin() + index);
          break;
        case ListeningInstance::Outcome::Waiting:
          break;
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
    reason = FormatMessageText(Ansi("%s ist kein gültiger Pipe-Name."), pipePath);
    return nullptr;
  }
  // A pipe of that name that answers a wait belongs to a running server. The
  // first-instance flag below closes the gap between this look and the creation.
  if (::WaitNamedPipeA(pipePath.c_str(), 1) || ::GetLastError() == ERROR_SEM_TIMEOUT) {
    reason = FormatMessageText(Ansi("Die Pipe %s wird schon von einem laufenden Server bedient."), pipePath);
    ::SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  auto first = NewListeningInstance(pipePath, true);
  if (!first) {
    DWORD error = ::GetLastError();
    if (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY) {
      reason = FormatMessageText(Ansi("Die Pipe %s wird schon von einem laufenden Server bedient."), pipePath);
    } else {
      reason = FormatMessageText(Ansi("Die Pipe %s kann nicht angelegt werden: "), pipePath) +
               SystemErrorMessage(error);
    }
    ::SetLastError(error);
    return nullptr;
  }
  return std::make_unique<Win32PipeListener>(pipePath, std::move(first));
}

}  // namespace wb::platform
