#include "parasort/engine/paragraph_key.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace parasort {
namespace {

constexpr bool isBlank(char32_t character) noexcept { return character == U' ' || character == U'\t'; }

// The code point at `index` and the index after it.
struct Decoded {
  char32_t character;
  std::size_t next;
};

Decoded decodeAt(std::u16string_view text, std::size_t index) noexcept {
  const char16_t unit = text[index];
  if (unit >= 0xD800 && unit < 0xDC00 && index + 1 < text.size() && text[index + 1] >= 0xDC00 &&
      text[index + 1] < 0xE000)
    return {0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[index + 1]} - 0xDC00), index + 2};
  return {unit, index + 1};
}

Decoded decodeAt(std::string_view text, std::size_t index) noexcept {
  const auto lead = static_cast<std::uint8_t>(text[index]);
  const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                                             : (lead & 0xF8) == 0xF0 ? 4 : 0;
  if (length <= 1 || index + length > text.size()) return {lead, index + 1};
  char32_t character = lead & (0x7F >> length);
  for (std::size_t offset = 1; offset < length; ++offset) {
    const auto continuation = static_cast<std::uint8_t>(text[index + offset]);
    if ((continuation & 0xC0) != 0x80) return {lead, index + 1};
    character = (character << 6) | (continuation & 0x3F);
  }
  return {character, index + length};
}

// Walks a paragraph character by character.
template <class CharT>
class Cursor {
 public:
  explicit Cursor(std::basic_string_view<CharT> text) noexcept : text_(text) {}

  bool atEnd() const noexcept { return position_ >= text_.size(); }
  std::size_t position() const noexcept { return position_; }
  char32_t current() const noexcept { return decodeAt(text_, position_).character; }
  void advance() noexcept { position_ = decodeAt(text_, position_).next; }
  void advance(std::size_t characters) noexcept {
    for (; characters > 0 && !atEnd(); --characters) advance();
  }
  void skipBlanks() noexcept {
    while (!atEnd() && isBlank(current())) advance();
  }
  void skipNonBlanks() noexcept {
    while (!atEnd() && !isBlank(current())) advance();
  }
  void skipUntil(char32_t separator) noexcept {
    while (!atEnd() && current() != separator) advance();
  }

 private:
  std::basic_string_view<CharT> text_;
  std::size_t position_ = 0;
};

// Where the key starts: past `startField - 1` fields, then (maybe) the
// field's blanks, then `startCharacter - 1` characters.
template <class CharT>
std::size_t keyBegin(std::basic_string_view<CharT> paragraph, const ParagraphKey& key) noexcept {
  Cursor<CharT> cursor(paragraph);
  for (std::size_t field = 1; field < key.startField && !cursor.atEnd(); ++field) {
    if (key.fieldSeparator) {
      cursor.skipUntil(*key.fieldSeparator);
      if (!cursor.atEnd()) cursor.advance();
    } else {
      cursor.skipBlanks();
      cursor.skipNonBlanks();
    }
  }
  if (key.skipStartBlanks) cursor.skipBlanks();
  cursor.advance(key.startCharacter - 1);
  return cursor.position();
}

// Where the key ends: after `endCharacter` characters of field `endField`,
// or at that field's end when no character is given.
template <class CharT>
std::size_t keyEnd(std::basic_string_view<CharT> paragraph, const ParagraphKey& key) noexcept {
  if (key.endField == 0) return paragraph.size();
  Cursor<CharT> cursor(paragraph);
  // Without a character, the whole end field is passed over too.
  const std::size_t fieldsToPass = key.endCharacter == 0 ? key.endField : key.endField - 1;
  for (std::size_t passed = 0; passed < fieldsToPass && !cursor.atEnd(); ++passed) {
    if (key.fieldSeparator) {
      cursor.skipUntil(*key.fieldSeparator);
      // The separator after the end field is not part of the key.
      if (!cursor.atEnd() && (passed + 1 < fieldsToPass || key.endCharacter != 0)) cursor.advance();
    } else {
      cursor.skipBlanks();
      cursor.skipNonBlanks();
    }
  }
  if (key.endCharacter != 0) {
    if (key.skipEndBlanks) cursor.skipBlanks();
    cursor.advance(key.endCharacter);
  }
  return cursor.position();
}

