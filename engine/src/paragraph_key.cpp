#include "parasort/engine/paragraph_key.h"

#include "code_points.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace parasort {
namespace {

using detail::decodeAt;

// Blanks as the GNU tools count them: space and tab, and the line feed,
// which is inside a record only when records end in NUL.
constexpr bool isBlank(char32_t character) noexcept {
  return character == U' ' || character == U'\t' || character == U'\n';
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

}  // namespace

std::u16string_view keyOfParagraph(std::u16string_view paragraph, const ParagraphKey& key) noexcept {
  return keyOf(paragraph, key);
}
std::string_view keyOfParagraph(std::string_view paragraph, const ParagraphKey& key) noexcept {
  return keyOf(paragraph, key);
}

std::size_t codePointCount(std::u16string_view text) noexcept { return countCodePoints(text); }
std::size_t codePointCount(std::string_view text) noexcept { return countCodePoints(text); }

std::variant<char32_t, KeyParseError> parseFieldSeparator(std::string_view utf8Text) {
  if (utf8Text.empty()) return KeyParseError{"empty tab", std::nullopt};
  // As in the GNU tools, a backslash and a zero name NUL, which no
  // argument can hold.
  if (utf8Text == "\\0") return U'\0';
  std::int32_t index = 0;
  UChar32 character = 0;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(utf8Text.data());
  U8_NEXT(bytes, index, static_cast<std::int32_t>(utf8Text.size()), character);
  if (character < 0) return KeyParseError{"field separator is not UTF-8", std::string(utf8Text)};
  if (static_cast<std::size_t>(index) != utf8Text.size())
    return KeyParseError{"multi-character tab", std::string(utf8Text)};
  return static_cast<char32_t>(character);
}

}  // namespace parasort
