// Adding and removing an attribute as an approved, undoable user edit.
#include "parasort/editor/text_view_additions.h"

namespace parasort::TQAdditions {
namespace {

// Selects `range` and returns the range a user edit of this attribute's kind
// would affect: whole paragraphs for the paragraph style.
Range selectAndGetUserChangeRange(TextView& view, std::string_view name, Range range) {
  view.setSelectedRange(range);
  return name == editor::ParagraphStyleAttributeName
             ? view.rangeForUserParagraphAttributeChange()
             : view.rangeForUserCharacterAttributeChange();
}

}  // namespace

bool actionAddAttribute(TextView& view, std::string_view name, const AttributeValue& value,
                        Range range) {
  const Range approved = selectAndGetUserChangeRange(view, name, range);
  if (!view.shouldChangeTextInRange(approved, std::nullopt)) return false;
  // Added over the range given; a paragraph style still reaches its whole
  // paragraphs, which is what the approval covered.
  addAttribute(view, name, value, range);
  view.didChangeText();
  return true;
}

bool actionRemoveAttribute(TextView& view, std::string_view name, Range range) {
  const Range approved = selectAndGetUserChangeRange(view, name, range);
  if (!view.shouldChangeTextInRange(approved, std::nullopt)) return false;
  removeAttribute(view, name, approved);
  view.didChangeText();
  return true;
}

}  // namespace parasort::TQAdditions
