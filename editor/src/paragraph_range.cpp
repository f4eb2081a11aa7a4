#include "parasort/editor/paragraph_range.h"

namespace parasort::editor {
namespace {

// One past the terminator of the paragraph holding `index` (or the text's
// end when that paragraph has none).
Index paragraphEnd(std::u16string_view text, Index index) noexcept {
  // Step back onto the CR when `index` is the LF of a CR LF, so that the
  // forward scan sees the whole terminator.
  if (index > 0 && index < text.size() && text[index] == u'\n' && text[index - 1] == u'\r')
    --index;
  for (Index i = index; i < text.size(); ++i) {
    if (!isParagraphTerminatorUnit(text[i])) continue;
    const bool crlf = text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
    return i + (crlf ? 2 : 1);
  }
  return text.size();
}

Index paragraphStart(std::u16string_view text, Index index) noexcept {
  while (index > 0 && !isParagraphStart(text, index)) --index;
  return index;
}

}  // namespace

bool isParagraphStart(std::u16string_view text, Index index) noexcept {
  if (index == 0) return true;
  if (index > text.size()) return false;
  const char16_t before = text[index - 1];
  if (!isParagraphTerminatorUnit(before)) return false;
  const bool insideCrlf = before == u'\r' && index < text.size() && text[index] == u'\n';
  return !insideCrlf;
}

Range paragraphRangeForRange(std::u16string_view text, Range range) noexcept {
  const Range within = clampedRange(range, text.size());
  const Index start = paragraphStart(text, within.location);
  if (within.location == text.size() && within.length == 0) {
    // The end of the text: the last paragraph, which is empty exactly when
    // the text ends with a terminator.
    return {start, text.size() - start};
  }
  const Index last = within.length == 0 ? within.location : within.end() - 1;
  return {start, paragraphEnd(text, last) - start};
}

}  // namespace parasort::editor
