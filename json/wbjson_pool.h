// Storage of the JSON tree. Small blocks (tree nodes, member names, string
// values, child lists, index nodes) never go to the general heap one by one:
//
// - While a large text is parsed, the thread's blocks come from a document
//   arena: 64 KB chunks filled in order, so that the tree lies in memory in the
//   order in which the writer walks it. Freeing a block of an arena only counts
//   it; the arena's chunks go back when its last block is freed. Parsed trees
//   never hand their children out, so the arena ends with its tree. The count
//   is not atomic: like the tree, an arena's blocks are freed by one thread at
//   a time (any thread, one after the other).
// - Everything else comes from per-thread free lists by size class. Blocks may
//   be freed on another thread than the one that made them; a thread that ends
//   hands its free blocks to a shared depot. Pool memory is kept for reuse.
//
// Every chunk is aligned to its size and begins with a header that says which
// of the two owns it, so that freeing a block needs no other bookkeeping.
//
// AddressSanitizer builds keep both, so that the checked program allocates as
// the shipped one does, and poison every block that is not handed out: a use
// of a freed node, string or child list is reported like a use of freed heap.
// Freed blocks are then reused oldest first, so that a stale pointer stays
// poisoned as long as possible.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define WB_JSON_POOL_POISON 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WB_JSON_POOL_POISON 1
#endif
#endif

namespace wb::json_pool {

#ifdef WB_JSON_POOL_POISON
inline constexpr bool kPoisonsFreeBlocks = true;
#else
inline constexpr bool kPoisonsFreeBlocks = false;
#endif

// Blocks up to this size are pooled; larger ones go to the general heap.
inline constexpr std::size_t kMaxPooledBlock = 256;
// Texts from this size on are parsed into an arena; smaller ones (a single
// entry, a short reply) would leave most of a chunk unused.
inline constexpr std::size_t kArenaTextThreshold = std::size_t{16} * 1024;

void* Allocate(std::size_t size);
void Release(void* block, std::size_t size) noexcept;

class Arena;

// While it lives, the thread's allocations come from a new arena.
class ArenaScope {
 public:
  ArenaScope();
  ~ArenaScope();
  ArenaScope(const ArenaScope&) = delete;
  ArenaScope& operator=(const ArenaScope&) = delete;

 private:
  Arena* arena_;
  Arena* previous_;
};

// A standard allocator over the pool, for the strings and child lists of the tree.
template <typename T>
struct PoolAllocator {
  using value_type = T;
  PoolAllocator() noexcept = default;
  template <typename U>
  PoolAllocator(const PoolAllocator<U>&) noexcept {}
  T* allocate(std::size_t count) { return static_cast<T*>(Allocate(count * sizeof(T))); }
  void deallocate(T* block, std::size_t count) noexcept { Release(block, count * sizeof(T)); }
  template <typename U>
  bool operator==(const PoolAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace wb::json_pool

namespace wb {

// UTF-16 text as the tree stores it (member names, string values).
using TWideText = std::basic_string<char16_t, std::char_traits<char16_t>, json_pool::PoolAllocator<char16_t>>;

// Gives a class pooled storage: every JSON value and index node derives from it.
struct TPooledObject {
  static void* operator new(std::size_t size) { return json_pool::Allocate(size); }
  static void operator delete(void* block, std::size_t size) noexcept { json_pool::Release(block, size); }
};

}  // namespace wb
