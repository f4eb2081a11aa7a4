#include "name_quoting.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace parasort::cli {
namespace {

// How one character of a name is shown.
enum class Role {
  plain,       // as it is, quoted or not
  quotable,    // as it is, but a shell would read it specially: only inside quotes
  apostrophe,  // a single quote, which single quotes cannot hold
  escaped,     // its bytes as $'...' escapes
};

struct Character {
  std::string_view bytes;
  Role role;
  bool fitsDoubleQuotes;  // reads the same inside "..." as inside '...'
};

// ICU's printable characters leave out controls, format characters and
// unassigned code points; line and paragraph separators would break the line.
bool printsOnOneLine(UChar32 codePoint) {
  const auto category = static_cast<UCharCategory>(u_charType(codePoint));
  return u_isprint(codePoint) && category != U_LINE_SEPARATOR && category != U_PARAGRAPH_SEPARATOR;
}

Character asciiCharacter(std::string_view bytes, std::size_t index, std::size_t nameSize) {
  const char c = bytes.front();
  const bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  if (c < 0x20 || c == 0x7F) return {bytes, Role::escaped, false};
  if (c == '\'') return {bytes, Role::apostrophe, true};
  if (alphanumeric || std::string_view("%+,-./:@]_").find(c) != std::string_view::npos)
    return {bytes, Role::plain, true};
  if (c == ' ') return {bytes, Role::quotable, true};
  // A shell expands these only at the start of a word, or standing alone.
  const bool special = ((c == '#' || c == '~') && index == 0) || ((c == '{' || c == '}') && nameSize == 1);
  if (c == '#' || c == '~' || c == '{' || c == '}')
    return special ? Character{bytes, Role::quotable, true} : Character{bytes, Role::plain, false};
  return {bytes, Role::quotable, false};  // ! " $ & ( ) * ; < = > ? [ \ ^ ` |
}

std::vector<Character> charactersOf(std::string_view name) {
  std::vector<Character> characters;
  const auto* data = reinterpret_cast<const std::uint8_t*>(name.data());
  const auto length = static_cast<std::int64_t>(name.size());
  std::int64_t index = 0;
  while (index < length) {
    const std::int64_t start = index;
    if (data[index] < 0x80) {
      ++index;
      characters.push_back(asciiCharacter(name.substr(static_cast<std::size_t>(start), 1),
                                          static_cast<std::size_t>(start), name.size()));
      continue;
    }
    UChar32 codePoint = 0;
    U8_NEXT(data, index, length, codePoint);
    const bool shown = codePoint >= 0 && printsOnOneLine(codePoint);
    characters.push_back({name.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(index - start)),
                          shown ? Role::plain : Role::escaped, shown});
  }
  return characters;
}

void appendEscape(std::string& out, unsigned char byte) {
  out += '\\';
  switch (byte) {
    case '\a': out += 'a'; return;
    case '\b': out += 'b'; return;
    case '\t': out += 't'; return;
    case '\n': out += 'n'; return;
    case '\v': out += 'v'; return;
    case '\f': out += 'f'; return;
    case '\r': out += 'r'; return;
    case '\0': out += '0'; return;
    default:
      out += static_cast<char>('0' + (byte >> 6));
      out += static_cast<char>('0' + ((byte >> 3) & 7));
      out += static_cast<char>('0' + (byte & 7));
  }
}

}  // namespace

std::string quotedIfNeeded(std::string_view name) {
  const auto characters = charactersOf(name);
  const bool plain = !name.empty() && std::all_of(characters.begin(), characters.end(),
                                                  [](const Character& c) { return c.role == Role::plain; });
  return plain ? std::string(name) : quotedAlways(name);
}

std::string quotedAlways(std::string_view name) {
  const auto characters = charactersOf(name);
  const auto isApostrophe = [](const Character& c) { return c.role == Role::apostrophe; };
  // "it's" reads better than 'it'\''s'.
  if (std::any_of(characters.begin(), characters.end(), isApostrophe) &&
      std::all_of(characters.begin(), characters.end(), [](const Character& c) { return c.fitsDoubleQuotes; }))
    return '"' + std::string(name) + '"';

  // Single quotes, closed around each apostrophe ('\'') and around each run
  // of escapes ($'...'), which the shell joins back into one word.
  std::string out = "'";
  bool inEscapes = false;
  for (const Character& character : characters) {
    switch (character.role) {
      case Role::escaped:
        if (!inEscapes) out += "'$'";
        inEscapes = true;
        for (const char byte : character.bytes) appendEscape(out, static_cast<unsigned char>(byte));
        break;
      case Role::apostrophe:
        out += "'\\''";
        inEscapes = false;
        break;
      case Role::plain:
      case Role::quotable:
        if (inEscapes) out += "''";
        inEscapes = false;
        out += character.bytes;
        break;
    }
  }
  out += '\'';
  return out;
}

}  // namespace parasort::cli
