// TWBBalTree: the name index of a JSON object, an AA tree (a balanced binary
// tree kept level by skew and split) from member names to member positions.
// Names compare by exact UTF-16 code units: case matters, nothing is trimmed.
// An empty subtree is nil and counts as level 0.
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
  TWideText Name;
};

class TWBBalTree {
 public:
  TWBBalTree() = default;
  TWBBalTree(const TWBBalTree&) = delete;
  TWBBalTree& operator=(const TWBBalTree&) = delete;

  // False when the name is present already; the tree is then unchanged.
  bool Insert(std::u16string_view name, int32_t position);
  // The position stored for the name, or -1.
  int32_t Find(std::u16string_view name) const;
  // Frees every node; the tree is empty afterwards.
  void Clear() { Root.reset(); }
  bool Empty() const { return Root == nullptr; }

  std::unique_ptr<TWBBalNode> Root;
};

}  // namespace wb
