#include "parasort/services/service_exchange.h"

#include <algorithm>
#include <array>
#include <vector>

namespace parasort {

std::optional<std::u16string> ReadServiceString(const Pasteboard& pasteboard, ServiceError* error) {
  const auto reportFailure = [error](std::u16string_view message) {
    if (error != nullptr) *error = std::u16string(message);
  };

  const std::vector<std::string> types = pasteboard.types();
  if (std::ranges::find(types, stringPboardType) == types.end()) {
    reportFailure(unsupportedDataTypeMessage);
    return std::nullopt;
  }
  std::optional<std::u16string> text = pasteboard.stringForType(stringPboardType);
  if (!text) reportFailure(noStringDataMessage);
  return text;
}

bool WriteServiceString(Pasteboard& pasteboard, const std::optional<std::u16string>& string) {
  if (!string) return true;
  // Declared first: declaring drops whatever the pasteboard held before.
  const std::array<std::string, 1> plainTextOnly{std::string(stringPboardType)};
  pasteboard.declareTypes(plainTextOnly);
  return pasteboard.setString(*string, stringPboardType);
}

}  // namespace parasort
