// The text storage: the editor's text with its attributes, as the text
// operations of parasort see it. Implemented over QTextDocument for the
// application and in memory for tests.
#pragma once

#include "parasort/editor/attribute_dictionary.h"
#include "parasort/editor/attributed_string.h"
#include "parasort/editor/range.h"

#include <optional>
#include <string>
#include <string_view>

namespace parasort::editor {

// Every range given to a storage is clamped to its text first; indexes at or
// past the end read nothing. Paragraph styles belong to whole paragraphs (see
// ParagraphStyleAttributeName). No operation throws.
class TextStorage {
 public:
  virtual ~TextStorage() = default;

  [[nodiscard]] virtual Index length() const = 0;
  // The whole text. A paragraph break may be stored as U+2029 (the Qt
  // adapter does); indexes into it are the storage's indexes.
  [[nodiscard]] virtual std::u16string string() const = 0;

  // Bracket a group of changes; brackets nest, and whoever opens one closes
  // it before returning. An implementation may defer work (layout, undo
  // grouping) until the outermost bracket closes.
  virtual void beginEditing() = 0;
  virtual void endEditing() = 0;

  // Replaces `range` with `text`. The new characters take the character
  // attributes of the first replaced character, or, for an empty range,
  // those that text typed at its location would take; new paragraphs take
  // the paragraph style of the paragraph holding range.location.
  virtual void replaceCharactersInRange(Range range, std::u16string_view text) = 0;
  // Replaces `range` with `text`, whose characters bring their own
  // attributes; a paragraph that starts inside the new text takes the
  // paragraph style its first character brings (or none).
  virtual void replaceCharactersInRange(Range range, const AttributedString& text) = 0;
  [[nodiscard]] virtual AttributedString attributedSubstringFromRange(Range range) const = 0;

  // The value of `name` at `index` (< length()), or nothing. When
  // `effectiveRange` is given it receives the longest range around `index`
  // over which the value (or its absence) is the same.
  [[nodiscard]] virtual std::optional<AttributeValue> attribute(std::string_view name, Index index,
                                                                Range* effectiveRange) const = 0;
  // All attributes at `index` (< length()); `effectiveRange` as above, for
  // the whole dictionary.
  [[nodiscard]] virtual AttributeDictionary attributesAtIndex(Index index,
                                                              Range* effectiveRange) const = 0;

  // Set, add or remove attributes over `range`; an empty range changes
  // nothing.
  virtual void addAttribute(std::string_view name, const AttributeValue& value, Range range) = 0;
  virtual void addAttributes(const AttributeDictionary& attributes, Range range) = 0;
  virtual void removeAttribute(std::string_view name, Range range) = 0;
};

}  // namespace parasort::editor
