#include "format_commands.h"

#include "parasort/editor/text_view_additions.h"

#include <cstdint>

namespace parasort::FormatCommands {

namespace {

using editor::AttributeValue;

struct EmphasisAttribute {
  std::string_view name;
  AttributeValue onValue;
  bool (*isOn)(const std::optional<AttributeValue>& value);
};

constexpr std::int64_t boldWeight = 700;
// Semibold and heavier already read as bold, so a toggle turns them off.
constexpr std::int64_t boldThreshold = 600;

EmphasisAttribute attributeFor(Emphasis emphasis) {
  switch (emphasis) {
    case Emphasis::Bold:
      return {editor::FontWeightAttributeName, boldWeight, [](const std::optional<AttributeValue>& value) {
                return editor::valueAs<std::int64_t>(value).value_or(0) >= boldThreshold;
              }};
    case Emphasis::Italic:
      return {editor::ItalicAttributeName, true, [](const std::optional<AttributeValue>& value) {
                return editor::valueAs<bool>(value).value_or(false);
              }};
    case Emphasis::Underline:
      break;
  }
  return {editor::UnderlineStyleAttributeName, std::int64_t{1},
          [](const std::optional<AttributeValue>& value) {
            return editor::valueAs<std::int64_t>(value).value_or(0) != 0;
          }};
}

bool atInsertionPointInText(const editor::TextView& view) {
  return view.selectedRange().length == 0 && !view.string().empty();
}

}  // namespace

bool hasEmphasis(const editor::TextView& view, Emphasis emphasis) {
  const EmphasisAttribute attribute = attributeFor(emphasis);
  // At an insertion point the text typed next matters, not the character
  // after the caret.
  if (atInsertionPointInText(view)) return attribute.isOn(view.typingAttributes().objectForKey(attribute.name));
  return attribute.isOn(TQAdditions::currentSelectionAttribute(view, attribute.name, nullptr));
}

bool toggleEmphasis(editor::TextView& view, Emphasis emphasis) {
  const EmphasisAttribute attribute = attributeFor(emphasis);
  return changeSelectionAttribute(view, attribute.name,
                                  hasEmphasis(view, emphasis) ? std::nullopt
                                                              : std::optional(attribute.onValue));
}

bool applyFont(editor::TextView& view, const editor::Font& font) {
  return changeSelectionAttribute(view, editor::FontAttributeName, AttributeValue(font));
}

bool changeSelectionAttribute(editor::TextView& view, std::string_view name,
                              const std::optional<AttributeValue>& value) {
  if (atInsertionPointInText(view)) {
    editor::AttributeDictionary typing = view.typingAttributes();
    if (value) {
      typing.setObject(*value, name);
    } else {
      typing.removeObjectForKey(name);
    }
    view.setTypingAttributes(typing);
    return true;
  }
  const editor::Range range = view.selectedRange();
  return value ? TQAdditions::actionAddAttribute(view, name, *value, range)
               : TQAdditions::actionRemoveAttribute(view, name, range);
}

}  // namespace parasort::FormatCommands
