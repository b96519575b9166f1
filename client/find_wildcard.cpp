// The filter decision of the file search.
#include "client/find_wildcard.h"

#include "platform/wildcard.h"
#include "strings/string_list.h"

namespace wb {

namespace {
constexpr auto kFilters = platform::QuestionAfterStar::MergesIntoStar;
}  // namespace

bool PassesFilters(const TStringList& filters, std::string_view fullPath) {
  for (const auto& item : filters.Items()) {
    std::string_view filter = item.Text;
    if (filter.empty()) continue;
    if (filter.front() == '>') {
      if (platform::WildcardMatch(fullPath, filter.substr(1), kFilters)) return true;
      continue;
    }
    if (filter.front() == '<') filter.remove_prefix(1);
    if (platform::WildcardMatch(fullPath, filter, kFilters)) return false;
  }
  return true;
}

}  // namespace wb
