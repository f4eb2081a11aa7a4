#include "parasort/engine/transforms.h"

#include "parasort/engine/arrangement.h"

namespace parasort {
namespace {

ParagraphOrder sortOrder(bool ascending) {
  return ascending ? ParagraphOrder::ascending : ParagraphOrder::descending;
}

}  // namespace

std::u16string sortedParagraphOfString(std::u16string_view text, bool ascending) {
  return sortedParagraphOfString(text, ascending, ParagraphCollator::forUser());
}

std::u16string sortedParagraphOfString(std::u16string_view text, bool ascending,
                                       const ParagraphCollator& collator) {
  return arrangeParagraphs(text, sortOrder(ascending), collator).joined();
}

std::u16string uniqueParagraphOfString(std::u16string_view text) {
  return uniqueParagraphOfString(text, ParagraphCollator::forUser());
}

std::u16string uniqueParagraphOfString(std::u16string_view text, const ParagraphCollator& collator) {
  return arrangeParagraphs(text, ParagraphOrder::unique, collator).joined();
}

std::pmr::u16string sortedParagraphOfString(std::u16string_view text, bool ascending,
                                            const ParagraphCollator& collator, std::pmr::memory_resource& memory) {
  return arrangeParagraphs(text, sortOrder(ascending), collator, {.memory = &memory}).joined(memory);
}

std::pmr::u16string uniqueParagraphOfString(std::u16string_view text, const ParagraphCollator& collator,
                                            std::pmr::memory_resource& memory) {
  return arrangeParagraphs(text, ParagraphOrder::unique, collator, {.memory = &memory}).joined(memory);
}

}  // namespace parasort
