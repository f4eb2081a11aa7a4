// MyController's Private operations: the transforms of the menu actions,
// the engine's arrangements under the saved sort options.
#include "my_controller.h"

#include "sort_options.h"

namespace parasort {

std::u16string MyController::sortedParagraphOfString(std::u16string_view text, bool ascending) const {
  return arrangedParagraphs(text, ascending ? ParagraphOrder::ascending : ParagraphOrder::descending);
}

std::u16string MyController::uniqueParagraphOfString(std::u16string_view text) const {
  return arrangedParagraphs(text, ParagraphOrder::unique);
}

std::u16string MyController::arrangedParagraphs(std::u16string_view text, ParagraphOrder order) const {
  const SortOptions options = savedSortOptions();
  return parasort::arrangeParagraphs(text, order, ParagraphCollator::forUser(collationOf(options)),
                                    arrangeOptionsOf(options))
      .joined();
}

}  // namespace parasort
