// Content search: does a file contain a phrase? The file is streamed through
// one 61440-byte buffer; a byte-order mark selects UTF-16 (either order) or
// UTF-8, anything else is 8-bit text. A phrase split across two blocks is found.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "client/find_criteria.h"

namespace wb {

inline constexpr int kContentBlockSize = 61440;

enum class TContentResult { Found, NotFound, Unreadable };

// The phrase (8-bit) searched in the file with the options' case and whole-word
// rules (negation is not applied here).
TContentResult SearchFileContent(const std::string& fileName, std::string_view phrase, TContentSearchOptions options);

// The content test of the search: negation applied; an unreadable file fails.
bool ContentMatches(const std::string& fileName, const TContentCriteria& criteria);

}  // namespace wb
