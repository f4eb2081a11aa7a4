#include "editor_text_view.h"

#include "parasort/editor/attribute_value.h"
#include "parasort/editor/text_view_additions.h"

#include <QString>

namespace parasort {

EditorTextView::EditorTextView(QTextEdit& widget) : widget_(widget), view_(widget) {}

QFont EditorTextView::font() const {
  QFont font = widget_.document()->defaultFont();
  // Index 0 of an empty text reads the typing attributes.
  const auto own = editor::valueAs<editor::Font>(
      TQAdditions::attribute(view_, editor::FontAttributeName, 0, nullptr));
  if (own && !own->family.empty()) font.setFamily(QString::fromStdU16String(own->family));
  if (own && own->pointSize > 0.0) font.setPointSizeF(own->pointSize);
  return font;
}

void EditorTextView::setFont(const QFont& font) {
  // Drawn with full shaping (joined Arabic, whole emoji sequences, kerning):
  // the style strategy is the default one whatever `font` brings.
  QFont drawn = font;
  drawn.setStyleStrategy(QFont::PreferDefault);
  // QTextEdit hands its font on to the document as the default font when
  // the font change event arrives; set it here too so it holds at once.
  widget_.setFont(drawn);
  widget_.document()->setDefaultFont(drawn);
}

}  // namespace parasort
