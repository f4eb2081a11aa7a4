#include "parasort/editor/testing/in_memory_document.h"

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

}  // namespace

AttributeDictionary InMemoryDocument::characterPart(AttributeDictionary attributes) {
  attributes.removeObjectForKey(kStyle);
  return attributes;
}

std::optional<AttributeValue> InMemoryDocument::paragraphStyleOfParagraphAt(Index location) const {
  const Range paragraph = paragraphRangeForRange(text_, {location, 0});
  return units_[paragraph.location].objectForKey(kStyle);
}

Range InMemoryDocument::paragraphUnits(Range range) const {
  Range paragraphs = paragraphRangeForRange(text_, range);
  const bool reachesEnd = paragraphs.end() == length();
  const bool endsWithTerminator =
      paragraphs.length > 0 && isParagraphTerminatorUnit(text_[paragraphs.end() - 1]);
  // The end-of-text unit belongs to the last paragraph, which is the empty
  // one after a final terminator.
  if (reachesEnd && !endsWithTerminator) ++paragraphs.length;
  return paragraphs;
}

void InMemoryDocument::evenOutParagraphStyles() {
  for (Index start = 0;;) {
    const Range units = paragraphUnits({start, 0});
    const auto style = units_[start].objectForKey(kStyle);
    for (Index i = units.location; i < units.end(); ++i) setStyle(units_[i], style);
    if (units.end() > length()) break;
    start = units.end();
  }
}

void InMemoryDocument::splice(Range range, std::u16string_view text,
                              std::vector<AttributeDictionary> units) {
  const auto first = units_.begin() + static_cast<std::ptrdiff_t>(range.location);
  units_.erase(first, first + static_cast<std::ptrdiff_t>(range.length));
  units_.insert(units_.begin() + static_cast<std::ptrdiff_t>(range.location),
                std::make_move_iterator(units.begin()), std::make_move_iterator(units.end()));
  text_.replace(range.location, range.length, text);
  evenOutParagraphStyles();
}

void InMemoryDocument::replace(Range range, std::u16string_view text) {
  const Range within = clampedRange(range, length());
  AttributeDictionary inherited = within.length > 0
                                      ? characterPart(units_[within.location])
                                      : characterPart(typingAttributesAt(within.location));
  setStyle(inherited, paragraphStyleOfParagraphAt(within.location));
  splice(within, text, std::vector<AttributeDictionary>(text.size(), inherited));
}

void InMemoryDocument::replace(Range range, const AttributedString& text) {
  std::vector<AttributeDictionary> units;
  units.reserve(text.length());
  for (const auto& run : text.runs()) {
    AttributeDictionary attributes = run.attributes;
    setStyle(attributes, validStyle(attributes.objectForKey(kStyle)));
    units.insert(units.end(), run.range.length, attributes);
  }
  splice(clampedRange(range, length()), text.string(), std::move(units));
}

AttributeDictionary InMemoryDocument::attributesAt(Index index, Range* effectiveRange) const {
  if (index >= length()) return {};
  if (effectiveRange != nullptr)
    *effectiveRange =
        runAround(index, length(), [&](Index i) { return units_[i] == units_[index]; });
  return units_[index];
}

std::optional<AttributeValue> InMemoryDocument::attributeAt(std::string_view name, Index index,
                                                            Range* effectiveRange) const {
  if (index >= length()) return std::nullopt;
  auto value = units_[index].objectForKey(name);
  if (effectiveRange != nullptr)
    *effectiveRange =
        runAround(index, length(), [&](Index i) { return units_[i].objectForKey(name) == value; });
  return value;
}

AttributedString InMemoryDocument::substring(Range range) const {
  const Range within = clampedRange(range, length());
  AttributedString result;
  for (Index i = within.location; i < within.end(); ++i)
    result.append(std::u16string_view(text_).substr(i, 1), units_[i]);
  return result;
}

void InMemoryDocument::setAttribute(std::string_view name, const AttributeValue& value,
                                    Range range) {
  const Range within = clampedRange(range, length());
  if (within.length == 0) return;
  if (name == kStyle) {
    const auto style = validStyle(value);
    if (!style) return;
    const Range units = paragraphUnits(within);
    for (Index i = units.location; i < units.end(); ++i) setStyle(units_[i], style);
    return;
  }
  for (Index i = within.location; i < within.end(); ++i) units_[i].setObject(value, name);
}

void InMemoryDocument::removeAttribute(std::string_view name, Range range) {
  const Range within = clampedRange(range, length());
  if (within.length == 0) return;
  const Range units = name == kStyle ? paragraphUnits(within) : within;
  for (Index i = units.location; i < units.end(); ++i) units_[i].removeObjectForKey(name);
}

AttributeDictionary InMemoryDocument::typingAttributesAt(Index location) const {
  const Index at = std::min(location, length());
  const Range paragraph = paragraphRangeForRange(text_, {at, 0});
  const bool emptyParagraph =
      paragraph.length == 0 || isParagraphTerminatorUnit(text_[paragraph.location]);
  AttributeDictionary result;
  if (at == paragraph.location && !emptyParagraph)
    result = characterPart(units_[at]);
  else if (at > 0)
    result = characterPart(units_[at - 1]);
  else
    result = firstParagraphCharacters_;
  setStyle(result, units_[paragraph.location].objectForKey(kStyle));
  return result;
}

AttributeDictionary InMemoryDocument::setTypingAttributesAt(Index location,
                                                           const AttributeDictionary& attributes) {
  const Index at = std::min(location, length());
  const Range paragraph = paragraphRangeForRange(text_, {at, 0});
  const auto style = validStyle(attributes.objectForKey(kStyle));
  const Range units = paragraphUnits({at, 0});
  for (Index i = units.location; i < units.end(); ++i) setStyle(units_[i], style);

  AttributeDictionary characters = characterPart(attributes);
  const bool emptyParagraph =
      paragraph.length == 0 || isParagraphTerminatorUnit(text_[paragraph.location]);
  if (emptyParagraph) {
    if (paragraph.location == 0) {
      firstParagraphCharacters_ = characters;
    } else {
      AttributeDictionary& before = units_[paragraph.location - 1];
      AttributeDictionary kept = characters;
      setStyle(kept, before.objectForKey(kStyle));
      before = kept;
    }
  }
  return characters;
}

}  // namespace parasort::editor::testing
