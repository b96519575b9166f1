// The AA tree of member names. Insert descends recursively (the height stays
// logarithmic) and skews, then splits every node on the way back up.
#include "json/wbjson_baltree.h"

#include <utility>

namespace wb {
namespace {

using NodePtr = std::unique_ptr<TWBBalNode>;

int LevelOf(const NodePtr& node) { return node ? node->Level : 0; }

// A left child on the node's level becomes the parent (rotate right).
void Skew(NodePtr& node) {
  if (LevelOf(node->Left) != node->Level) return;
  NodePtr left = std::move(node->Left);
  node->Left = std::move(left->Right);
  left->Right = std::move(node);
  node = std::move(left);
}

// Two right links in a row on one level: the middle node rises (rotate left).
void Split(NodePtr& node) {
  if (!node->Right || LevelOf(node->Right->Right) != node->Level) return;
  NodePtr right = std::move(node->Right);
  node->Right = std::move(right->Left);
  right->Left = std::move(node);
  node = std::move(right);
  ++node->Level;
}

bool InsertAt(NodePtr& slot, std::u16string_view name, int32_t position) {
  if (!slot) {
    slot = std::make_unique<TWBBalNode>();
    slot->Position = position;
    slot->Name = name;
    return true;
  }
  const int order = name.compare(slot->Name);
  if (order == 0) return false;
  if (!InsertAt(order < 0 ? slot->Left : slot->Right, name, position)) return false;
  Skew(slot);
  Split(slot);
  return true;
}

}  // namespace

bool TWBBalTree::Insert(std::u16string_view name, int32_t position) { return InsertAt(Root, name, position); }

int32_t TWBBalTree::Find(std::u16string_view name) const {
  const TWBBalNode* node = Root.get();
  while (node != nullptr) {
    const int order = name.compare(node->Name);
    if (order == 0) return node->Position;
    node = order < 0 ? node->Left.get() : node->Right.get();
  }
  return -1;
}

}  // namespace wb
