// Reading the paragraph style that a tab or indent change starts from.
#pragma once

#include "parasort/editor/attribute_dictionary.h"
#include "parasort/editor/paragraph_style.h"
#include "parasort/editor/text_view_additions.h"

namespace parasort::TQAdditions::detail {

// A paragraph or typing attributes without a style (or with something else
// under the style's name) start from the default style, so that a change
// always has a whole, valid style to store back.
inline editor::ParagraphStyle styleOrDefault(const std::optional<AttributeValue>& value) {
  return editor::valueAs<editor::ParagraphStyle>(value).value_or(editor::defaultParagraphStyle());
}

// The style of the paragraph holding `index`, through the reader that falls
// back to the typing attributes.
inline editor::ParagraphStyle paragraphStyleAt(const TextView& view, Index index) {
  return styleOrDefault(attribute(view, editor::ParagraphStyleAttributeName, index, nullptr));
}

inline editor::ParagraphStyle typingParagraphStyle(const AttributeDictionary& typing) {
  return styleOrDefault(typing.objectForKey(editor::ParagraphStyleAttributeName));
}

}  // namespace parasort::TQAdditions::detail
