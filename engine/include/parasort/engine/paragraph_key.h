// The part of a paragraph that it is sorted by: the whole paragraph, or a
// span of its fields, chosen as a command line's "-k F1[.C1][,F2[.C2]]"
// chooses it.
//
// Fields and characters are counted from 1; characters are code points.
// Without a field separator, a field ends where a blank (space, tab or LF)
// follows a non-blank, so every field but the first starts with the blanks
// before it. With a separator, fields lie between separators, the separator
// belonging to neither. The key runs from character C1 (default 1) of field
// F1 to character C2 of field F2 (default: the end of F2; without F2, the
// end of the paragraph). Where the leading blanks of a field are ignored,
// C1 (or C2) counts from the field's first non-blank. A key that would end
// before it starts is empty; positions beyond the paragraph end there.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace parasort {

struct ParagraphKey {
  std::size_t startField = 1;
  std::size_t startCharacter = 1;
  std::size_t endField = 0;      // 0: to the end of the paragraph
  std::size_t endCharacter = 0;  // 0: to the end of the end field
  bool skipStartBlanks = false;  // the start field's leading blanks do not count
  bool skipEndBlanks = false;    // nor the end field's
  std::optional<char32_t> fieldSeparator{};  // absent: blanks separate fields

  // Whether the key is the whole paragraph, whatever the separator.
  bool isWholeParagraph() const noexcept {
    return startField == 1 && startCharacter == 1 && endField == 0 && !skipStartBlanks;
  }
};

// The key of a paragraph, a view into it. A byte that begins no well-formed
// UTF-8 sequence counts as one character, as does an unpaired surrogate.
std::u16string_view keyOfParagraph(std::u16string_view paragraph, const ParagraphKey& key) noexcept;
std::string_view keyOfParagraph(std::string_view paragraph, const ParagraphKey& key) noexcept;

// The number of code points in `text`, counted as keyOfParagraph counts them.
std::size_t codePointCount(std::u16string_view text) noexcept;
std::size_t codePointCount(std::string_view text) noexcept;

// Why a key or a separator could not be read: `message`, then (when there
// is one) the text it is about, which the caller quotes as it quotes names:
// "field number is zero: invalid key" '0'.
struct KeyParseError {
  std::string message;
  std::optional<std::string> subject;
};

// Reads a field separator: exactly one character, in UTF-8, or "\0" for
// NUL ("empty tab", "multi-character tab" 'ab', "field separator is not
// UTF-8" otherwise).
std::variant<char32_t, KeyParseError> parseFieldSeparator(std::string_view utf8Text);

}  // namespace parasort
