#include "parasort/services/memory_pasteboard.h"

#include <algorithm>
#include <utility>

namespace parasort {

MemoryPasteboard::MemoryPasteboard(std::vector<Entry> entries) : entries_(std::move(entries)) {}

std::vector<std::string> MemoryPasteboard::types() const {
  std::vector<std::string> types;
  types.reserve(entries_.size());
  for (const Entry& entry : entries_) types.push_back(entry.type);
  return types;
}

std::optional<std::u16string> MemoryPasteboard::stringForType(std::string_view type) const {
  const auto entry = std::ranges::find(entries_, type, &Entry::type);
  if (entry == entries_.end()) return std::nullopt;
  return entry->contents;
}

void MemoryPasteboard::declareTypes(std::span<const std::string> types) {
  entries_.clear();
  for (const std::string& type : types) {
    // A type declared twice is offered once, like the list of a real clipboard.
    if (std::ranges::find(entries_, type, &Entry::type) == entries_.end()) {
      entries_.push_back({type, std::nullopt});
    }
  }
  ++changeCount_;
}

bool MemoryPasteboard::setString(std::u16string_view string, std::string_view type) {
  const auto entry = std::ranges::find(entries_, type, &Entry::type);
  if (entry == entries_.end()) return false;
  entry->contents = std::u16string(string);
  ++changeCount_;
  return true;
}

}  // namespace parasort
