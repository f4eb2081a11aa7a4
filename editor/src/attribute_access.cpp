// Attribute readers and writers that keep working on an empty text, where
// the typing attributes stand in for the text's.
#include "parasort/editor/text_view_additions.h"

namespace parasort::TQAdditions {
namespace {

// Runs `changeTyping` on a copy of the typing attributes and stores the copy
// back when the text is empty; otherwise runs `changeStorage` inside one
// editing bracket.
template <class ChangeTyping, class ChangeStorage>
void changeTextOrTypingAttributes(TextView& view, ChangeTyping changeTyping,
                                  ChangeStorage changeStorage) {
  editor::TextStorage& storage = view.textStorage();
  if (storage.length() == 0) {
    AttributeDictionary typing = view.typingAttributes();
    changeTyping(typing);
    view.setTypingAttributes(typing);
    return;
  }
  storage.beginEditing();
  changeStorage(storage);
  storage.endEditing();
}

}  // namespace

std::optional<AttributeValue> attribute(const TextView& view, std::string_view name, Index index,
                                        Range* effectiveRange) {
  const editor::TextStorage& storage = view.textStorage();
  if (index < storage.length()) return storage.attribute(name, index, effectiveRange);
  auto value = view.typingAttributes().objectForKey(name);
  if (value && effectiveRange != nullptr) *effectiveRange = {0, 0};
  return value;
}

AttributeDictionary attributesAtIndex(const TextView& view, Index index, Range* effectiveRange) {
  const editor::TextStorage& storage = view.textStorage();
  if (index < storage.length()) return storage.attributesAtIndex(index, effectiveRange);
  if (effectiveRange != nullptr) *effectiveRange = {0, 0};
  return view.typingAttributes();
}

std::optional<AttributeValue> currentSelectionAttribute(const TextView& view, std::string_view name,
                                                        Range* effectiveRange) {
  return attribute(view, name, view.selectedRange().location, effectiveRange);
}

AttributeDictionary currentSelectionAttributesEffectiveRange(const TextView& view,
                                                             Range* effectiveRange) {
  return attributesAtIndex(view, view.selectedRange().location, effectiveRange);
}

void addAttribute(TextView& view, std::string_view name, const AttributeValue& value, Range range) {
  changeTextOrTypingAttributes(
      view, [&](AttributeDictionary& typing) { typing.setObject(value, name); },
      [&](editor::TextStorage& storage) { storage.addAttribute(name, value, range); });
}

void addAttributes(TextView& view, const AttributeDictionary& attributes, Range range) {
  changeTextOrTypingAttributes(
      view, [&](AttributeDictionary& typing) { typing.addEntriesFromDictionary(attributes); },
      [&](editor::TextStorage& storage) { storage.addAttributes(attributes, range); });
}

void removeAttribute(TextView& view, std::string_view name, Range range) {
  changeTextOrTypingAttributes(
      view, [&](AttributeDictionary& typing) { typing.removeObjectForKey(name); },
      [&](editor::TextStorage& storage) { storage.removeAttribute(name, range); });
}

}  // namespace parasort::TQAdditions
