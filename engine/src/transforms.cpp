#include "parasort/engine/transforms.h"

#include "parasort/engine/arrangement.h"

namespace parasort {

std::u16string sortedParagraphOfString(std::u16string_view text, bool ascending) {
  return sortedParagraphOfString(text, ascending, ParagraphCollator::forUser());
}

std::u16string sortedParagraphOfString(std::u16string_view text, bool ascending,
                                       const ParagraphCollator& collator) {
  const auto order = ascending ? ParagraphOrder::ascending : ParagraphOrder::descending;
  return arrangeParagraphs(text, order, collator).joined();
}

std::u16string uniqueParagraphOfString(std::u16string_view text) {
  return uniqueParagraphOfString(text, ParagraphCollator::forUser());
}

std::u16string uniqueParagraphOfString(std::u16string_view text, const ParagraphCollator& collator) {
  return arrangeParagraphs(text, ParagraphOrder::unique, collator).joined();
}

}  // namespace parasort
