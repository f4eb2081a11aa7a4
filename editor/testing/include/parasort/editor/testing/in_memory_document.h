// The text and attributes of the in-memory text view: a plain model of what
// a text document keeps, with the rules the Qt document follows, so that
// code tested against it behaves the same over QTextEdit.
#pragma once

#include "parasort/editor/attribute_dictionary.h"
#include "parasort/editor/attributed_string.h"
#include "parasort/editor/range.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parasort::editor::testing {

class InMemoryDocument {
 public:
  [[nodiscard]] const std::u16string& text() const noexcept { return text_; }
  [[nodiscard]] Index length() const noexcept { return text_.size(); }

  // Replacement, with the attribute rules of TextStorage.
  void replace(Range range, std::u16string_view text);
  void replace(Range range, const AttributedString& text);

  // All attributes (character ones and the paragraph style) at `index` <
  // length(), and the longest range around it with the same dictionary.
  [[nodiscard]] AttributeDictionary attributesAt(Index index, Range* effectiveRange) const;
  // One attribute at `index` < length(), and the longest range around it
  // with the same value or absence.
  [[nodiscard]] std::optional<AttributeValue> attributeAt(std::string_view name, Index index,
                                                          Range* effectiveRange) const;
  [[nodiscard]] AttributedString substring(Range range) const;

  // Over `range` (clamped; empty changes nothing). The paragraph style goes
  // to every paragraph the range touches, and only a ParagraphStyle value is
  // stored under its name.
  void setAttribute(std::string_view name, const AttributeValue& value, Range range);
  void removeAttribute(std::string_view name, Range range);

  // What typing at `location` takes: the character attributes of the unit
  // before it (after it at the start of a non-empty paragraph; in an empty
  // paragraph, those kept for it), with the paragraph's style.
  [[nodiscard]] AttributeDictionary typingAttributesAt(Index location) const;
  // Sets the style of the paragraph holding `location` from `attributes`
  // (removes it when there is none) and, for an empty paragraph, keeps the
  // character attributes for it. Returns the character attributes alone.
  AttributeDictionary setTypingAttributesAt(Index location, const AttributeDictionary& attributes);

  friend bool operator==(const InMemoryDocument&, const InMemoryDocument&) = default;

 private:
  [[nodiscard]] static AttributeDictionary characterPart(AttributeDictionary attributes);
  [[nodiscard]] std::optional<AttributeValue> paragraphStyleOfParagraphAt(Index location) const;
  // The units (indexes into units_) that make up the paragraphs `range`
  // touches, the end-of-text unit included when the last paragraph is.
  [[nodiscard]] Range paragraphUnits(Range range) const;
  void splice(Range range, std::u16string_view text, std::vector<AttributeDictionary> units);
  // Gives every paragraph the style of its first unit, as a paragraph holds
  // one style however its text was put together.
  void evenOutParagraphStyles();

  std::u16string text_;
  // One dictionary per code unit, and one more for the end of the text that
  // carries only the last paragraph's style (so an empty last paragraph has
  // one).
  std::vector<AttributeDictionary> units_{AttributeDictionary{}};
  // What text typed into an empty first paragraph takes; an empty paragraph
  // further on takes the attributes of the terminator before it.
  AttributeDictionary firstParagraphCharacters_;
};

}  // namespace parasort::editor::testing
