// TOutputQueue: the server's PDF and print jobs run one after another on a
// worker thread of their own, so a request is acknowledged at once and the
// connection threads never wait for a renderer.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace wb::server {

class TOutputQueue {
 public:
  TOutputQueue();
  ~TOutputQueue();
  TOutputQueue(const TOutputQueue&) = delete;
  TOutputQueue& operator=(const TOutputQueue&) = delete;

  void Add(std::function<void()> job);
  // Waits at most timeoutMs until every job added so far has run. True when done.
  bool WaitIdle(int timeoutMs);

 private:
  void Work();

  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> jobs_;
  bool running_ = false;  // a job is being run right now
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace wb::server
