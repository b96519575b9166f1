// Entity replacement and the whole-text preparation of markup.
#include "htmldraw/html_text_prep.h"

#include <array>

namespace wb {
namespace {

struct Entity {
  std::string_view Name;  // between "&" and ";", lower case
  char Character;         // its byte in Windows-1252
};

constexpr std::array<Entity, 9> kWholeTextEntities{{
    {"amp", '&'},
    {"quot", '"'},
    {"sect", '\xA7'},
    {"permil", '\x89'},
    {"reg", '\xAE'},
    {"copy", '\xA9'},
    {"para", '\xB6'},
    {"trade", '\x99'},
    {"euro", '\x80'},
}};

constexpr std::array<Entity, 3> kRunEntities{{
    {"nbsp", ' '},
    {"lt", '<'},
    {"gt", '>'},
}};

constexpr std::size_t kLongestEntity = 8;  // "&permil;"

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerName) {
  if (text.size() != lowerName.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (AsciiLower(text[i]) != lowerName[i]) return false;
  }
  return true;
}

// If out ends in one of the entities ("&name;" with name compared by
// equalsName), replaces it by its character.
template <std::size_t N, typename Equals>
void ReplaceEntityAtEnd(std::string& out, const std::array<Entity, N>& entities, Equals equalsName) {
  // Only the last few characters can hold the entity: never scan further back.
  const std::size_t from = out.size() > kLongestEntity ? out.size() - kLongestEntity : 0;
  const std::size_t found = std::string_view(out).substr(from).rfind('&');
  if (found == std::string_view::npos) return;
  const std::size_t amp = from + found;
  const std::string_view name(out.data() + amp + 1, out.size() - amp - 2);
  for (const Entity& entity : entities) {
    if (equalsName(name, entity.Name)) {
      out.resize(amp);
      out.push_back(entity.Character);
      return;
    }
  }
}

}  // namespace

// Entities cannot overlap (each begins with the only "&" it holds), so
// replacing them in any order until none is left always ends in the same
// text. One pass that looks back at every ";" reaches it in linear time: the
// "&" an "&amp;" leaves behind starts the next candidate.
std::string ReplaceWholeTextEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    out.push_back(c);
    if (c == ';') ReplaceEntityAtEnd(out, kWholeTextEntities, EqualsIgnoringCase);
  }
  return out;
}

std::string PrepareMarkupText(std::string_view text) {
  std::string entitiesDone;
  if (text.find('&') != std::string_view::npos) {
    entitiesDone = ReplaceWholeTextEntities(text);
    text = entitiesDone;
  }
  // Only the first "<#" loses its two characters and the next ">".
  std::size_t hashTag = text.find("<#");
  const std::size_t hashEnd = hashTag == std::string_view::npos ? hashTag : text.find('>', hashTag + 2);

  std::string out;
  out.reserve(text.size() + 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == hashTag) {
      ++i;  // skip "<#"
      continue;
    }
    if (i == hashEnd) continue;
    const char c = text[i];
    if (c == '\n') continue;
    if (c == '\r') {
      out.append("<BR>");
      continue;
    }
    out.push_back(c);
  }
  return out;
}

void ReplaceRunEntities(std::string_view run, std::string& out) {
  // The replacements are no letters, so they never form a new entity: one pass is enough.
  out.clear();
  for (const char c : run) {
    out.push_back(c);
    if (c == ';') ReplaceEntityAtEnd(out, kRunEntities, [](std::string_view a, std::string_view b) { return a == b; });
  }
}

}  // namespace wb
