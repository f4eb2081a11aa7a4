#include "editor_text_view.h"

#include "parasort/editor/attribute_value.h"
#include "parasort/editor/text_view_additions.h"

#include <QString>

namespace parasort {

EditorTextView::EditorTextView(QTextEdit& widget) : widget_(widget), view_(widget) {}

QFont EditorTextView::font() const {
  QFont font = widget_.document()->defaultFont();
  // The font as the user chose it, without the way setFont() draws it.
  font.setStyleStrategy(QFont::PreferDefault);
  // Index 0 of an empty text reads the typing attributes.
  const auto own = editor::valueAs<editor::Font>(
      TQAdditions::attribute(view_, editor::FontAttributeName, 0, nullptr));
  if (own && !own->family.empty()) font.setFamily(QString::fromStdU16String(own->family));
  if (own && own->pointSize > 0.0) font.setPointSizeF(own->pointSize);
  return font;
}

void EditorTextView::setFont(const QFont& font) {
  // Drawn without the shaping that Latin and similar scripts can do without
  // (kerning, ligatures): Qt then lays a large text out in about 60% of the
  // time, and a whole-text sort leaves all of it selected, which Qt lays out
  // at once. Scripts that need shaping are still shaped.
  QFont drawn = font;
  drawn.setStyleStrategy(QFont::PreferNoShaping);
  // QTextEdit hands its font on to the document as the default font when
  // the font change event arrives; set it here too so it holds at once.
  widget_.setFont(drawn);
  widget_.document()->setDefaultFont(drawn);
}

}  // namespace parasort
