// Reading attributes out of one markup tag ("<FONT color=\"clRed\" size=3>").
// Names are found without regard to case as plain text inside the tag; a
// value is the text between the first pair of double quotes after the name.
#pragma once

#include <optional>
#include <string_view>

namespace wb {

// The tag's letters after "<" (or "</") start with prefix, any case.
bool TagNameStartsWith(std::string_view tagName, std::string_view prefix);
// The whole tag equals text, any case ("<B>").
bool TagEquals(std::string_view tag, std::string_view text);

// Nothing when the name is not in the tag; an empty value when no quoted text follows it.
std::optional<std::string_view> TagAttribute(std::string_view tag, std::string_view name);
// The first quoted text anywhere in the tag (an anchor's target).
std::string_view FirstQuotedValue(std::string_view tag);
// SIZE=3, SIZE="3": the number after the equals sign that follows the name.
std::optional<int> TagSizeAttribute(std::string_view tag, std::string_view name);

// The number formed by the leading digits after leading spaces, 0 when there
// are none; a minus sign only when allowSign. Saturates instead of overflowing.
int LeadingNumber(std::string_view text, bool allowSign);
// Whether text contains word, any case.
bool ContainsIgnoringCase(std::string_view text, std::string_view word);
bool StartsWithIgnoringCase(std::string_view text, std::string_view word);

}  // namespace wb
