// Wildcard masks: "*" stands for any run of characters, "?" for one; letters
// compare as the system code page folds them. The one matcher behind the folder
// listing's masks (MatchesFileMask, platform/find_files.h) and the file
// search's filters.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace wb::platform {

// What a "?" right after a "*" asks for. In a listing's mask it is one more
// character, as FindFirstFileA has it; in the search's filters the wildcards
// after a star merge into it, so "a*?c" matches "ac".
enum class QuestionAfterStar { OneCharacter, MergesIntoStar };

// Whether the whole text matches the pattern. Iterative with one backtrack
// point (the last "*"): the cost stays bounded by text length times pattern length.
bool WildcardMatch(std::string_view text, std::string_view pattern, QuestionAfterStar rule);

// The system code page's lower case of every byte, as the system folds it
// (CharLowerBuffA on Windows; Windows-1252's letters on POSIX): what the
// matcher compares. Each backend gives it beside its folder listing.
const std::array<uint8_t, 256>& LowerCaseTable();

}  // namespace wb::platform