template <class CharT>
std::basic_string_view<CharT> keyOf(std::basic_string_view<CharT> paragraph, const ParagraphKey& key) noexcept {
  if (key.isWholeParagraph()) return paragraph;
  const std::size_t begin = keyBegin(paragraph, key);
  const std::size_t end = keyEnd(paragraph, key);
  return paragraph.substr(begin, end > begin ? end - begin : 0);
}

template <class CharT>
std::size_t countCodePoints(std::basic_string_view<CharT> text) noexcept {
  std::size_t count = 0;
  for (Cursor<CharT> cursor(text); !cursor.atEnd(); cursor.advance()) ++count;
  return count;
}

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

// Consumes the "b" modifiers; whether there was one.
bool takeBlankModifiers(std::string_view& rest) noexcept {
  bool found = false;
  while (!rest.empty() && rest.front() == 'b') {
    found = true;
    rest.remove_prefix(1);
  }
  return found;
}

}  // namespace

std::u16string_view keyOfParagraph(std::u16string_view paragraph, const ParagraphKey& key) noexcept {
  return keyOf(paragraph, key);
}
std::string_view keyOfParagraph(std::string_view paragraph, const ParagraphKey& key) noexcept {
  return keyOf(paragraph, key);
}

std::size_t codePointCount(std::u16string_view text) noexcept { return countCodePoints(text); }
std::size_t codePointCount(std::string_view text) noexcept { return countCodePoints(text); }

std::variant<ParagraphKey, KeyParseError> parseKeyPositions(std::string_view text, ParagraphKey key,
                                                            bool ignoreLeadingBlanks) {
  const std::string whole(text);
  const auto badKey = [&](std::string reason) {
    return KeyParseError{std::move(reason) + ": invalid key", whole};
  };
  const auto badCount = [](std::string reason, std::string_view rest) {
    return KeyParseError{std::move(reason) + ": invalid count at start of", std::string(rest)};
  };
  std::string_view rest = text;
  const auto startField = takeCount(rest);
  if (!startField) return badCount("invalid number at field start", rest);
  if (*startField == 0) return badKey("field number is zero");
  key.startField = *startField;
  key.startCharacter = 1;
  if (rest.starts_with('.')) {
    rest.remove_prefix(1);
    const auto character = takeCount(rest);
    if (!character) return badCount("invalid number after '.'", rest);
    if (*character == 0) return badKey("character offset is zero");
    key.startCharacter = *character;
  }
  const bool startBlanks = takeBlankModifiers(rest);
  key.endField = 0;
  key.endCharacter = 0;
  bool endBlanks = false;
  if (rest.starts_with(',')) {
    rest.remove_prefix(1);
    const auto endField = takeCount(rest);
    if (!endField) return badCount("invalid number after ','", rest);
    if (*endField == 0) return badKey("field number is zero");
    key.endField = *endField;
    if (rest.starts_with('.')) {
      rest.remove_prefix(1);
      const auto character = takeCount(rest);
      if (!character) return badCount("invalid number after '.'", rest);
      key.endCharacter = *character;  // 0: the end of the field
    }
    endBlanks = takeBlankModifiers(rest);
  }
  if (!rest.empty()) return badKey("stray character");
  // As in the GNU tools, a key with a modifier of its own does not take the
  // global one.
  const bool inherits = !startBlanks && !endBlanks;
  key.skipStartBlanks = startBlanks || (inherits && ignoreLeadingBlanks);
  key.skipEndBlanks = endBlanks || (inherits && ignoreLeadingBlanks);
  return key;
}

std::variant<char32_t, KeyParseError> parseFieldSeparator(std::string_view utf8Text) {
  if (utf8Text.empty()) return KeyParseError{"empty tab", std::nullopt};
  const Decoded first = decodeAt(utf8Text, 0);
  if (first.next != utf8Text.size()) return KeyParseError{"multi-character tab", std::string(utf8Text)};
  return first.character;
}

std::variant<ParagraphKey, KeyParseError> keyOfSettings(std::string_view positions, std::string_view fieldSeparator,
                                                        bool ignoreLeadingBlanks) {
  ParagraphKey key;
  if (!fieldSeparator.empty()) {
    const auto separator = parseFieldSeparator(fieldSeparator);
    if (const auto* error = std::get_if<KeyParseError>(&separator)) return *error;
    key.fieldSeparator = std::get<char32_t>(separator);
  }
  if (!positions.empty()) return parseKeyPositions(positions, key, ignoreLeadingBlanks);
  key.skipStartBlanks = key.skipEndBlanks = ignoreLeadingBlanks;
  return key;
}

}  // namespace parasort
