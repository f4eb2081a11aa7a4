// Paragraph bounds in the editor's text. A paragraph ends with LF, CR, CR LF
// or U+2029 (the same four terminators as everywhere in parasort); nothing
// else ends one.
#pragma once

#include "parasort/editor/range.h"
#include "parasort/engine/paragraph_terminators.h"

#include <string_view>

namespace parasort::editor {

// Whether `unit` alone is, or begins, a paragraph terminator.
[[nodiscard]] constexpr bool isParagraphTerminatorUnit(char16_t unit) noexcept {
  return ParagraphTerminators<char16_t>::mayStartTerminator(unit);
}

// The whole paragraphs that `range` touches, terminators included: from the
// start of the paragraph holding range.location to the end (after its
// terminator) of the paragraph holding the range's last unit. An empty range
// gives the paragraph holding its location; at the very end of a text that
// ends with a terminator (or of an empty text) that is the empty last
// paragraph, (length, 0). The range is clamped to the text first.
[[nodiscard]] Range paragraphRangeForRange(std::u16string_view text, Range range) noexcept;

// Whether a paragraph starts at `index`: at 0, and after every terminator.
// The LF of a CR LF is inside a terminator, not after one.
[[nodiscard]] bool isParagraphStart(std::u16string_view text, Index index) noexcept;

}  // namespace parasort::editor
