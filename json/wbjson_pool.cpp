// The node pool: per-thread free lists by size class over 64 KB chunks, with a
// shared depot that takes the free blocks of ending threads and feeds new ones.
#include "json/wbjson_pool.h"

#include <mutex>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define WB_JSON_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define WB_JSON_POOL_BYPASS 1
#endif
#endif

namespace wb::json_pool {
namespace {

#ifndef WB_JSON_POOL_BYPASS

constexpr std::size_t kGranule = 16;  // also the alignment of every block
constexpr std::size_t kClassCount = kMaxPooledBlock / kGranule;
constexpr std::size_t kChunkBytes = 64 * 1024;
static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ >= kGranule, "chunks must be aligned for every block");

struct FreeBlock {
  FreeBlock* Next;
};

std::size_t ClassOf(std::size_t size) { return (size + kGranule - 1) / kGranule - 1; }
std::size_t BlockSize(std::size_t sizeClass) { return (sizeClass + 1) * kGranule; }

// Shared by all threads, guarded by its mutex. It lives until the process ends
// (blocks are still freed by static destructors of other units), so it is never
// destroyed.
struct Depot {
  std::mutex Mutex;
  FreeBlock* Lists[kClassCount] = {};
};

Depot& TheDepot() {
  alignas(Depot) static unsigned char storage[sizeof(Depot)];
  static Depot* depot = ::new (storage) Depot();
  return *depot;
}

// Trivially destructible, so that reaching it costs no initialisation check.
struct ThreadCache {
  FreeBlock* Lists[kClassCount];
  char* Bump;
  char* BumpEnd;
};
thread_local ThreadCache tCache;

// Hands the thread's free blocks to the depot when the thread ends. Touched
// only when a thread first carves a chunk, so that the hot path stays free of it.
struct CacheReturner {
  bool Armed = false;
  ~CacheReturner() {
    Depot& depot = TheDepot();
    std::lock_guard<std::mutex> lock(depot.Mutex);
    for (std::size_t i = 0; i < kClassCount; ++i) {
      FreeBlock* list = tCache.Lists[i];
      while (list != nullptr) {
        FreeBlock* next = list->Next;
        list->Next = depot.Lists[i];
        depot.Lists[i] = list;
        list = next;
      }
      tCache.Lists[i] = nullptr;
    }
    // The rest of the bump chunk is given away as blocks of the largest class.
    const std::size_t largest = BlockSize(kClassCount - 1);
    while (tCache.Bump != nullptr && static_cast<std::size_t>(tCache.BumpEnd - tCache.Bump) >= largest) {
      auto* block = reinterpret_cast<FreeBlock*>(tCache.Bump);
      tCache.Bump += largest;
      block->Next = depot.Lists[kClassCount - 1];
      depot.Lists[kClassCount - 1] = block;
    }
    tCache.Bump = tCache.BumpEnd = nullptr;
  }
};
thread_local CacheReturner tReturner;

void* Refill(std::size_t sizeClass) {
  const std::size_t size = BlockSize(sizeClass);
  if (tCache.Bump == nullptr || static_cast<std::size_t>(tCache.BumpEnd - tCache.Bump) < size) {
    // Blocks that ended threads left behind come first; the lock is taken only
    // once per chunk's worth of allocations.
    {
      Depot& depot = TheDepot();
      std::lock_guard<std::mutex> lock(depot.Mutex);
      if (FreeBlock* list = depot.Lists[sizeClass]) {
        depot.Lists[sizeClass] = nullptr;
        tCache.Lists[sizeClass] = list->Next;
        return list;
      }
    }
    tReturner.Armed = true;
    // Chunks stay with the process: blocks of a chunk may be in use on any thread.
    tCache.Bump = static_cast<char*>(::operator new(kChunkBytes));
    tCache.BumpEnd = tCache.Bump + kChunkBytes;
  }
  void* block = tCache.Bump;
  tCache.Bump += size;
  return block;
}

#endif  // WB_JSON_POOL_BYPASS

}  // namespace

void* Allocate(std::size_t size) {
#ifndef WB_JSON_POOL_BYPASS
  if (size != 0 && size <= kMaxPooledBlock) {
    const std::size_t sizeClass = ClassOf(size);
    if (FreeBlock* block = tCache.Lists[sizeClass]) {
      tCache.Lists[sizeClass] = block->Next;
      return block;
    }
    return Refill(sizeClass);
  }
#endif
  return ::operator new(size);
}

void Release(void* block, std::size_t size) noexcept {
  if (block == nullptr) return;
#ifndef WB_JSON_POOL_BYPASS
  if (size != 0 && size <= kMaxPooledBlock) {
    const std::size_t sizeClass = ClassOf(size);
    auto* freed = static_cast<FreeBlock*>(block);
    freed->Next = tCache.Lists[sizeClass];
    tCache.Lists[sizeClass] = freed;
    return;
  }
#endif
  ::operator delete(block);
}

}  // namespace wb::json_pool
