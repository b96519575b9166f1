// TStringHash: buckets of singly linked items, owned by the hash.
#include "ipc/string_hash.h"

#include "strings/strutils.h"

namespace wb {

TStringHash::TStringHash(int bucketCount) : buckets_(static_cast<size_t>(bucketCount > 0 ? bucketCount : 1)) {}

TStringHash::~TStringHash() { Clear(); }

// The same ELF hash as the shared string helpers.
uint32_t TStringHash::HashOf(std::string_view key) const { return HashText(key); }

std::unique_ptr<TStringHash::Item>& TStringHash::BucketFor(std::string_view key) {
  return buckets_[HashOf(key) % static_cast<uint32_t>(buckets_.size())];
}

const std::unique_ptr<TStringHash::Item>& TStringHash::BucketFor(std::string_view key) const {
  return buckets_[HashOf(key) % static_cast<uint32_t>(buckets_.size())];
}

void TStringHash::Add(std::string_view key, int32_t value) {
  auto item = std::make_unique<Item>();
  item->Key = std::string(key);
  item->Value = value;
  auto& head = BucketFor(key);
  item->Next = std::move(head);
  head = std::move(item);
}

int32_t TStringHash::ValueOf(std::string_view key) const {
  for (const Item* item = BucketFor(key).get(); item != nullptr; item = item->Next.get()) {
    if (item->Key == key) return item->Value;
  }
  return -1;
}

void TStringHash::Clear() {
  // Unlinks item by item: a long chain freed recursively could exhaust the stack.
  for (auto& head : buckets_) {
    while (head) head = std::move(head->Next);
  }
}

}  // namespace wb
