#include "parasort/editor/testing/in_memory_text_view.h"

#include "parasort/editor/paragraph_range.h"

#include <algorithm>

namespace parasort::editor::testing {
namespace {

constexpr std::string_view kStyle = ParagraphStyleAttributeName;

// Only a ParagraphStyle may stand under the style's name.
std::optional<AttributeValue> validStyle(const std::optional<AttributeValue>& value) {
  if (value && std::holds_alternative<ParagraphStyle>(*value)) return value;
  return std::nullopt;
}

void setStyle(AttributeDictionary& unit, const std::optional<AttributeValue>& style) {
  if (style)
    unit.setObject(*style, kStyle);
  else
    unit.removeObjectForKey(kStyle);
}

AttributeDictionary characterPart(AttributeDictionary attributes) {
  attributes.removeObjectForKey(kStyle);
  return attributes;
}

// The longest range around `index` within [0, length) whose units all
// satisfy `sameAsIndex`.
template <class SameAsIndex>
Range runAround(Index index, Index length, SameAsIndex sameAsIndex) {
  Index start = index;
  while (start > 0 && sameAsIndex(start - 1)) --start;
  Index end = index + 1;
  while (end < length && sameAsIndex(end)) ++end;
  return {start, end - start};
}

bool isEmptyParagraph(std::u16string_view text, Range paragraph) {
  return paragraph.length == 0 || isParagraphTerminatorUnit(text[paragraph.location]);
}

}  // namespace

InMemoryTextView::InMemoryTextView()
    : grouping_([this] { stepStart_ = document_; },
                [this] {
                  // A step that changed nothing leaves nothing to undo.
                  if (stepStart_ && !(*stepStart_ == document_)) {
                    undoStack_.push_back(std::move(*stepStart_));
                    redoStack_.clear();
                  }
                  stepStart_.reset();
                }) {}

void InMemoryTextView::setSelectedRange(Range range) {
  record("select", range);
  selection_ = clampedRange(range, length());
  typingCharacterOverride_.reset();
}

bool InMemoryTextView::shouldChangeTextInRange(
    Range range, std::optional<std::u16string_view> replacementString) {
  const bool approved = editable_ && range.location != NotFound && range.location <= length() &&
                        range.length <= length() - range.location &&
                        (!approvalDelegate_ || approvalDelegate_(range, replacementString));
  record(approved ? "approved" : "refused", range);
  if (approved) grouping_.approvalGranted();
  return approved;
}

Range InMemoryTextView::paragraphUnits(Range range) const {
  Range paragraphs = paragraphRangeForRange(document_.text, range);
  const bool endsWithTerminator =
      paragraphs.length > 0 && isParagraphTerminatorUnit(document_.text[paragraphs.end() - 1]);
  // The end-of-text unit belongs to the last paragraph, which is the empty
  // one after a final terminator.
  if (paragraphs.end() == length() && !endsWithTerminator) ++paragraphs.length;
  return paragraphs;
}

void InMemoryTextView::splice(Range range, std::u16string_view text,
                              std::vector<AttributeDictionary> units) {
  auto& all = document_.units;
  const auto first = all.begin() + static_cast<std::ptrdiff_t>(range.location);
  all.erase(first, first + static_cast<std::ptrdiff_t>(range.length));
  all.insert(all.begin() + static_cast<std::ptrdiff_t>(range.location),
             std::make_move_iterator(units.begin()), std::make_move_iterator(units.end()));
  document_.text.replace(range.location, range.length, text);
  // Every paragraph takes the style of its first unit, as a paragraph holds
  // one style however its text was put together.
  for (Index start = 0;;) {
    const Range paragraph = paragraphUnits({start, 0});
    const auto style = all[start].objectForKey(kStyle);
    for (Index i = paragraph.location; i < paragraph.end(); ++i) setStyle(all[i], style);
    if (paragraph.end() > length()) break;
    start = paragraph.end();
  }
}

void InMemoryTextView::replaceCharactersInRange(Range range, std::u16string_view text) {
  record("replace", range);
  const Range within = clampedRange(range, length());
  AttributeDictionary inherited = characterPart(
      within.length > 0 ? document_.units[within.location] : typingAttributesAt(within.location));
  const Range paragraph = paragraphRangeForRange(document_.text, {within.location, 0});
  setStyle(inherited, document_.units[paragraph.location].objectForKey(kStyle));
  splice(within, text, std::vector<AttributeDictionary>(text.size(), inherited));
}

void InMemoryTextView::replaceCharactersInRange(Range range, const AttributedString& text) {
  record("replace", range);
  std::vector<AttributeDictionary> units;
  for (const auto& run : text.runs()) {
    AttributeDictionary attributes = run.attributes;
    setStyle(attributes, validStyle(attributes.objectForKey(kStyle)));
    units.insert(units.end(), run.range.length, attributes);
  }
  splice(clampedRange(range, length()), text.string(), std::move(units));
}

AttributedString InMemoryTextView::attributedSubstringFromRange(Range range) const {
  const Range within = clampedRange(range, length());
  AttributedString result;
  for (Index i = within.location; i < within.end(); ++i)
    result.append(std::u16string_view(document_.text).substr(i, 1), document_.units[i]);
  return result;
}

std::optional<AttributeValue> InMemoryTextView::attribute(std::string_view name, Index index,
                                                          Range* effectiveRange) const {
  if (index >= length()) return std::nullopt;
  const auto& units = document_.units;
  auto value = units[index].objectForKey(name);
  if (effectiveRange != nullptr)
    *effectiveRange =
        runAround(index, length(), [&](Index i) { return units[i].objectForKey(name) == value; });
  return value;
}

AttributeDictionary InMemoryTextView::attributesAtIndex(Index index, Range* effectiveRange) const {
  if (index >= length()) return {};
  const auto& units = document_.units;
  if (effectiveRange != nullptr)
    *effectiveRange = runAround(index, length(), [&](Index i) { return units[i] == units[index]; });
  return units[index];
}

void InMemoryTextView::addAttribute(std::string_view name, const AttributeValue& value,
                                    Range range) {
  record("addAttribute", range);
  const Range within = clampedRange(range, length());
  if (within.length == 0) return;
  auto& units = document_.units;
  if (name != kStyle) {
    for (Index i = within.location; i < within.end(); ++i) units[i].setObject(value, name);
  } else if (const auto style = validStyle(value)) {
    const Range paragraphs = paragraphUnits(within);
    for (Index i = paragraphs.location; i < paragraphs.end(); ++i) setStyle(units[i], style);
  }
}

void InMemoryTextView::removeAttribute(std::string_view name, Range range) {
  record("removeAttribute", range);
  const Range within = clampedRange(range, length());
  if (within.length == 0) return;
  const Range units = name == kStyle ? paragraphUnits(within) : within;
  for (Index i = units.location; i < units.end(); ++i) document_.units[i].removeObjectForKey(name);
}

// What typing at `location` takes: the character attributes of the unit
// before it (after it at the start of a non-empty paragraph; in an empty
// paragraph, those kept for it), with the paragraph's style.
AttributeDictionary InMemoryTextView::typingAttributesAt(Index location) const {
  const Index at = std::min(location, length());
  const Range paragraph = paragraphRangeForRange(document_.text, {at, 0});
  AttributeDictionary result;
  if (at == paragraph.location && !isEmptyParagraph(document_.text, paragraph))
    result = characterPart(document_.units[at]);
  else if (at > 0)
    result = characterPart(document_.units[at - 1]);
  else
    result = document_.firstParagraphCharacters;
  setStyle(result, document_.units[paragraph.location].objectForKey(kStyle));
  return result;
}

AttributeDictionary InMemoryTextView::typingAttributes() const {
  AttributeDictionary typing = typingAttributesAt(selection_.location);
  if (!typingCharacterOverride_ || selection_.length > 0) return typing;
  AttributeDictionary overridden = *typingCharacterOverride_;
  setStyle(overridden, typing.objectForKey(kStyle));
  return overridden;
}

// Sets the style of the paragraph holding the insertion point from
// `attributes` (removes it when there is none) and, for an empty paragraph,
// keeps the character attributes for it.
void InMemoryTextView::setTypingAttributes(const AttributeDictionary& attributes) {
  calls.emplace_back("setTypingAttributes");
  const Index at = selection_.location;
  const Range units = paragraphUnits({at, 0});
  for (Index i = units.location; i < units.end(); ++i)
    setStyle(document_.units[i], validStyle(attributes.objectForKey(kStyle)));
  AttributeDictionary characters = characterPart(attributes);
  const Range paragraph = paragraphRangeForRange(document_.text, {at, 0});
  if (isEmptyParagraph(document_.text, paragraph)) {
    if (paragraph.location == 0) {
      document_.firstParagraphCharacters = characters;
    } else {
      AttributeDictionary& before = document_.units[paragraph.location - 1];
      setStyle(characters, before.objectForKey(kStyle));
      before = characters;
    }
  }
  // Typed text takes the character attributes set here only at an insertion
  // point; a selection keeps giving its own.
  if (selection_.length == 0) typingCharacterOverride_ = characterPart(attributes);
}

bool InMemoryTextView::restore(std::vector<Document>& from, std::vector<Document>& to) {
  if (from.empty()) return false;
  to.push_back(document_);
  document_ = std::move(from.back());
  from.pop_back();
  // Undo moves the insertion point, as in the Qt adapter.
  setSelectedRange(selection_);
  return true;
}

}  // namespace parasort::editor::testing
