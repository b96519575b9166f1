// The worker thread pool: a list of worker threads in creation order and a FIFO
// queue, both guarded by one lock. Jobs are handed to the first free worker; a
// worker that finishes looks at the queue while it is still busy, so it hands the
// oldest waiting job to another free worker (or a new one), not to itself.
#include "ipc/worker_thread_pool.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ui_hooks.h"

namespace wb {

namespace {

constexpr int kDefaultMinThreads = 1;
constexpr int kDefaultMaxThreads = 5;
constexpr int kLowestThreadSetting = 2;
constexpr int kHighestThreadSetting = 64;
// While Shutdown waits for a running job, the caller's window events are handled
// at least this often.
constexpr unsigned kShutdownPumpSliceMs = 20;

bool IsValidThreadSetting(int value) { return value >= kLowestThreadSetting && value <= kHighestThreadSetting; }

}  // namespace

class TWorkerThreadPool::Core : public std::enable_shared_from_this<Core> {
 public:
  int MinThreads() const;
  int MaxThreads() const;
  void SetMinThreads(int value);
  void SetMaxThreads(int value);

  void AddJob(std::unique_ptr<TWorkerThreadJob> job);
  void Shutdown();

  std::atomic<unsigned> jobWaitLimitMs{kShutdownJobWaitMs};

  int WorkerCount() const;
  int BusyWorkerCount() const { return busyWorkers_.load(); }
  int QueuedJobCount() const { return queuedJobs_.load(); }
  bool WaitFor(int busy, bool queueEmpty, unsigned timeoutMs) const;

 private:
  class Worker;
  using WorkerPtr = std::shared_ptr<Worker>;

  // All of these run under lock_.
  Worker* FirstIdleWorker() const;
  Worker* CreateWorker();
  void HandOver(Worker& worker, std::unique_ptr<TWorkerThreadJob> job);
  void DestroyWorkerAt(size_t index);
  void TrimIdleWorkers();

  // Called by a worker that finished a job and is still busy.
  void ProcessQueue();
  void WorkerBecameIdle(Worker& worker);
  void NotifyStateChanged() const;
  void WaitForWorkerOrGiveUp(const WorkerPtr& worker);

  std::vector<WorkerPtr> workers_;
  std::deque<std::unique_ptr<TWorkerThreadJob>> queue_;
  int minThreads_ = kDefaultMinThreads;
  int maxThreads_ = kDefaultMaxThreads;
  mutable std::mutex lock_;
  bool shutDown_ = false;

  // Mirrors of the state for waiters; kept apart from lock_ so that waiting never
  // needs the pool's lock (a worker being joined under lock_ still notifies).
  std::atomic<int> busyWorkers_{0};
  std::atomic<int> queuedJobs_{0};
  mutable std::mutex stateMutex_;
  mutable std::condition_variable stateChanged_;
};

// One worker thread with its hand-over slot and its two auto-reset signals.
class TWorkerThreadPool::Core::Worker {
 public:
  enum class Signal { Job, Stop };

  void Start(std::shared_ptr<Core> pool, const WorkerPtr& self) {
    thread_ = std::thread([pool = std::move(pool), self]() { self->Run(*pool); });
  }

  // Under the pool's lock, only while the worker is not busy.
  void AttachJob(std::unique_ptr<TWorkerThreadJob> job) {
    job_ = std::move(job);
    busy_ = true;
    Raise(jobSignalled_);
  }

  void RequestStop() {
    stopRequested_ = true;
    Raise(stopSignalled_);
  }

  bool Busy() const { return busy_.load(); }

  // Ends the thread of a worker that is not busy and frees a job still attached.
  void StopAndJoin() {
    RequestStop();
    if (thread_.joinable()) thread_.join();
    job_.reset();
  }

  // Leaves a worker whose job outlived Shutdown's wait to end on its own thread;
  // the thread keeps this object and the pool's core alive until then.
  void Abandon() {
    if (thread_.joinable()) thread_.detach();
  }

 private:
  void Raise(bool& flag) {
    {
      std::lock_guard<std::mutex> guard(signalMutex_);
      flag = true;
    }
    signal_.notify_one();
  }

  // A job handed over before the stop request still runs: the pool counts it as
  // running (Busy), and Shutdown waits for running jobs rather than dropping them.
  Signal WaitForSignal() {
    std::unique_lock<std::mutex> guard(signalMutex_);
    signal_.wait(guard, [this] { return stopSignalled_ || jobSignalled_; });
    if (jobSignalled_) {
      jobSignalled_ = false;
      return Signal::Job;
    }
    stopSignalled_ = false;
    return Signal::Stop;
  }

  void RunJob() {
    std::unique_ptr<TWorkerThreadJob> job = std::move(job_);
    try {
      if (job) job->Execute();
    } catch (...) {
      // A job's failure is its own business; the worker stays available.
    }
  }

