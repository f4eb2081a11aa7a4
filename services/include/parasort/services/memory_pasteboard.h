// A pasteboard held in memory, so that every way a pasteboard can behave can
// be set up and observed without a display or a clipboard.
#pragma once

#include "parasort/services/pasteboard.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace parasort {

class MemoryPasteboard final : public Pasteboard {
 public:
  // One offered type and its contents; absent contents is a type that the
  // pasteboard lists but cannot give.
  struct Entry {
    std::string type;
    std::optional<std::u16string> contents;
    friend bool operator==(const Entry&, const Entry&) = default;
  };

  MemoryPasteboard() = default;
  explicit MemoryPasteboard(std::vector<Entry> entries);

  std::vector<std::string> types() const override;
  std::optional<std::u16string> stringForType(std::string_view type) const override;
  void declareTypes(std::span<const std::string> types) override;
  bool setString(std::u16string_view string, std::string_view type) override;

  // Everything the pasteboard holds, in the order of its types.
  const std::vector<Entry>& entries() const noexcept { return entries_; }

  // How many times the contents were changed (declared or set) since it was
  // made: zero means that nothing was written to it.
  std::size_t changeCount() const noexcept { return changeCount_; }

 private:
  std::vector<Entry> entries_;
  std::size_t changeCount_ = 0;
};

}  // namespace parasort
