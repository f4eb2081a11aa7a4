#include "parasort/services/system_service_provider.h"

#include "parasort/engine/transforms.h"

#include <optional>

namespace parasort::SystemServiceProvider {

void serveParagraphRequest(Pasteboard& pasteboard, ServiceError* error, const ParagraphTransform& transform) {
  const std::optional<std::u16string> text = ReadServiceString(pasteboard, error);
  if (!text) return;
  WriteServiceString(pasteboard, transform(*text));
}

void sspSortParagraphsAscending(Pasteboard& pasteboard, std::u16string_view /*userData*/, ServiceError* error) {
  serveParagraphRequest(pasteboard, error,
                        [](std::u16string_view text) { return sortedParagraphOfString(text, true); });
}

void sspSortParagraphsDescending(Pasteboard& pasteboard, std::u16string_view /*userData*/, ServiceError* error) {
  serveParagraphRequest(pasteboard, error,
                        [](std::u16string_view text) { return sortedParagraphOfString(text, false); });
}

void sspUniqueParagraphs(Pasteboard& pasteboard, std::u16string_view /*userData*/, ServiceError* error) {
  serveParagraphRequest(pasteboard, error,
                        [](std::u16string_view text) { return uniqueParagraphOfString(text); });
}

}  // namespace parasort::SystemServiceProvider
