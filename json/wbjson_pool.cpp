// The tree's storage: 64 KB chunks, each aligned to its size and headed by its
// owner, serving either a document arena (filled in order, returned whole) or
// the per-thread free lists by size class.
#include "json/wbjson_pool.h"

#include <cstdint>
#include <mutex>
#include <new>

#ifdef WB_JSON_POOL_POISON
#include <sanitizer/asan_interface.h>
#endif

namespace wb::json_pool {

namespace {

constexpr std::size_t kGranule = 16;  // also the alignment of every block
constexpr std::size_t kClassCount = kMaxPooledBlock / kGranule;
constexpr std::size_t kChunkBytes = std::size_t{64} * 1024;
constexpr std::size_t kCachedChunks = 64;  // free chunks kept for the next arena

enum class ChunkKind : uint32_t { Pool, Arena };

struct alignas(kGranule) ChunkHeader {
  ChunkKind Kind;
  Arena* Owner;
  ChunkHeader* Next;  // the next chunk of its arena, of the free chunks, or of all pool chunks
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

// Marks memory that no caller owns (free blocks, unused chunk space) and gives
// it back when a block is handed out. Nothing in other builds.
void Poison([[maybe_unused]] void* memory, [[maybe_unused]] std::size_t size) {
#ifdef WB_JSON_POOL_POISON
  ASAN_POISON_MEMORY_REGION(memory, size);
#endif
}

void Unpoison([[maybe_unused]] void* memory, [[maybe_unused]] std::size_t size) {
#ifdef WB_JSON_POOL_POISON
  ASAN_UNPOISON_MEMORY_REGION(memory, size);
#endif
}

// The link of a free block lies inside the poisoned block: the pool opens just
// that word while it reads or writes it.
FreeBlock* NextOf(FreeBlock* block) {
  Unpoison(block, sizeof(FreeBlock));
  FreeBlock* next = block->Next;
  Poison(block, sizeof(FreeBlock));
  return next;
}

void SetNext(FreeBlock* block, FreeBlock* next) {
  Unpoison(block, sizeof(FreeBlock));
  block->Next = next;
  Poison(block, sizeof(FreeBlock));
}

// A free list by size class: the head is handed out next. The tail is valid
// while the list is not empty; lists are spliced whole through it.
void PushFree(FreeBlock*& head, FreeBlock*& tail, FreeBlock* block) {
  if (head == nullptr) {
    SetNext(block, nullptr);
    head = tail = block;
  } else if (kPoisonsFreeBlocks) {
    SetNext(block, nullptr);
    SetNext(tail, block);
    tail = block;
  } else {
    SetNext(block, head);  // the block most likely still in the cache comes next
    head = block;
  }
}

// Shared by all threads, guarded by its mutex: free chunks, and the free blocks
// of ended threads. It lives until the process ends (static destructors of other
// units still free blocks), so it is never destroyed.
struct Depot {
  std::mutex Mutex;
  // Every pool chunk ever made: they stay with the process, and their blocks'
  // links (poisoned in AddressSanitizer builds, so unseen by its leak check)
  // must not be the only way to reach them.
  ChunkHeader* PoolChunks = nullptr;
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
  Poison(reinterpret_cast<char*>(chunk) + sizeof(ChunkHeader), kChunkBytes - sizeof(ChunkHeader));
  chunk->Kind = kind;
  chunk->Owner = owner;
  chunk->Next = nullptr;
  return chunk;
}

void ReturnChunk(ChunkHeader* chunk) {
  Poison(reinterpret_cast<char*>(chunk) + sizeof(ChunkHeader), kChunkBytes - sizeof(ChunkHeader));
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

// Hands the thread's free blocks to the depot when the thread ends. Armed when
// a thread first takes a pool chunk or first frees into an empty list (a
// thread that only frees blocks made elsewhere must not take them along), so
// that the hot path stays free of it.
struct CacheReturner {
  bool Armed = false;
  ~CacheReturner() {
    Depot& depot = TheDepot();
    std::lock_guard<std::mutex> lock(depot.Mutex);
    // Whole lists are spliced in front of the depot's: no walk over the blocks.
    for (std::size_t i = 0; i < kClassCount; ++i) {
      if (tCache.Lists[i] == nullptr) continue;
      if (depot.Lists[i] == nullptr) depot.Tails[i] = tCache.Tails[i];
      SetNext(tCache.Tails[i], depot.Lists[i]);
      depot.Lists[i] = tCache.Lists[i];
      tCache.Lists[i] = nullptr;
    }
    // The rest of the current chunk goes back as blocks of the largest class,
    // so that threads that come and go do not leave chunks behind.
    const std::size_t largest = BlockSize(kClassCount - 1);
    while (tCache.Bump != nullptr && static_cast<std::size_t>(tCache.BumpEnd - tCache.Bump) >= largest) {
      auto* block = reinterpret_cast<FreeBlock*>(tCache.Bump);
      tCache.Bump += largest;
      PushFree(depot.Lists[kClassCount - 1], depot.Tails[kClassCount - 1], block);
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
        tCache.Lists[sizeClass] = NextOf(list);
        tCache.Tails[sizeClass] = depot.Tails[sizeClass];
        return list;
      }
    }
    tReturner.Armed = true;
    // Pool chunks stay with the process: their blocks may be in use on any thread.
    ChunkHeader* chunk = NewChunk(ChunkKind::Pool, nullptr);
    {
      Depot& depot = TheDepot();
      std::lock_guard<std::mutex> lock(depot.Mutex);
      chunk->Next = depot.PoolChunks;
      depot.PoolChunks = chunk;
    }
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
    Unpoison(ChunkBegin(first), sizeof(Arena));
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

namespace {

void* TakeBlock(std::size_t size) {
  if (tCache.CurrentArena != nullptr) return tCache.CurrentArena->Allocate(size);
  const std::size_t sizeClass = ClassOf(size);
  if (FreeBlock* block = tCache.Lists[sizeClass]) {
    tCache.Lists[sizeClass] = NextOf(block);
    return block;
  }
  return RefillPool(sizeClass);
}

}  // namespace

void* Allocate(std::size_t size) {
  if (size == 0 || size > kMaxPooledBlock) return ::operator new(size);
  void* block = TakeBlock(size);
  // Exactly the asked size: a write past it into the block's rounding is caught too.
  Unpoison(block, size);
  return block;
}

void Release(void* block, std::size_t size) noexcept {
  if (block == nullptr) return;
  if (size == 0 || size > kMaxPooledBlock) {
    ::operator delete(block);
    return;
  }
  Poison(block, RoundUp(size));
  ChunkHeader* chunk = HeaderOf(block);
  if (chunk->Kind == ChunkKind::Arena) {
    chunk->Owner->ReleaseOne();
    return;
  }
  const std::size_t sizeClass = ClassOf(size);
  if (tCache.Lists[sizeClass] == nullptr) tReturner.Armed = true;
  PushFree(tCache.Lists[sizeClass], tCache.Tails[sizeClass], static_cast<FreeBlock*>(block));
}

ArenaScope::ArenaScope() : arena_(Arena::Create()), previous_(tCache.CurrentArena) { tCache.CurrentArena = arena_; }

ArenaScope::~ArenaScope() {
  tCache.CurrentArena = previous_;
  arena_->Close();
}

}  // namespace wb::json_pool