  void Run(Core& pool) {
    while (WaitForSignal() == Signal::Job) {
      RunJob();
      if (!stopRequested_) {
        try {
          pool.ProcessQueue();
        } catch (...) {
          // No thread could be created for a queued job: it stays queued for the
          // next worker that finishes or the next AddJob; this worker carries on.
        }
      }
      // A stop request ends the loop at the next wait, after a job this worker
      // may just have taken from the queue.
      pool.WorkerBecameIdle(*this);
    }
  }

  friend class Core;

  std::unique_ptr<TWorkerThreadJob> job_;
  std::atomic<bool> busy_{false};
  std::atomic<bool> stopRequested_{false};
  std::mutex signalMutex_;
  std::condition_variable signal_;
  bool jobSignalled_ = false;
  bool stopSignalled_ = false;
  std::thread thread_;
};

// --- settings -------------------------------------------------------------------

int TWorkerThreadPool::Core::MinThreads() const {
  std::lock_guard<std::mutex> guard(lock_);
  return minThreads_;
}

int TWorkerThreadPool::Core::MaxThreads() const {
  std::lock_guard<std::mutex> guard(lock_);
  return maxThreads_;
}

void TWorkerThreadPool::Core::SetMinThreads(int value) {
  if (!IsValidThreadSetting(value)) return;
  std::lock_guard<std::mutex> guard(lock_);
  minThreads_ = value;
}

void TWorkerThreadPool::Core::SetMaxThreads(int value) {
  if (!IsValidThreadSetting(value)) return;
  std::lock_guard<std::mutex> guard(lock_);
  maxThreads_ = value;
}

// --- dispatching (under lock_) -------------------------------------------------

TWorkerThreadPool::Core::Worker* TWorkerThreadPool::Core::FirstIdleWorker() const {
  for (const WorkerPtr& worker : workers_) {
    if (!worker->Busy()) return worker.get();
  }
  return nullptr;
}

TWorkerThreadPool::Core::Worker* TWorkerThreadPool::Core::CreateWorker() {
  auto worker = std::make_shared<Worker>();
  worker->Start(shared_from_this(), worker);
  workers_.push_back(worker);
  return worker.get();
}

void TWorkerThreadPool::Core::HandOver(Worker& worker, std::unique_ptr<TWorkerThreadJob> job) {
  ++busyWorkers_;
  worker.AttachJob(std::move(job));
}

void TWorkerThreadPool::Core::DestroyWorkerAt(size_t index) {
  WorkerPtr worker = workers_[index];
  workers_.erase(workers_.begin() + static_cast<std::ptrdiff_t>(index));
  worker->StopAndJoin();
}

// Keeps the first MinThreads workers; idle workers behind them are ended.
void TWorkerThreadPool::Core::TrimIdleWorkers() {
  const size_t keep = static_cast<size_t>(minThreads_);
  for (size_t index = workers_.size(); index > keep; --index) {
    if (!workers_[index - 1]->Busy()) DestroyWorkerAt(index - 1);
  }
}

void TWorkerThreadPool::Core::AddJob(std::unique_ptr<TWorkerThreadJob> job) {
  std::unique_ptr<TWorkerThreadJob> refused;  // freed after the lock is released
  std::lock_guard<std::mutex> guard(lock_);
  if (shutDown_) {
    refused = std::move(job);
    return;
  }
  Worker* worker = FirstIdleWorker();
  if (worker == nullptr && workers_.size() < static_cast<size_t>(maxThreads_)) {
    try {
      worker = CreateWorker();
    } catch (...) {
      // Without any worker the job could never run: the caller learns it (and
      // the job is freed). Otherwise it waits in the queue for a busy worker.
      if (workers_.empty()) throw;
    }
  }
  if (worker != nullptr) {
    HandOver(*worker, std::move(job));
  } else {
    queue_.push_back(std::move(job));
    ++queuedJobs_;
  }
  // The minimum is a readiness measure: once the job is placed, failing to create
  // a spare thread must not report the placed job as failed. MaxThreads stays the
  // hard cap even when MinThreads was set above it.
  try {
    const size_t wanted = static_cast<size_t>(std::min(minThreads_, maxThreads_));
    while (workers_.size() < wanted) CreateWorker();
  } catch (...) {
  }
  TrimIdleWorkers();
}

void TWorkerThreadPool::Core::ProcessQueue() {
  std::lock_guard<std::mutex> guard(lock_);
  if (shutDown_ || queue_.empty()) return;
  Worker* worker = FirstIdleWorker();
  if (worker == nullptr && workers_.size() < static_cast<size_t>(maxThreads_)) {
    worker = CreateWorker();
  }
  if (worker == nullptr) return;
  std::unique_ptr<TWorkerThreadJob> job = std::move(queue_.front());
  queue_.pop_front();
  --queuedJobs_;
  HandOver(*worker, std::move(job));
}

// --- state for waiters ---------------------------------------------------------

// Two workers finishing together may each look at the queue while the other is
// still busy and both go idle, leaving queued jobs with nobody to start them. The
// idle transition is therefore taken under the lock, and the last worker to go
// idle takes the oldest queued job itself.
void TWorkerThreadPool::Core::WorkerBecameIdle(Worker& worker) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    worker.busy_ = false;
    --busyWorkers_;
    if (!shutDown_ && !worker.stopRequested_ && !queue_.empty() && busyWorkers_.load() == 0) {
      std::unique_ptr<TWorkerThreadJob> job = std::move(queue_.front());
      queue_.pop_front();
      --queuedJobs_;
      HandOver(worker, std::move(job));
    }
  }
  NotifyStateChanged();
}

