#include "parasort/engine/ordering_key.h"

#include <cstddef>
#include <limits>
#include <optional>
#include <string>

namespace parasort {
namespace {

bool isDigit(char character) noexcept { return character >= '0' && character <= '9'; }

// A decimal count at the front of `rest`, consumed; too large a count means
// "as far as there is".
std::optional<std::size_t> takeCount(std::string_view& rest) noexcept {
  if (rest.empty() || !isDigit(rest.front())) return std::nullopt;
  std::size_t count = 0;
  constexpr std::size_t most = std::numeric_limits<std::size_t>::max();
  for (; !rest.empty() && isDigit(rest.front()); rest.remove_prefix(1)) {
    const auto digit = static_cast<std::size_t>(rest.front() - '0');
    count = count > (most - digit) / 10 ? most : count * 10 + digit;
  }
  return count;
}

// The letters after a position, consumed: whether there was a "b", and
// whether there was any letter at all.
struct Letters {
  bool blanks = false;
  bool any = false;
  std::string kindLetters;  // the letters that chose a kind, for the conflict message
};

Letters takeLetters(std::string_view& rest, KeyModifiers& modifiers) {
  Letters letters;
  while (!rest.empty()) {
    const char letter = rest.front();
    if (letter == 'b') {
      letters.blanks = true;
    } else {
      if (!applyModifierLetter(letter, modifiers)) break;
      if (std::string_view("ghMnRV").find(letter) != std::string_view::npos) letters.kindLetters += letter;
    }
    letters.any = true;
    rest.remove_prefix(1);
  }
  return letters;
}

}  // namespace

bool applyModifierLetter(char letter, KeyModifiers& modifiers) noexcept {
  switch (letter) {
    case 'd': modifiers.dictionaryOrder = true; return true;
    case 'f': modifiers.foldCase = true; return true;
    case 'i': modifiers.ignoreNonprinting = true; return true;
    case 'r': modifiers.reverse = true; return true;
    case 'g': modifiers.kind = KeyKind::generalNumeric; return true;
    case 'h': modifiers.kind = KeyKind::humanNumeric; return true;
    case 'M': modifiers.kind = KeyKind::month; return true;
    case 'n': modifiers.kind = KeyKind::numeric; return true;
    case 'R': modifiers.kind = KeyKind::random; return true;
    case 'V': modifiers.kind = KeyKind::version; return true;
    default: return false;
  }
}

bool kindsConflict(KeyKind a, KeyKind b) noexcept { return a != KeyKind::text && b != KeyKind::text && a != b; }

std::variant<OrderingKey, KeyParseError> parseOrderingKey(std::string_view text, const OrderingKey& global) {
  const std::string whole(text);
  const auto badKey = [&](std::string reason) { return KeyParseError{std::move(reason) + ": invalid key", whole}; };
  const auto badCount = [](std::string reason, std::string_view rest) {
    return KeyParseError{std::move(reason) + ": invalid count at start of", std::string(rest)};
  };
  OrderingKey key;
  key.positions.fieldSeparator = global.positions.fieldSeparator;
  std::string_view rest = text;
  const auto startField = takeCount(rest);
  if (!startField) return badCount("invalid number at field start", rest);
  if (*startField == 0) return badKey("field number is zero");
  key.positions.startField = *startField;
  if (rest.starts_with('.')) {
    rest.remove_prefix(1);
    const auto character = takeCount(rest);
    if (!character) return badCount("invalid number after '.'", rest);
    if (*character == 0) return badKey("character offset is zero");
    key.positions.startCharacter = *character;
  }
  const Letters startLetters = takeLetters(rest, key.modifiers);
  Letters endLetters;
  if (rest.starts_with(',')) {
    rest.remove_prefix(1);
    const auto endField = takeCount(rest);
    if (!endField) return badCount("invalid number after ','", rest);
    if (*endField == 0) return badKey("field number is zero");
    key.positions.endField = *endField;
    if (rest.starts_with('.')) {
      rest.remove_prefix(1);
      const auto character = takeCount(rest);
      if (!character) return badCount("invalid number after '.'", rest);
      key.positions.endCharacter = *character;  // 0: the end of the field
    }
    endLetters = takeLetters(rest, key.modifiers);
  }
  if (!rest.empty()) return badKey("stray character");
  const std::string kinds = startLetters.kindLetters + endLetters.kindLetters;
  for (std::size_t index = 1; index < kinds.size(); ++index) {
    KeyModifiers first;
    KeyModifiers second;
    applyModifierLetter(kinds[0], first);
    applyModifierLetter(kinds[index], second);
    if (kindsConflict(first.kind, second.kind)) return KeyParseError{"options '-" + kinds + "' are incompatible", std::nullopt};
  }
  // As in the GNU tools, a key with a letter of its own takes none of the
  // global ones.
  if (!startLetters.any && !endLetters.any) {
    key.modifiers = global.modifiers;
    key.positions.skipStartBlanks = key.positions.skipEndBlanks = global.positions.skipStartBlanks;
  } else {
    key.positions.skipStartBlanks = startLetters.blanks;
    key.positions.skipEndBlanks = endLetters.blanks;
  }
  return key;
}

std::variant<OrderingKey, KeyParseError> keyOfSettings(std::string_view positions, std::string_view fieldSeparator,
                                                       bool ignoreLeadingBlanks) {
  OrderingKey global;
  if (!fieldSeparator.empty()) {
    const auto separator = parseFieldSeparator(fieldSeparator);
    if (const auto* error = std::get_if<KeyParseError>(&separator)) return *error;
    global.positions.fieldSeparator = std::get<char32_t>(separator);
  }
  global.positions.skipStartBlanks = global.positions.skipEndBlanks = ignoreLeadingBlanks;
  if (!positions.empty()) return parseOrderingKey(positions, global);
  return global;
}

bool ordersByWholeParagraph(const std::vector<OrderingKey>& keys) noexcept {
  if (keys.empty()) return true;
  return keys.size() == 1 && keys.front().positions.isWholeParagraph() && keys.front().modifiers == KeyModifiers{};
}

}  // namespace parasort
