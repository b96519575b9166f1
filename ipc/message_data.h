// The message of one exchange with the suite's server: an identifier plus a data
// block of named values. Messages are reference-counted; a holder keeps one through
// IMessageDataPtr and the last holder to let go frees it.
#pragma once

#include <memory>
#include <string>

#include "ipc/stream_storage.h"

namespace wb {

class IMessageData {
 public:
  virtual ~IMessageData() = default;
  virtual std::string GetID() const = 0;
  virtual TStreamStorage& GetData() = 0;
  virtual void SetID(const std::string& id) = 0;
};

// The reference count is the shared pointer's (atomic increment and decrement).
using IMessageDataPtr = std::shared_ptr<IMessageData>;

class TMessageData final : public IMessageData {
 public:
  std::string GetID() const override { return id_; }
  TStreamStorage& GetData() override { return data_; }
  void SetID(const std::string& id) override { id_ = id; }

 private:
  std::string id_;
  TStreamStorage data_;
};

// A new message with an empty ID and an empty data block; the caller holds the
// only reference.
IMessageDataPtr CreateMessageData();

}  // namespace wb
