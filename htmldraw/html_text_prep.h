// The markup's text-wide steps before layout: entities of the whole text,
// the "<#…>" construct, and line breaks turned into <BR> tags; and the
// entities that are replaced inside each text run.
#pragma once

#include <string>
#include <string_view>

namespace wb {

// Replaces "&amp;", "&quot;", "&sect;", "&permil;", "&reg;", "&copy;", "&para;",
// "&trade;" and "&euro;" (any case) by their Windows-1252 characters until none
// is left, so "&amp;amp;" becomes "&".
std::string ReplaceWholeTextEntities(std::string_view text);

// Entities, "<#…>", line feeds removed and carriage returns made "<BR>".
std::string PrepareMarkupText(std::string_view text);

// Whether a run needs ReplaceRunEntities at all.
inline bool HasRunEntity(std::string_view run) { return run.find('&') != std::string_view::npos; }
// "&nbsp;", "&lt;" and "&gt;", lower case only, in one text run.
void ReplaceRunEntities(std::string_view run, std::string& out);

}  // namespace wb
