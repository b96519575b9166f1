// The worker thread pool: runs short jobs (starting programs for documents) away
// from the user-interface thread. A few worker threads, grown on demand up to
// MaxThreads, and a first-in-first-out queue for jobs that find no free worker.
#pragma once

#include <memory>

namespace wb {

// The base of every job. Whoever adds a job to a pool gives it up: the pool frees
// it after Execute has returned or raised, or at shutdown when it never ran.
class TWorkerThreadJob {
 public:
  virtual ~TWorkerThreadJob() = default;
  // The job's work, on a worker thread. Whatever it raises is dropped by the pool.
  virtual void Execute() = 0;
};

// How long Shutdown waits for one running job before it gives up on it and lets
// the process end: a program start that hangs must not keep the tool alive.
inline constexpr unsigned kShutdownJobWaitMs = 10000;

class TWorkerThreadPool {
 public:
  // MinThreads and MaxThreads start at their defaults (1 and 5) and are then set
  // through the setters, which accept only 2..64.
  TWorkerThreadPool(int minimum, int maximum);
  // Runs Shutdown.
  ~TWorkerThreadPool();
  TWorkerThreadPool(const TWorkerThreadPool&) = delete;
  TWorkerThreadPool& operator=(const TWorkerThreadPool&) = delete;

  int MinThreads() const;
  int MaxThreads() const;
  // Values outside 2..64 leave the setting unchanged.
  void SetMinThreads(int value);
  void SetMaxThreads(int value);

  // Hands the job to the first free worker, creates a worker when none is free and
  // the pool is below MaxThreads, or queues the job; then keeps at least MinThreads
  // workers and ends idle workers beyond them. After Shutdown the job is freed unrun.
  void AddJob(std::unique_ptr<TWorkerThreadJob> job);

  // Frees the queued jobs unrun, asks every worker to stop and waits for each
  // running job (at most JobWaitLimitMs each) while the caller's window events keep
  // flowing. A job that outlives its wait is left to finish on its own thread.
  // Repeated calls do nothing.
  void Shutdown();

  // The bound of Shutdown's wait per running job (kShutdownJobWaitMs by default).
  unsigned JobWaitLimitMs() const;
  void SetJobWaitLimitMs(unsigned milliseconds);

  // A snapshot of the pool's state, for callers that need to know when their
  // jobs are through (tests, an orderly end of a batch run).
  int WorkerCount() const;
  int BusyWorkerCount() const;
  int QueuedJobCount() const;
  // Waits until no more than `busy` workers are busy (and, for WaitUntilIdle, no
  // job is queued). False when the time ran out first.
  bool WaitForBusyAtMost(int busy, unsigned timeoutMs) const;
  bool WaitUntilIdle(unsigned timeoutMs) const;

 private:
  class Core;
  // Shared with the worker threads, so that a worker abandoned by Shutdown can
  // still finish safely after the pool object itself is gone.
  std::shared_ptr<Core> core_;
};

}  // namespace wb
