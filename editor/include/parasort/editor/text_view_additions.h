// TQAdditions: the editing operations parasort adds to a text view. Free
// functions over the TextView contract, keeping no state of their own.
//
// Operations named action... are user-level edits: they ask the view's
// approval (shouldChangeTextInRange) before changing anything and announce
// each approved change (didChangeText), so the view records it for undo;
// setDefaultTabInterval follows the same rule once per paragraph. The other
// operations change the storage or the typing attributes directly. Every
// change to the storage happens inside one editing bracket opened and closed
// by the same call. Nothing here throws, logs or shows a message.
#pragma once

#include "parasort/editor/attribute_dictionary.h"
#include "parasort/editor/attributed_string.h"
#include "parasort/editor/range.h"
#include "parasort/editor/text_view.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace parasort::TQAdditions {

using editor::AttributeDictionary;
using editor::AttributedString;
using editor::AttributeValue;
using editor::Index;
using editor::Range;
using editor::TextView;

// What a replacement puts in: plain text, which takes the attributes the
// storage gives it, or attributed text, which brings its own.
using StringObject = std::variant<std::u16string, AttributedString>;

// ---- Replacement and the selected text ----------------------------------

// Selects `range`, then replaces the view's user-change range for it with
// `stringObject` as one approved, undoable edit, and selects exactly the new
// text. The approval sees the plain text. Returns true when the text was
// replaced; false, with nothing changed, for no object (nullopt), and false,
// with `range` left selected, when the view refuses.
bool actionReplaceCharactersInRange(TextView& view, Range range,
                                    const std::optional<StringObject>& stringObject);

// The selected characters with their attributes, or nothing for an empty
// selection.
[[nodiscard]] std::optional<AttributedString> selectedAttributedString(const TextView& view);

// ---- Readers: the typing attributes stand in past the end of the text ----

// The value of `name` at `index`. Below the text's length this is the
// storage's answer, with the effective range filled in when asked for. At or
// past the end it is the typing attributes' entry; then `effectiveRange`, if
// given, becomes (0, 0) when there is a value and is left alone when not.
[[nodiscard]] std::optional<AttributeValue> attribute(const TextView& view, std::string_view name,
                                                      Index index, Range* effectiveRange);
// All attributes at `index`, the same way (past the end: the typing
// attributes, and an effective range of (0, 0)).
[[nodiscard]] AttributeDictionary attributesAtIndex(const TextView& view, Index index,
                                                    Range* effectiveRange);
// The readers above at the selection's location (its length is ignored).
[[nodiscard]] std::optional<AttributeValue> currentSelectionAttribute(const TextView& view,
                                                                      std::string_view name,
                                                                      Range* effectiveRange);
[[nodiscard]] AttributeDictionary currentSelectionAttributesEffectiveRange(const TextView& view,
                                                                           Range* effectiveRange);

// ---- Writers: the typing attributes stand in for an empty text ----------

// On an empty text these change the typing attributes and ignore `range`;
// otherwise they change the storage over `range`, inside one editing bracket,
// and leave the typing attributes alone. No approval.
void addAttribute(TextView& view, std::string_view name, const AttributeValue& value, Range range);
void addAttributes(TextView& view, const AttributeDictionary& attributes, Range range);
void removeAttribute(TextView& view, std::string_view name, Range range);

// ---- Tab interval ---------------------------------------------------------

// The first paragraph's default tab interval (on an empty text, the typing
// attributes'); 0.0 when it carries no paragraph style.
[[nodiscard]] double defaultTabInterval(const TextView& view);

// Gives every paragraph of the whole text (whatever is selected) the tab
// interval `interval`, each paragraph approved and announced on its own, all
// inside one editing bracket; on an empty text, the typing attributes get it,
// with one approval. Returns false at once when the first paragraph already
// has exactly this interval; otherwise whether any paragraph (or the typing
// attributes) was changed. A paragraph without a style starts from the
// default style. The selection is not touched.
bool setDefaultTabInterval(TextView& view, double interval);

// ---- Indent shift ----------------------------------------------------------

// Shifts the head indent and first-line head indent of every paragraph that
// the selection touches by `delta` points (negative: left), each indent
// clamped at 0.0 on its own, every other style field kept; each paragraph is
// approved and announced on its own inside one editing bracket. With no
// paragraph to work on (an insertion point in the empty last paragraph, or an
// empty text) the typing attributes' style is shifted instead, with one
// approval. The selection is then moved to a neighbouring range and back, so
// that it ends as it was. Returns false, doing nothing, for a delta of zero
// or one that is not a finite number, and when the view allows no paragraph
// attribute change; true otherwise, also when approvals were refused.
bool actionShiftParagraphInSelectedRangeByDelta(TextView& view, double delta);

// ---- Approved attribute edits ----------------------------------------------

// Select `range` and ask approval for the user-change range of the
// attribute's kind (whole paragraphs for the paragraph style, the selection
// otherwise). On approval, add sets the value over `range`, and remove clears
// the attribute over the approved range; on an empty text both work on the
// typing attributes. Returns true when the change was made, false when it
// was refused (then nothing changes and `range` stays selected).
bool actionAddAttribute(TextView& view, std::string_view name, const AttributeValue& value,
                        Range range);
bool actionRemoveAttribute(TextView& view, std::string_view name, Range range);

}  // namespace parasort::TQAdditions
