// Test support: an in-memory pipe end. Reads hand out a scripted byte sequence in
// pieces of at most a chosen size, then report the other end closed (or a
// time-out); writes are recorded. Lets the client's reply reader and the
// server's request reader run on exact bytes without a socket.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/pipes.h"

namespace wb::test {

class MemoryPipe final : public platform::PipeHandle {
 public:
  struct Shared {
    std::string Written;
    int Reads = 0;
  };

  MemoryPipe(std::string input, Shared* shared, int64_t maxPiece = 1 << 20)
      : input_(std::move(input)), shared_(shared), maxPiece_(maxPiece) {}

  // What a read finds after the scripted bytes: the other end closed, or silence.
  void EndWithTimeout() { endCode_ = platform::kErrorWaitTimeout; }
  // Writes fail from the start (the other end has gone).
  void FailWrites() { failWrites_ = true; }

  int64_t Read(void* buffer, int64_t count, int) override {
    if (shared_) ++shared_->Reads;
    if (position_ >= input_.size()) {
      platform::SetLastError(endCode_);
      return -1;
    }
    int64_t piece = std::min<int64_t>({count, maxPiece_, static_cast<int64_t>(input_.size() - position_)});
    std::memcpy(buffer, input_.data() + position_, static_cast<size_t>(piece));
    position_ += static_cast<size_t>(piece);
    return piece;
  }

  bool Write(const void* buffer, int64_t count, int) override {
    if (failWrites_) {
      platform::SetLastError(platform::kErrorNoData);
      return false;
    }
    if (shared_) shared_->Written.append(static_cast<const char*>(buffer), static_cast<size_t>(count));
    return true;
  }

  int64_t BytesAvailable() override { return static_cast<int64_t>(input_.size() - position_); }

 private:
  std::string input_;
  size_t position_ = 0;
  Shared* shared_;
  int64_t maxPiece_;
  uint32_t endCode_ = platform::kErrorBrokenPipe;
  bool failWrites_ = false;
};

// Little-endian frame pieces for scripted byte sequences.
inline std::string Int64Bytes(int64_t value) {
  std::string bytes(8, '\0');
  for (std::size_t i = 0; i < 8; ++i) bytes[i] = static_cast<char>(static_cast<uint64_t>(value) >> (8 * i));
  return bytes;
}

inline std::string Int32Bytes(int32_t value) {
  std::string bytes(4, '\0');
  for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
  return bytes;
}

// One data-block record with a UTF-16 (ASCII) name and raw value bytes.
inline std::string Record(const std::string& asciiName, const std::string& value) {
  std::string bytes = Int32Bytes(static_cast<int32_t>(asciiName.size() * 2));
  for (char ch : asciiName) bytes += std::string{ch, '\0'};
  return bytes + Int64Bytes(static_cast<int64_t>(value.size())) + value;
}

// An ASCII text as UTF-16LE bytes.
inline std::string Utf16Bytes(const std::string& ascii) {
  std::string bytes;
  for (char ch : ascii) bytes += std::string{ch, '\0'};
  return bytes;
}

// Bytes written as hexadecimal pairs ("0A 00 FF") -> the bytes.
inline std::string HexBytes(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size();) {
    if (hex[i] == ' ' || hex[i] == '|') {
      ++i;
      continue;
    }
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    i += 2;
  }
  return bytes;
}

}  // namespace wb::test