void TWorkerThreadPool::Core::NotifyStateChanged() const {
  { std::lock_guard<std::mutex> guard(stateMutex_); }
  stateChanged_.notify_all();
}

int TWorkerThreadPool::Core::WorkerCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return static_cast<int>(workers_.size());
}

bool TWorkerThreadPool::Core::WaitFor(int busy, bool queueEmpty, unsigned timeoutMs) const {
  std::unique_lock<std::mutex> guard(stateMutex_);
  return stateChanged_.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] {
    return busyWorkers_.load() <= busy && (!queueEmpty || queuedJobs_.load() == 0);
  });
}

// --- shutdown ------------------------------------------------------------------

// Waits while the worker is busy, handling the caller's window events, for at
// most jobWaitLimitMs; then joins the worker or leaves it to end on its own.
void TWorkerThreadPool::Core::WaitForWorkerOrGiveUp(const WorkerPtr& worker) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(jobWaitLimitMs.load());
  for (;;) {
    {
      std::unique_lock<std::mutex> guard(stateMutex_);
      const auto sliceEnd =
          std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(kShutdownPumpSliceMs));
      stateChanged_.wait_until(guard, sliceEnd, [&] { return !worker->Busy(); });
    }
    if (!worker->Busy()) {
      worker->StopAndJoin();
      return;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      worker->Abandon();
      return;
    }
    platform::GetUiHooks().PumpMessages(0);
  }
}

void TWorkerThreadPool::Core::Shutdown() {
  std::deque<std::unique_ptr<TWorkerThreadJob>> unrun;
  std::vector<WorkerPtr> workers;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (shutDown_) return;
    shutDown_ = true;
    unrun.swap(queue_);
    queuedJobs_ = 0;
    // Asked to stop, a worker that finishes its job no longer looks at the queue.
    for (const WorkerPtr& worker : workers_) worker->RequestStop();
    workers.swap(workers_);
  }
  // Outside the lock: a job's destructor or a window event handled while waiting
  // may call AddJob, which then finds the pool shut down instead of a held lock.
  unrun.clear();
  NotifyStateChanged();
  for (const WorkerPtr& worker : workers) WaitForWorkerOrGiveUp(worker);
}

// --- the pool ------------------------------------------------------------------

TWorkerThreadPool::TWorkerThreadPool(int minimum, int maximum) : core_(std::make_shared<Core>()) {
  core_->SetMinThreads(minimum);
  core_->SetMaxThreads(maximum);
}

TWorkerThreadPool::~TWorkerThreadPool() { Shutdown(); }

int TWorkerThreadPool::MinThreads() const { return core_->MinThreads(); }
int TWorkerThreadPool::MaxThreads() const { return core_->MaxThreads(); }
void TWorkerThreadPool::SetMinThreads(int value) { core_->SetMinThreads(value); }
void TWorkerThreadPool::SetMaxThreads(int value) { core_->SetMaxThreads(value); }

void TWorkerThreadPool::AddJob(std::unique_ptr<TWorkerThreadJob> job) { core_->AddJob(std::move(job)); }
void TWorkerThreadPool::Shutdown() { core_->Shutdown(); }

unsigned TWorkerThreadPool::JobWaitLimitMs() const { return core_->jobWaitLimitMs.load(); }
void TWorkerThreadPool::SetJobWaitLimitMs(unsigned milliseconds) { core_->jobWaitLimitMs = milliseconds; }

int TWorkerThreadPool::WorkerCount() const { return core_->WorkerCount(); }
int TWorkerThreadPool::BusyWorkerCount() const { return core_->BusyWorkerCount(); }
int TWorkerThreadPool::QueuedJobCount() const { return core_->QueuedJobCount(); }

bool TWorkerThreadPool::WaitForBusyAtMost(int busy, unsigned timeoutMs) const {
  return core_->WaitFor(busy, false, timeoutMs);
}

bool TWorkerThreadPool::WaitUntilIdle(unsigned timeoutMs) const { return core_->WaitFor(0, true, timeoutMs); }

}  // namespace wb
