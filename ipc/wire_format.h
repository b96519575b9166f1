// The byte-level vocabulary shared by both ends of a server exchange: little-endian
// integers as they travel, the size of one transfer piece, the end marker and the
// limits a receiver enforces before it trusts an announced size.
#pragma once

#include <cstdint>
#include <cstring>

namespace wb::ipc {

// Both directions move a data block in pieces of at most this many bytes.
inline constexpr int64_t kChunkSize = 65536;

// An ID length of -1 (eight 0xFF bytes): the client is done and closes the pipe.
inline constexpr int64_t kEndMarker = -1;

// A received data block larger than this is refused before anything is allocated;
// the suite's largest answers (JSON of an order) stay far below it.
inline constexpr int64_t kMaxDataSize = int64_t{256} * 1024 * 1024;

// Message IDs are short words; a longer announced ID is taken as a broken peer.
inline constexpr int64_t kMaxIdLength = int64_t{1} * 1024 * 1024;

inline void PutInt64LE(uint8_t* out, int64_t value) {
  auto bits = static_cast<uint64_t>(value);
  for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(bits >> (8 * i));
}

inline int64_t GetInt64LE(const uint8_t* in) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(in[i]) << (8 * i);
  return static_cast<int64_t>(bits);
}

inline void PutInt32LE(uint8_t* out, int32_t value) {
  auto bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(bits >> (8 * i));
}

inline int32_t GetInt32LE(const uint8_t* in) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(in[i]) << (8 * i);
  return static_cast<int32_t>(bits);
}

}  // namespace wb::ipc
