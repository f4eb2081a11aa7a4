#include "parasort/engine/paragraph.h"

#include "paragraph_scan.h"

namespace parasort::TQParagraph {
namespace {

using detail::Terminators;
using detail::terminatorAt;

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
  return detail::paragraphContents(text, RecordTerminators::paragraph);
}
std::vector<std::string_view> paragraphStrings(std::string_view text) {
  return detail::paragraphContents(text, RecordTerminators::paragraph);
}

std::u16string unicodeParaSepString() { return std::u16string(1, u'\u2029'); }

std::u16string_view paragraphSeparater(std::u16string_view text) { return firstSeparator(text); }
std::string_view paragraphSeparater(std::string_view text) { return firstSeparator(text); }

bool endsParagraphSeparater(std::u16string_view text) { return endsWithTerminator(text); }
bool endsParagraphSeparater(std::string_view text) { return endsWithTerminator(text); }

}  // namespace parasort::TQParagraph
