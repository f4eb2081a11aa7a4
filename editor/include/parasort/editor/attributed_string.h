// An attributed string: text with an attribute dictionary for every code
// unit, kept as runs. A value type, used to pass text with its attributes in
// and out of a text storage.
#pragma once

#include "parasort/editor/attribute_dictionary.h"
#include "parasort/editor/range.h"

#include <string>
#include <string_view>
#include <vector>

namespace parasort::editor {

class AttributedString {
 public:
  // A stretch of text whose units all carry the same attributes.
  struct Run {
    Range range;
    AttributeDictionary attributes;

    friend bool operator==(const Run&, const Run&) = default;
  };

  AttributedString() = default;
  // The whole text with one set of attributes.
  explicit AttributedString(std::u16string text, const AttributeDictionary& attributes = {});

  [[nodiscard]] const std::u16string& string() const noexcept { return string_; }
  [[nodiscard]] Index length() const noexcept { return string_.size(); }

  // The runs in text order, covering the text exactly; neighbours always
  // differ, so two strings with the same text and attributes compare equal.
  [[nodiscard]] const std::vector<Run>& runs() const noexcept { return runs_; }

  // The attributes of the unit at `index` (which must be < length(); past it
  // the result is empty). When `effectiveRange` is given, it receives the
  // whole run those attributes cover.
  [[nodiscard]] AttributeDictionary attributesAtIndex(Index index,
                                                      Range* effectiveRange = nullptr) const;

  // The units of `range` (clamped to the text) with their attributes.
  [[nodiscard]] AttributedString attributedSubstringFromRange(Range range) const;

  void append(std::u16string_view text, const AttributeDictionary& attributes);
  void append(const AttributedString& other);

  friend bool operator==(const AttributedString&, const AttributedString&) = default;

 private:
  std::u16string string_;
  std::vector<Run> runs_;
};

}  // namespace parasort::editor
