// The text view: the editor's selection, its rules for user edits, and the
// typing attributes, over a text storage. The editing operations of
// TQAdditions are written against this contract only.
#pragma once

#include "parasort/editor/attribute_dictionary.h"
#include "parasort/editor/range.h"
#include "parasort/editor/text_storage.h"

#include <optional>
#include <string>
#include <string_view>

namespace parasort::editor {

class TextView {
 public:
  virtual ~TextView() = default;

  [[nodiscard]] virtual Range selectedRange() const = 0;
  // Makes exactly `range` (clamped to the text) the selection.
  virtual void setSelectedRange(Range range) = 0;

  // The range a user edit of the text, of character attributes or of
  // paragraph attributes would affect, from the current selection; the
  // paragraph one is widened to whole paragraphs. Location NotFound when no
  // such edit is allowed (a read-only view).
  [[nodiscard]] virtual Range rangeForUserTextChange() const = 0;
  [[nodiscard]] virtual Range rangeForUserCharacterAttributeChange() const = 0;
  [[nodiscard]] virtual Range rangeForUserParagraphAttributeChange() const = 0;

  // Asks whether a user-level edit of `range` may go ahead, with the new
  // plain text, or nothing for an attribute change. A range at NotFound or
  // outside the text is always refused. On true the caller makes the change
  // and then calls didChangeText(); an approval with the changes up to its
  // didChangeText() (or, inside a storage editing bracket, up to the close of
  // the outermost bracket) is recorded as one undoable edit. On false the
  // caller changes nothing.
  [[nodiscard]] virtual bool shouldChangeTextInRange(
      Range range, std::optional<std::u16string_view> replacementString) = 0;
  // Announces a finished, approved edit.
  virtual void didChangeText() = 0;

  [[nodiscard]] virtual TextStorage& textStorage() = 0;
  [[nodiscard]] virtual const TextStorage& textStorage() const = 0;
  // The whole text, as the storage's string().
  [[nodiscard]] virtual std::u16string string() const = 0;

  // The attributes for text typed next: the character attributes at the
  // insertion point (those of the character before it, or after it at the
  // start of a paragraph), with the paragraph style of the paragraph holding
  // it. They follow the selection: moving it picks them up afresh.
  [[nodiscard]] virtual AttributeDictionary typingAttributes() const = 0;
  // Replaces the typing attributes whole. The paragraph style in them is the
  // style of the paragraph holding the insertion point, so it is set there
  // (or removed, when `attributes` has none). The character attributes hold
  // until the selection moves, or for good in an empty paragraph, where
  // nothing else would carry them.
  virtual void setTypingAttributes(const AttributeDictionary& attributes) = 0;
};

}  // namespace parasort::editor
