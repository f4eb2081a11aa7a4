#include "parasort/engine/paragraph.h"

namespace parasort::TQParagraph {
namespace {

// The terminators spelled in each code unit type.
template <class CharT>
struct Terminators;

template <>
struct Terminators<char16_t> {
  static constexpr std::u16string_view lineFeed = u"\n";
  static constexpr std::u16string_view carriageReturn = u"\r";
  static constexpr std::u16string_view crlf = u"\r\n";
  static constexpr std::u16string_view paragraphSeparator = u"\u2029";
};

template <>
struct Terminators<char> {
  static constexpr std::string_view lineFeed = "\n";
  static constexpr std::string_view carriageReturn = "\r";
  static constexpr std::string_view crlf = "\r\n";
  static constexpr std::string_view paragraphSeparator = "\xE2\x80\xA9";
};

// The terminator that starts at `index`, or an empty view when none does.
template <class CharT>
std::basic_string_view<CharT> terminatorAt(std::basic_string_view<CharT> text,
                                           std::size_t index) noexcept {
  using T = Terminators<CharT>;
  const CharT unit = text[index];
  if (unit == CharT('\n')) return T::lineFeed;
  if (unit == CharT('\r')) {
    const bool followedByLineFeed = index + 1 < text.size() && text[index + 1] == CharT('\n');
    return followedByLineFeed ? T::crlf : T::carriageReturn;
  }
  if (text.substr(index, T::paragraphSeparator.size()) == T::paragraphSeparator)
    return T::paragraphSeparator;
  return {};
}

template <class CharT>
std::vector<std::basic_string_view<CharT>> splitParagraphs(std::basic_string_view<CharT> text) {
  std::vector<std::basic_string_view<CharT>> paragraphs;
  std::size_t start = 0;
  std::size_t index = 0;
  while (index < text.size()) {
    const auto terminator = terminatorAt(text, index);
    if (terminator.empty()) {
      ++index;
      continue;
    }
    paragraphs.push_back(text.substr(start, index - start));
    index += terminator.size();
    start = index;
  }
  if (start < text.size()) paragraphs.push_back(text.substr(start));
  return paragraphs;
}

template <class CharT>
std::basic_string_view<CharT> firstSeparator(std::basic_string_view<CharT> text) {
  for (std::size_t index = 0; index < text.size(); ++index) {
    const auto terminator = terminatorAt(text, index);
    if (!terminator.empty()) return terminator;
  }
  return Terminators<CharT>::lineFeed;
}

template <class CharT>
bool endsWithTerminator(std::basic_string_view<CharT> text) {
  using T = Terminators<CharT>;
  // "\r\n" ends with "\n", so three suffixes cover all four kinds.
  return text.ends_with(T::lineFeed) || text.ends_with(T::carriageReturn) ||
         text.ends_with(T::paragraphSeparator);
}

}  // namespace

std::vector<std::u16string_view> paragraphStrings(std::u16string_view text) {
  return splitParagraphs(text);
}
std::vector<std::string_view> paragraphStrings(std::string_view text) {
  return splitParagraphs(text);
}

std::u16string unicodeParaSepString() { return std::u16string(1, u'\u2029'); }

std::u16string_view paragraphSeparater(std::u16string_view text) { return firstSeparator(text); }
std::string_view paragraphSeparater(std::string_view text) { return firstSeparator(text); }

bool endsParagraphSeparater(std::u16string_view text) { return endsWithTerminator(text); }
bool endsParagraphSeparater(std::string_view text) { return endsWithTerminator(text); }

}  // namespace parasort::TQParagraph
