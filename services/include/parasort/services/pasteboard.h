// The pasteboard as the services see it: the four operations through which a
// service request takes its text and hands its result back.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parasort {

// The plain-string type: the one type that the services read and write.
inline constexpr std::string_view stringPboardType = "text/plain";

// A pasteboard offers its contents under a list of types (MIME type names).
// Implementations: ClipboardPasteboard (the system clipboard, Qt) and
// MemoryPasteboard (in memory, for tests and for callers without a clipboard).
class Pasteboard {
 public:
  Pasteboard() = default;
  Pasteboard(const Pasteboard&) = delete;
  Pasteboard& operator=(const Pasteboard&) = delete;
  virtual ~Pasteboard() = default;

  // The types that the pasteboard currently offers, in its own order.
  virtual std::vector<std::string> types() const = 0;

  // The contents for `type` as text, or nothing when the pasteboard cannot
  // give it, which may happen for a type that it lists. An empty string is a
  // string, not nothing.
  virtual std::optional<std::u16string> stringForType(std::string_view type) const = 0;

  // Drops all previous contents; from now on the pasteboard offers exactly
  // `types`, each without contents until one is set. There is no owner to
  // supply the data later: whoever declares sets the contents at once.
  virtual void declareTypes(std::span<const std::string> types) = 0;

  // Makes `string` the contents for `type`. Returns false, and changes
  // nothing, when `type` is not among the declared types.
  virtual bool setString(std::u16string_view string, std::string_view type) = 0;
};

}  // namespace parasort
