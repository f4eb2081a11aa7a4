// MyController's Private operations: the two transforms, which the menu
// actions share with the services. Both are the engine's.
#include "my_controller.h"

#include "parasort/engine/transforms.h"

namespace parasort {

std::u16string MyController::sortedParagraphOfString(std::u16string_view text, bool ascending) const {
  return parasort::sortedParagraphOfString(text, ascending);
}

std::u16string MyController::uniqueParagraphOfString(std::u16string_view text) const {
  return parasort::uniqueParagraphOfString(text);
}

}  // namespace parasort
