// TStreamStorage: the named values of a message, kept as one contiguous byte
// stream in exactly the form in which it travels over the pipe, plus a name index.
//
// Record layout (little-endian, back to back, no count, no terminator):
//   name length (int32, bytes = 2 x code units) | name (UTF-16LE) |
//   value size (int64) | value (string: UTF-16LE; integer: int32; boolean: 1 byte)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "client/streams.h"
#include "ipc/string_hash.h"

namespace wb {

class TStreamStorage {
 public:
  static constexpr int kIndexBuckets = 50;

  TStreamStorage();
  TStreamStorage(const TStreamStorage&) = delete;
  TStreamStorage& operator=(const TStreamStorage&) = delete;

  // Appending writers. An empty name writes nothing; WriteString writes nothing for
  // an empty value either, so readers see an empty string as absent. A name that
  // is already in the block raises "Value with name "%s" already exists".
  void WriteString(std::u16string_view name, std::u16string_view value);
  void WriteInteger(std::u16string_view name, int32_t value);
  void WriteBoolean(std::u16string_view name, bool value);

  // The string value of the record with that name, or "" when there is none.
  std::u16string ReadString(std::u16string_view name);

  // Finds the record through the index, or by scanning the records not yet indexed.
  // On success the stream stands at the first value byte and size holds the value's
  // size. Records that run past the end of the stream, or whose sizes are negative
  // or (for names) odd, end the data: nothing past the last whole record is read.
  bool FindValue(std::u16string_view name, int64_t& size);

  // The raw block: the pipe client sends these bytes unchanged and writes received
  // bytes into a fresh storage's stream.
  TMemoryStream& Stream() { return stream_; }
  // Offset up to which the records are known to the name index.
  int64_t ScanPosition() const { return scanPosition_; }

 private:
  void WriteValueHeader(std::u16string_view name, int64_t size);
  void WriteValueBytes(const void* bytes, int64_t count);

  int64_t scanPosition_ = 0;
  TMemoryStream stream_;
  TStringHash index_;
};

}  // namespace wb
