// The filters of the file search, matched with the platform's wildcard matcher
// (platform/wildcard.h); wildcards after a "*" collapse into it there.
#pragma once

#include <string_view>

namespace wb {

// Decides the filter test for a full path (see TFileCriteria::Filters): ">mask"
// that matches accepts, any other matching filter rejects, else accepted.
class TStringList;
bool PassesFilters(const TStringList& filters, std::string_view fullPath);

}  // namespace wb
