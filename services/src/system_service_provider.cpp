#include "parasort/services/system_service_provider.h"

#include "parasort/engine/arrangement.h"
#include "parasort/engine/collation.h"

#include <optional>

namespace parasort::SystemServiceProvider {

void serveParagraphRequest(Pasteboard& pasteboard, ServiceError* error, const ParagraphTransform& transform) {
  const std::optional<std::u16string> text = ReadServiceString(pasteboard, error);
  if (!text) return;
  if (!WriteServiceString(pasteboard, transform(*text)) && error != nullptr) {
    *error = std::u16string(resultNotSetMessage);
  }
}

void serveParagraphOperation(Pasteboard& pasteboard, ParagraphOrder order, ServiceError* error,
                             const CollationOptions& collation, const ArrangeOptions& options) {
  serveParagraphRequest(pasteboard, error, [&](std::u16string_view text) {
    return arrangeParagraphs(text, order, ParagraphCollator::forUser(collation), options).joined();
  });
}

void sspSortParagraphsAscending(Pasteboard& pasteboard, std::u16string_view /*userData*/, ServiceError* error) {
  serveParagraphOperation(pasteboard, ParagraphOrder::ascending, error);
}

void sspSortParagraphsDescending(Pasteboard& pasteboard, std::u16string_view /*userData*/, ServiceError* error) {
  serveParagraphOperation(pasteboard, ParagraphOrder::descending, error);
}

void sspUniqueParagraphs(Pasteboard& pasteboard, std::u16string_view /*userData*/, ServiceError* error) {
  serveParagraphOperation(pasteboard, ParagraphOrder::unique, error);
}

}  // namespace parasort::SystemServiceProvider
