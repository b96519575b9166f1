// The tree's storage: 64 KB chunks, each aligned to its size and headed by its
// owner, serving either a document arena (filled in order, returned whole) or
// the per-thread free lists by size class.
#include "json/wbjson_pool.h"

#include <cstdint>
#include <mutex>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define WB_JSON_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define WB_JSON_POOL_BYPASS 1
#endif
#endif

namespace wb::json_pool {

#ifdef WB_JSON_POOL_BYPASS

void* Allocate(std::size_t size) { return ::operator new(size); }
void Release(void* block, std::size_t) noexcept { ::operator delete(block); }
ArenaScope::ArenaScope() : arena_(nullptr), previous_(nullptr) {}
ArenaScope::~ArenaScope() = default;

#else

namespace {

constexpr std::size_t kGranule = 16;  // also the alignment of every block
constexpr std::size_t kClassCount = kMaxPooledBlock / kGranule;
constexpr std::size_t kChunkBytes = std::size_t{64} * 1024;
constexpr std::size_t kCachedChunks = 64;  // free chunks kept for the next arena

enum class ChunkKind : uint32_t { Pool, Arena };

struct alignas(kGranule) ChunkHeader {
  ChunkKind Kind;
  Arena* Owner;
  ChunkHeader* Next;
};

struct FreeBlock {
  FreeBlock* Next;
};

std::size_t RoundUp(std::size_t size) { return (size + kGranule - 1) & ~(kGranule - 1); }
std::size_t ClassOf(std::size_t size) { return RoundUp(size) / kGranule - 1; }
std::size_t BlockSize(std::size_t sizeClass) { return (sizeClass + 1) * kGranule; }

ChunkHeader* HeaderOf(void* block) {
  return reinterpret_cast<ChunkHeader*>(reinterpret_cast<uintptr_t>(block) & ~(uintptr_t{kChunkBytes} - 1));
}

// Shared by all threads, guarded by its mutex: free chunks, and the free blocks
// of ended threads. It lives until the process ends (static destructors of other
// units still free blocks), so it is never destroyed.
struct Depot {
  std::mutex Mutex;
  ChunkHeader* FreeChunks = nullptr;
  std::size_t FreeChunkCount = 0;
  FreeBlock* Lists[kClassCount] = {};
  FreeBlock* Tails[kClassCount] = {};  // valid while the list is not empty
};

Depot& TheDepot() {
  alignas(Depot) static unsigned char storage[sizeof(Depot)];
  static Depot* depot = ::new (storage) Depot();
  return *depot;
}

ChunkHeader* NewChunk(ChunkKind kind, Arena* owner) {
  ChunkHeader* chunk = nullptr;
  {
    Depot& depot = TheDepot();
    std::lock_guard<std::mutex> lock(depot.Mutex);
    if (depot.FreeChunks != nullptr) {
      chunk = depot.FreeChunks;
      depot.FreeChunks = chunk->Next;
      --depot.FreeChunkCount;
    }
  }
  if (chunk == nullptr) chunk = static_cast<ChunkHeader*>(::operator new (kChunkBytes, std::align_val_t{kChunkBytes}));
  chunk->Kind = kind;
  chunk->Owner = owner;
  chunk->Next = nullptr;
  return chunk;
}

void ReturnChunk(ChunkHeader* chunk) {
  {
    Depot& depot = TheDepot();
    std::lock_guard<std::mutex> lock(depot.Mutex);
    if (depot.FreeChunkCount < kCachedChunks) {
      chunk->Next = depot.FreeChunks;
      depot.FreeChunks = chunk;
      ++depot.FreeChunkCount;
      return;
    }
  }
  ::operator delete (chunk, std::align_val_t{kChunkBytes});
}

char* ChunkBegin(ChunkHeader* chunk) { return reinterpret_cast<char*>(chunk) + sizeof(ChunkHeader); }
char* ChunkEnd(ChunkHeader* chunk) { return reinterpret_cast<char*>(chunk) + kChunkBytes; }

// Trivially destructible, so that reaching it costs no initialisation check.
struct ThreadCache {
  FreeBlock* Lists[kClassCount];
  FreeBlock* Tails[kClassCount];  // valid while the list is not empty
  char* Bump;
  char* BumpEnd;
  Arena* CurrentArena;
};
thread_local ThreadCache tCache;

// Hands the thread's free blocks to the depot when the thread ends. Touched
// only when a thread first takes a pool chunk, so that the hot path stays free of it.
struct CacheReturner {
  bool Armed = false;
  ~CacheReturner() {
    Depot& depot = TheDepot();
    std::lock_guard<std::mutex> lock(depot.Mutex);
    // Whole lists are spliced in front of the depot's: no walk over the blocks.
    for (std::size_t i = 0; i < kClassCount; ++i) {
      if (tCache.Lists[i] == nullptr) continue;
      if (depot.Lists[i] == nullptr) depot.Tails[i] = tCache.Tails[i];
      tCache.Tails[i]->Next = depot.Lists[i];
      depot.Lists[i] = tCache.Lists[i];
      tCache.Lists[i] = nullptr;
    }
    // The rest of the current chunk goes back as blocks of the largest class,
    // so that threads that come and go do not leave chunks behind.
    const std::size_t largest = BlockSize(kClassCount - 1);
    while (tCache.Bump != nullptr && static_cast<std::size_t>(tCache.BumpEnd - tCache.Bump) >= largest) {
      auto* block = reinterpret_cast<FreeBlock*>(tCache.Bump);
      tCache.Bump += largest;
      if (depot.Lists[kClassCount - 1] == nullptr) depot.Tails[kClassCount - 1] = block;
      block->Next = depot.Lists[kClassCount - 1];
      depot.Lists[kClassCount - 1] = block;
    }
    tCache.Bump = tCache.BumpEnd = nullptr;
  }
};
thread_local CacheReturner tReturner;

void* RefillPool(std::size_t sizeClass) {
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
        tCache.Tails[sizeClass] = depot.Tails[sizeClass];
        return list;
      }
    }
    tReturner.Armed = true;
    // Pool chunks stay with the process: their blocks may be in use on any thread.
    ChunkHeader* chunk = NewChunk(ChunkKind::Pool, nullptr);
    tCache.Bump = ChunkBegin(chunk);
    tCache.BumpEnd = ChunkEnd(chunk);
  }
  void* block = tCache.Bump;
  tCache.Bump += size;
  return block;
}

}  // namespace

