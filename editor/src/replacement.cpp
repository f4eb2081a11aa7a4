// The undoable replacement of a range of the text, and the selected text.
#include "parasort/editor/text_view_additions.h"

namespace parasort::TQAdditions {

bool actionReplaceCharactersInRange(TextView& view, Range range,
                                    const std::optional<StringObject>& stringObject) {
  if (!stringObject) return false;
  const auto* attributed = std::get_if<AttributedString>(&*stringObject);
  const std::u16string_view plain =
      attributed != nullptr ? std::u16string_view(attributed->string())
                            : std::u16string_view(std::get<std::u16string>(*stringObject));

  view.setSelectedRange(range);
  // The view decides what a user edit of this selection affects; that range,
  // not the one given, is approved and replaced.
  const Range target = view.rangeForUserTextChange();
  if (!view.shouldChangeTextInRange(target, plain)) return false;

  editor::TextStorage& storage = view.textStorage();
  const Index lengthBefore = storage.length();
  storage.beginEditing();
  if (attributed != nullptr)
    storage.replaceCharactersInRange(target, *attributed);
  else
    storage.replaceCharactersInRange(target, plain);
  storage.endEditing();

  // The new text is measured in the storage, not taken from the object: a
  // storage may keep it in fewer units (a document turns CR LF into one
  // paragraph break), and the selection must cover exactly what was put in.
  const Index insertedLength = storage.length() + target.length - lengthBefore;
  view.setSelectedRange({target.location, insertedLength});
  view.didChangeText();
  return true;
}

std::optional<AttributedString> selectedAttributedString(const TextView& view) {
  const Range selection = view.selectedRange();
  if (selection.length == 0) return std::nullopt;
  return view.textStorage().attributedSubstringFromRange(selection);
}

}  // namespace parasort::TQAdditions
