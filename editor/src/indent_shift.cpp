// Shifting the indents of the selected paragraphs.
#include "paragraph_style_access.h"
#include "parasort/editor/paragraph_range.h"
#include "parasort/editor/text_view_additions.h"

#include <cmath>

namespace parasort::TQAdditions {
namespace {

// Both indents move from their values before the shift, and each stops at
// zero on its own: an indent never goes left of the margin, and a first line
// already at the margin does not drag the head indent with it.
editor::ParagraphStyle shifted(editor::ParagraphStyle style, double delta) {
  const double head = style.headIndent + delta;
  const double firstLine = style.firstLineHeadIndent + delta;
  style.headIndent = head < 0.0 ? 0.0 : head;
  style.firstLineHeadIndent = firstLine < 0.0 ? 0.0 : firstLine;
  return style;
}

void shiftParagraphs(TextView& view, Range paragraphs, double delta) {
  editor::TextStorage& storage = view.textStorage();
  const std::u16string text = view.string();
  const Index end = paragraphs.end();
  storage.beginEditing();
  // Bounded by the text as well, so a view reporting a range past the end
  // cannot keep the loop from advancing.
  for (Index i = paragraphs.location; i < end && i < text.size();) {
    const Range paragraph = editor::paragraphRangeForRange(text, {i, 1});
    const editor::ParagraphStyle style =
        shifted(detail::paragraphStyleAt(view, paragraph.location), delta);
    if (view.shouldChangeTextInRange(paragraph, std::nullopt)) {
      storage.addAttribute(editor::ParagraphStyleAttributeName, style, paragraph);
      view.didChangeText();
    }
    i = paragraph.end();
  }
  storage.endEditing();
}

void shiftTypingAttributes(TextView& view, Range paragraphs, double delta) {
  if (!view.shouldChangeTextInRange(paragraphs, std::nullopt)) return;
  AttributeDictionary typing = view.typingAttributes();
  typing.setObject(shifted(detail::typingParagraphStyle(typing), delta),
                   editor::ParagraphStyleAttributeName);
  view.setTypingAttributes(typing);
  view.didChangeText();
}

// Moves the selection to a neighbouring range and back, so that the view
// takes up the paragraph's new style (ruler, typing attributes) as it does
// whenever the selection moves. It ends exactly as it was.
void nudgeSelection(TextView& view) {
  const Range selection = view.selectedRange();
  const Index length = view.textStorage().length();
  Range neighbour{0, 0};
  if (selection.length > 0)
    neighbour = {selection.location, selection.length - 1};
  else if (selection.location > 0)
    neighbour = {selection.location - 1, 0};
  else if (length > 0)
    neighbour = {1, 0};
  view.setSelectedRange(neighbour);
  view.setSelectedRange(selection);
}

}  // namespace

bool actionShiftParagraphInSelectedRangeByDelta(TextView& view, double delta) {
  // A non-finite delta would turn both indents into infinities or NaN.
  if (delta == 0.0 || !std::isfinite(delta)) return false;
  const Range paragraphs = view.rangeForUserParagraphAttributeChange();
  if (paragraphs.location == editor::NotFound) return false;

  if (paragraphs.length > 0 && view.textStorage().length() > 0)
    shiftParagraphs(view, paragraphs, delta);
  else
    shiftTypingAttributes(view, paragraphs, delta);

  nudgeSelection(view);
  return true;
}

}  // namespace parasort::TQAdditions
