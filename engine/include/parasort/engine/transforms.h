// The two paragraph transforms that every way into parasort ends in.
//
// Both split the text into paragraphs, order them by the paragraph collation
// and join them again with the separator kind the text uses first; the
// result ends with a separator exactly when the text did. A text of fewer
// than two paragraphs comes back unchanged. Paragraphs that collate equal
// keep their input order, in both directions. Neither transform fails.
#pragma once

#include "parasort/engine/collation.h"

#include <memory_resource>
#include <string>
#include <string_view>

namespace parasort {

// The paragraphs sorted ascending or descending, by the user's collation
// locale or by `collator`.
std::u16string sortedParagraphOfString(std::u16string_view text, bool ascending);
std::u16string sortedParagraphOfString(std::u16string_view text, bool ascending,
                                       const ParagraphCollator& collator);

// The paragraphs sorted ascending with only the first (in input order) of
// each run of equal paragraphs kept.
std::u16string uniqueParagraphOfString(std::u16string_view text);
std::u16string uniqueParagraphOfString(std::u16string_view text, const ParagraphCollator& collator);

// The same transforms with their large memory (the sort keys, the order and
// the result) taken from `memory`: a caller that knows its platform hands in
// a resource that provides large blocks cheaply. The result is the same.
std::pmr::u16string sortedParagraphOfString(std::u16string_view text, bool ascending,
                                            const ParagraphCollator& collator, std::pmr::memory_resource& memory);
std::pmr::u16string uniqueParagraphOfString(std::u16string_view text, const ParagraphCollator& collator,
                                            std::pmr::memory_resource& memory);

}  // namespace parasort