// Lives at the start of its first chunk, behind the header; it needs no
// destructor, its memory goes with that chunk.
class Arena {
 public:
  static Arena* Create() {
    ChunkHeader* first = NewChunk(ChunkKind::Arena, nullptr);
    auto* arena = ::new (ChunkBegin(first)) Arena();
    first->Owner = arena;
    arena->chunks_ = first;
    arena->bump_ = ChunkBegin(first) + RoundUp(sizeof(Arena));
    arena->end_ = ChunkEnd(first);
    return arena;
  }

  void* Allocate(std::size_t size) {
    size = RoundUp(size);
    if (static_cast<std::size_t>(end_ - bump_) < size) {
      ChunkHeader* chunk = NewChunk(ChunkKind::Arena, this);
      chunk->Next = chunks_;
      chunks_ = chunk;
      bump_ = ChunkBegin(chunk);
      end_ = ChunkEnd(chunk);
    }
    void* block = bump_;
    bump_ += size;
    ++live_;
    return block;
  }

  void ReleaseOne() {
    if (--live_ == 0 && !active_) Destroy();
  }

  void Close() {
    active_ = false;
    if (live_ == 0) Destroy();
  }

 private:
  void Destroy() {
    ChunkHeader* chunk = chunks_;  // the list outlives this object's chunk
    while (chunk != nullptr) {
      ChunkHeader* next = chunk->Next;
      ReturnChunk(chunk);
      chunk = next;
    }
  }

  ChunkHeader* chunks_ = nullptr;
  char* bump_ = nullptr;
  char* end_ = nullptr;
  std::size_t live_ = 0;
  bool active_ = true;
};

void* Allocate(std::size_t size) {
  if (size == 0 || size > kMaxPooledBlock) return ::operator new(size);
  if (tCache.CurrentArena != nullptr) return tCache.CurrentArena->Allocate(size);
  const std::size_t sizeClass = ClassOf(size);
  if (FreeBlock* block = tCache.Lists[sizeClass]) {
    tCache.Lists[sizeClass] = block->Next;
    return block;
  }
  return RefillPool(sizeClass);
}

void Release(void* block, std::size_t size) noexcept {
  if (block == nullptr) return;
  if (size == 0 || size > kMaxPooledBlock) {
    ::operator delete(block);
    return;
  }
  ChunkHeader* chunk = HeaderOf(block);
  if (chunk->Kind == ChunkKind::Arena) {
    chunk->Owner->ReleaseOne();
    return;
  }
  const std::size_t sizeClass = ClassOf(size);
  auto* freed = static_cast<FreeBlock*>(block);
  if (tCache.Lists[sizeClass] == nullptr) tCache.Tails[sizeClass] = freed;
  freed->Next = tCache.Lists[sizeClass];
  tCache.Lists[sizeClass] = freed;
}

ArenaScope::ArenaScope() : arena_(Arena::Create()), previous_(tCache.CurrentArena) { tCache.CurrentArena = arena_; }

ArenaScope::~ArenaScope() {
  tCache.CurrentArena = previous_;
  arena_->Close();
}

#endif  // WB_JSON_POOL_BYPASS

}  // namespace wb::json_pool
