// Joining the connection threads, the ended ones as they come and all at the end.
#include "server/connection_threads.h"

namespace wb::server {

void TConnectionThreads::JoinEnded() {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (!(*it)->Ended.load()) {
      ++it;
      continue;
    }
    (*it)->Thread.join();  // the job has returned: only the thread's own end is left
    it = entries_.erase(it);
  }
}

void TConnectionThreads::JoinAll() {
  for (auto& entry : entries_) entry->Thread.join();
  entries_.clear();
}

}  // namespace wb::server
