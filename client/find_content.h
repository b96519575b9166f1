// Content search: does a file contain a phrase? The file is streamed through
// one 61440-byte buffer; a byte-order mark selects UTF-16 (either order) or
// UTF-8, anything else is 8-bit text. A phrase split across two blocks is found.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "client/find_criteria.h"

namespace wb {

inline constexpr int kContentBlockSize = 61440;

enum class TContentResult { Found, NotFound, Unreadable };

// A source of the bytes to search: fills the buffer with up to size bytes and
// returns how many it gave (fewer than asked only at the end), or -1 when
// reading failed.
using TContentReader = std::function<int64_t(uint8_t* buffer, int64_t size)>;

// The phrase (8-bit) searched in the bytes the reader gives, read in blocks of
// blockSize (at least 3, so that the first block holds any byte-order mark),
// with the options' case and whole-word rules (negation is not applied here).
TContentResult SearchContent(const TContentReader& read, std::string_view phrase, TContentSearchOptions options,
                             int blockSize = kContentBlockSize);

// The phrase (8-bit) searched in the file with the options' case and whole-word
// rules (negation is not applied here).
TContentResult SearchFileContent(const std::string& fileName, std::string_view phrase, TContentSearchOptions options);

// The content test of the search: negation applied; an unreadable file fails.
bool ContentMatches(const std::string& fileName, const TContentCriteria& criteria);

}  // namespace wb
