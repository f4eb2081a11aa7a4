// The four paragraph terminators, the one definition that the engine and
// the editor share: LF, CR (not followed by LF), CR LF and U+2029 PARAGRAPH
// SEPARATOR. Nothing else ends a paragraph: not U+2028, not U+0085, not a
// form feed.
#pragma once

#include <string_view>

namespace parasort {

// The terminators spelled in each code unit type (in UTF-8, U+2029 is the
// three bytes E2 80 A9; E2 never continues a sequence).
template <class CharT>
struct ParagraphTerminators;

template <>
struct ParagraphTerminators<char16_t> {
  static constexpr std::u16string_view lineFeed = u"\n";
  static constexpr std::u16string_view carriageReturn = u"\r";
  static constexpr std::u16string_view crlf = u"\r\n";
  static constexpr std::u16string_view paragraphSeparator = u"\u2029";
  // Whether `unit` alone is, or begins, a terminator.
  static constexpr bool mayStartTerminator(char16_t unit) noexcept {
    return unit == u'\n' || unit == u'\r' || unit == u'\u2029';
  }
};

template <>
struct ParagraphTerminators<char> {
  static constexpr std::string_view lineFeed = "\n";
  static constexpr std::string_view carriageReturn = "\r";
  static constexpr std::string_view crlf = "\r\n";
  static constexpr std::string_view paragraphSeparator = "\xE2\x80\xA9";
  // Whether `unit` may begin a terminator (E2 begins U+2029 and others).
  static constexpr bool mayStartTerminator(char unit) noexcept {
    return unit == '\n' || unit == '\r' || unit == '\xE2';
  }
};

}  // namespace parasort
