// TConnectionThreads: the threads that serve wbk-localserver's connections, one
// per connection. A thread is joined once its job has returned (the accept loop
// looks after every accept) and all are joined when the server ends.
//
// They are never detached. In the Windows build's thread library (mingw-w64's
// winpthreads), detaching a thread that has already finished its job hands the
// thread's bookkeeping record back for reuse while the ending thread still writes
// to it; the next thread started gets the same record. A short connection ends
// before the accept loop gets round to detaching its thread whenever the loop is
// held up for a moment, so on a loaded machine the server then left a connection
// unserved (the client waited for its reply in vain), lost its stop request or
// crashed. Joining waits until the thread is gone altogether.
#pragma once

#include <atomic>
#include <cstddef>
#include <list>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

namespace wb::server {

// Used by one thread only (the accept loop).
class TConnectionThreads {
 public:
  TConnectionThreads() = default;
  ~TConnectionThreads() { JoinAll(); }
  TConnectionThreads(const TConnectionThreads&) = delete;
  TConnectionThreads& operator=(const TConnectionThreads&) = delete;

  // Runs job() on a thread of its own. False when no thread can be started: the
  // job is then dropped together with what it owns (a connection is closed).
  template <typename Job>
  bool Start(Job job) {
    auto entry = std::make_unique<TEntry>();
    TEntry* self = entry.get();
    try {
      entry->Thread = std::thread([self, job = std::move(job)]() mutable {
        job();
        self->Ended.store(true);
      });
    } catch (const std::system_error&) {
      return false;
    }
    entries_.push_back(std::move(entry));
    return true;
  }

  // Joins the threads whose job has returned; never waits for a job that runs.
  void JoinEnded();
  // Waits for every job to return and joins its thread.
  void JoinAll();
  // Threads started and not joined yet.
  std::size_t Count() const { return entries_.size(); }

 private:
  struct TEntry {
    std::thread Thread;
    std::atomic<bool> Ended{false};
  };
  std::list<std::unique_ptr<TEntry>> entries_;
};

}  // namespace wb::server
