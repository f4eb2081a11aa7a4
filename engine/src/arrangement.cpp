#include "parasort/engine/arrangement.h"

#include "parasort/engine/paragraph.h"
#include "parasort/engine/unique.h"

#include <algorithm>

namespace parasort {
namespace {

template <class CharT>
ArrangedParagraphs<CharT> arrange(std::basic_string_view<CharT> text, ParagraphOrder order,
                                  const ParagraphCollator& collator) {
  using View = std::basic_string_view<CharT>;
  ArrangedParagraphs<CharT> arranged;
  arranged.original = text;
  arranged.paragraphs = TQParagraph::paragraphStrings(text);
  arranged.keepsOriginal = arranged.paragraphs.size() < 2;
  if (arranged.keepsOriginal) return arranged;
  arranged.separator = TQParagraph::paragraphSeparater(text);
  arranged.endsWithSeparator = TQParagraph::endsParagraphSeparater(text);

  const ParagraphCompareContext context{
      .ascending = static_cast<std::uint8_t>(order != ParagraphOrder::descending),
      .collator = &collator};
  auto compare = [](View a, View b, const ParagraphCompareContext* c) {
    return ParagraphCompare(a, b, c);
  };
  if (order == ParagraphOrder::unique) {
    TQUnique::uniqueUsingFunction(arranged.paragraphs, compare, &context);
  } else {
    std::stable_sort(arranged.paragraphs.begin(), arranged.paragraphs.end(),
                     [&](View a, View b) { return compare(a, b, &context) < 0; });
  }
  return arranged;
}

}  // namespace

ArrangedParagraphs<char16_t> arrangeParagraphs(std::u16string_view text, ParagraphOrder order,
                                               const ParagraphCollator& collator) {
  return arrange(text, order, collator);
}

ArrangedParagraphs<char> arrangeParagraphs(std::string_view utf8Text, ParagraphOrder order,
                                           const ParagraphCollator& collator) {
  return arrange(utf8Text, order, collator);
}

}  // namespace parasort
