// The paragraph transforms' common core: a text taken apart, its paragraphs
// put in their new order, ready to be joined or written out piece by piece
// without a joined copy.
#pragma once

#include "parasort/engine/collation.h"

#include <string>
#include <string_view>
#include <vector>

namespace parasort {

enum class ParagraphOrder {
  ascending,   // sorted, equal paragraphs in input order
  descending,  // sorted backwards, equal paragraphs still in input order
  unique,      // ascending, only the first (in input order) of equal paragraphs
};

// A text's paragraphs in their new order. Views into the original text, so
// the text must outlive it.
template <class CharT>
struct ArrangedParagraphs {
  using View = std::basic_string_view<CharT>;

  View original;
  std::vector<View> paragraphs;  // contents, without terminators, in output order
  View separator;                // the text's separator kind
  bool endsWithSeparator = false;
  // A text of fewer than two paragraphs is handed back as it is. (After
  // de-duplication a longer text may be down to one paragraph: that one is
  // still rejoined by the rules.)
  bool keepsOriginal = false;

  // Calls `sink(View)` for each consecutive piece of the result.
  template <class Sink>
  void forEachPiece(Sink&& sink) const {
    if (keepsOriginal) {
      sink(original);
      return;
    }
    for (std::size_t index = 0; index < paragraphs.size(); ++index) {
      sink(paragraphs[index]);
      if (index + 1 < paragraphs.size() || endsWithSeparator) sink(separator);
    }
  }

  std::size_t resultSize() const noexcept {
    std::size_t size = 0;
    forEachPiece([&size](View piece) { size += piece.size(); });
    return size;
  }

  std::basic_string<CharT> joined() const {
    std::basic_string<CharT> result;
    result.reserve(resultSize());
    forEachPiece([&result](View piece) { result.append(piece); });
    return result;
  }
};

// Splits `text` into paragraphs and orders them by `collator`. Every
// separator of the result is of the kind the text uses first; the result
// ends with one exactly when the text ended with a terminator.
ArrangedParagraphs<char16_t> arrangeParagraphs(std::u16string_view text, ParagraphOrder order,
                                               const ParagraphCollator& collator);
ArrangedParagraphs<char> arrangeParagraphs(std::string_view utf8Text, ParagraphOrder order,
                                           const ParagraphCollator& collator);

}  // namespace parasort
