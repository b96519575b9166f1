// TWBBalTree: the name index of a JSON object, an AA tree (a balanced binary
// tree kept level by skew and split) from member names to member positions.
// Names compare by exact UTF-16 code units: case matters, nothing is trimmed.
// An empty subtree is nil and counts as level 0.
//
// A node refers to its name instead of copying it: the object's members hold
// their names for as long as they live, and the object rebuilds its index
// whenever a member leaves. Whoever else inserts must keep the names alive too.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "json/wbjson_pool.h"

namespace wb {

struct TWBBalNode : TPooledObject {
  std::unique_ptr<TWBBalNode> Left;
  std::unique_ptr<TWBBalNode> Right;
  uint8_t Level = 1;
  int32_t Position = -1;
  std::u16string_view Name;
};

class TWBBalTree {
 public:
  TWBBalTree() = default;
  TWBBalTree(const TWBBalTree&) = delete;
  TWBBalTree& operator=(const TWBBalTree&) = delete;

  // False when the name is present already; the tree is then unchanged. The
  // name's storage must outlive the entry.
  bool Insert(std::u16string_view name, int32_t position);
  // The position stored for the name, or -1.
  int32_t Find(std::u16string_view name) const;
  // Frees every node; the tree is empty afterwards.
  void Clear() { Root.reset(); }
  bool Empty() const { return Root == nullptr; }

  std::unique_ptr<TWBBalNode> Root;
};

}  // namespace wb
