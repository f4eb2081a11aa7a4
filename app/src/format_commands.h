// The Format menu's edits of character attributes, over the text view
// contract: they work on the selection as approved, undoable edits, and with
// only an insertion point on the text typed next.
#pragma once

#include "parasort/editor/attribute_value.h"
#include "parasort/editor/text_view.h"

#include <optional>
#include <string_view>

namespace parasort::FormatCommands {

// How far Increase Indent and Decrease Indent shift, in points.
inline constexpr double indentStep = 36.0;

enum class Emphasis { Bold, Italic, Underline };

// Whether the text at the selection (at an insertion point: the text typed
// next) has `emphasis`.
[[nodiscard]] bool hasEmphasis(const editor::TextView& view, Emphasis emphasis);

// Turns `emphasis` off where the selection starts with it, on otherwise.
// Returns whether anything changed (false when the view refuses the edit).
bool toggleEmphasis(editor::TextView& view, Emphasis emphasis);

// Gives the selection `font` (family and point size).
bool applyFont(editor::TextView& view, const editor::Font& font);

// Sets (`value`) or clears (nothing) the attribute `name` over the selection
// through the approved attribute edits; with an insertion point in a
// non-empty text, in the typing attributes instead, where there is no text
// to approve. Returns whether anything changed.
bool changeSelectionAttribute(editor::TextView& view, std::string_view name,
                              const std::optional<editor::AttributeValue>& value);

}  // namespace parasort::FormatCommands
