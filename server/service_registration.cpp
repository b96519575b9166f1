// Read-modify-write of the local-service list under "<list>.lock", a file made
// with CREATE_NEW: whoever creates it holds the lock. A lock older than
// kStaleLockSeconds belongs to a server that died while holding it.
#include "server/service_registration.h"

#include <chrono>
#include <functional>
#include <thread>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "strings/string_list.h"

namespace wb::server {

namespace {

constexpr int kLockAttempts = 200;
constexpr auto kLockPause = std::chrono::milliseconds(25);
constexpr int64_t kStaleLockSeconds = 10;

std::string ListFileName() { return GetClientTempDir("") + LocalServiceListFile; }

int64_t NowAsFileTime() {
  auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  int64_t hundredNs = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100;
  return hundredNs + int64_t{116444736000000000};  // 1601-01-01 to 1970-01-01
}

bool LockIsStale(const std::string& lockName) {
  platform::FindData data;
  if (!platform::FindEntry(lockName, data)) return false;
  return NowAsFileTime() - static_cast<int64_t>(data.LastWriteTime) > kStaleLockSeconds * 10000000;
}

class ListLock {
 public:
  explicit ListLock(std::string name) : name_(std::move(name)) {
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
      if (platform::CreateFile(name_, platform::kGenericWrite, 0, platform::kCreateNew,
                               platform::kFileAttributeNormal)) {
        held_ = true;
        return;
      }
      if (LockIsStale(name_)) {
        platform::DeleteFile(name_);
        continue;
      }
      std::this_thread::sleep_for(kLockPause);
    }
    throw EInOutError(FormatMessageText("Die Sperre %s wird nicht frei.", name_),
                      static_cast<int>(platform::kErrorLockViolation));
  }
  ~ListLock() {
    if (held_) platform::DeleteFile(name_);
  }
  ListLock(const ListLock&) = delete;
  ListLock& operator=(const ListLock&) = delete;

 private:
  std::string name_;
  bool held_ = false;
};

void ChangeList(const std::function<bool(TStringList&)>& change) {
  const std::string fileName = ListFileName();
  ListLock lock(fileName + ".lock");
  TStringList lines;
  LoadListRetry(lines, fileName);
  if (change(lines)) SaveListRetry(lines, fileName);
}

int IndexOfExact(const TStringList& lines, const std::string& name) {
  for (int i = 0; i < lines.Count(); ++i) {
    if (lines.Get(i) == name) return i;
  }
  return -1;
}

}  // namespace

void PublishServiceName(const std::string& name) {
  ChangeList([&](TStringList& lines) {
    if (IndexOfExact(lines, name) >= 0) return false;
    lines.Add(name);
    return true;
  });
}

void WithdrawServiceName(const std::string& name) {
  ChangeList([&](TStringList& lines) {
    int index = IndexOfExact(lines, name);
    if (index < 0) return false;
    lines.Delete(index);
    return true;
  });
}

}  // namespace wb::server
