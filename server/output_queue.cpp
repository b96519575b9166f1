// The output worker: takes the oldest job, runs it outside the lock, reports
// failures to the log and goes on.
#include "server/output_queue.h"

#include <chrono>
#include <exception>

#include "server/server_log.h"

namespace wb::server {

TOutputQueue::TOutputQueue() : worker_([this] { Work(); }) {}

TOutputQueue::~TOutputQueue() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void TOutputQueue::Add(std::function<void()> job) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    jobs_.push_back(std::move(job));
  }
  changed_.notify_all();
}

bool TOutputQueue::WaitIdle(int timeoutMs) {
  std::unique_lock<std::mutex> guard(lock_);
  return changed_.wait_for(guard, std::chrono::milliseconds(timeoutMs), [this] { return jobs_.empty() && !running_; });
}

void TOutputQueue::Work() {
  std::unique_lock<std::mutex> guard(lock_);
  for (;;) {
    changed_.wait(guard, [this] { return stopping_ || !jobs_.empty(); });
    // Jobs still queued at the end are run too: an acknowledged PDF is owed.
    if (jobs_.empty()) return;
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    running_ = true;
    guard.unlock();
    try {
      job();
    } catch (const std::exception& error) {
      LogLine(error.what());
    }
    guard.lock();
    running_ = false;
    changed_.notify_all();
  }
}

}  // namespace wb::server
