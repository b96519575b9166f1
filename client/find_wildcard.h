// The wildcard matcher of the search's filters: "*" any run of characters, "?"
// any one character; letters compare without regard to case. Wildcards after a
// "*" collapse into it, so a "?" there does not require a character.
#pragma once

#include <string_view>

namespace wb {

bool WildcardMatch(std::string_view text, std::string_view pattern);

// Decides the filter test for a full path (see TFileCriteria::Filters): ">mask"
// that matches accepts, any other matching filter rejects, else accepted.
class TStringList;
bool PassesFilters(const TStringList& filters, std::string_view fullPath);

}  // namespace wb
