// One default tab interval for the whole text.
#include "paragraph_style_access.h"
#include "parasort/editor/paragraph_range.h"
#include "parasort/editor/text_view_additions.h"

namespace parasort::TQAdditions {

double defaultTabInterval(const TextView& view) {
  const auto style = editor::valueAs<editor::ParagraphStyle>(
      attribute(view, editor::ParagraphStyleAttributeName, 0, nullptr));
  return style ? style->defaultTabInterval : 0.0;
}

bool setDefaultTabInterval(TextView& view, double interval) {
  // Only the first paragraph is compared, and exactly: an interval that
  // differs in the last bit is a change.
  if (defaultTabInterval(view) == interval) return false;

  editor::TextStorage& storage = view.textStorage();
  const Index length = storage.length();
  if (length == 0) {
    if (!view.shouldChangeTextInRange({0, 0}, std::nullopt)) return false;
    AttributeDictionary typing = view.typingAttributes();
    editor::ParagraphStyle style = detail::typingParagraphStyle(typing);
    style.defaultTabInterval = interval;
    typing.setObject(style, editor::ParagraphStyleAttributeName);
    view.setTypingAttributes(typing);
    view.didChangeText();
    return true;
  }

  const std::u16string text = storage.string();
  bool changed = false;
  storage.beginEditing();
  for (Index i = 0; i < length && i < text.size();) {
    const Range paragraph = editor::paragraphRangeForRange(text, {i, 1});
    // A refused paragraph keeps its interval; the others still get theirs.
    if (view.shouldChangeTextInRange(paragraph, std::nullopt)) {
      editor::ParagraphStyle style = detail::paragraphStyleAt(view, paragraph.location);
      style.defaultTabInterval = interval;
      storage.addAttribute(editor::ParagraphStyleAttributeName, style, paragraph);
      view.didChangeText();
      changed = true;
    }
    i = paragraph.end();
  }
  storage.endEditing();
  return changed;
}

}  // namespace parasort::TQAdditions
