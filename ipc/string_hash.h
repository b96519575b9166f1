// TStringHash: the small chained hash that maps a message value's name to the
// stream offset of its record, so a name is found without scanning the block again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace wb {

class TStringHash {
 public:
  // The bucket count is fixed for the life of the hash.
  explicit TStringHash(int bucketCount);
  virtual ~TStringHash();
  TStringHash(const TStringHash&) = delete;
  TStringHash& operator=(const TStringHash&) = delete;

  // Inserts at the head of the key's bucket: an older item with the same key stays
  // behind it, so ValueOf answers with the newest value.
  void Add(std::string_view key, int32_t value);
  // The value of the newest item whose key is byte-for-byte equal, or -1.
  int32_t ValueOf(std::string_view key) const;
  void Clear();

  // The ELF (PJW) hash of the key's bytes.
  virtual uint32_t HashOf(std::string_view key) const;

  int BucketCount() const { return static_cast<int>(buckets_.size()); }

 private:
  struct Item {
    std::unique_ptr<Item> Next;
    std::string Key;
    int32_t Value = 0;
  };
  std::unique_ptr<Item>& BucketFor(std::string_view key);
  const std::unique_ptr<Item>& BucketFor(std::string_view key) const;

  std::vector<std::unique_ptr<Item>> buckets_;
};

}  // namespace wb
