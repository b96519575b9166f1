// The node pool of the JSON tree: small blocks (tree nodes, member names, string
// values, child lists) come from per-thread free lists instead of the general
// heap, so that parsing a server reply or the entries file costs a pointer pop
// per node and freeing a tree a pointer push. Blocks may be freed on another
// thread than the one that made them; a thread that ends hands its free blocks
// to a shared depot. Memory taken by the pool is kept for reuse, never returned.
// Sanitizer builds bypass the pool so that every block is checked on its own.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace wb::json_pool {

// Blocks up to this size are pooled; larger ones go to the general heap.
inline constexpr std::size_t kMaxPooledBlock = 256;

void* Allocate(std::size_t size);
void Release(void* block, std::size_t size) noexcept;

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
  bool operator==(const PoolAllocator<U>&) const noexcept { return true; }
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
