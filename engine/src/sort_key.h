// One paragraph's collation sort key. Keys compared as unsigned bytes are
// the order of paragraphs everywhere: unlike the collator's own string
// comparison, they are a total order in every locale. Internal to the engine.
#pragma once

#include <unicode/ucol.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string_view>

namespace parasort::detail {

// ICU takes int32_t lengths; a paragraph longer than that (over 2 GiB of
// text in one line) is keyed by its first INT32_MAX units.
inline std::int32_t icuLength(std::size_t length) noexcept {
  constexpr auto limit = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(length < limit ? length : limit);
}

// Throws std::bad_alloc when ICU cannot make the key (it fails only for
// want of memory).
class SortKey {
 public:
  SortKey(const UCollator& collator, std::u16string_view paragraph) {
    const std::int32_t length = icuLength(paragraph.size());
    std::int32_t needed = ucol_getSortKey(&collator, paragraph.data(), length, inline_.data(),
                                          static_cast<std::int32_t>(inline_.size()));
    if (needed > static_cast<std::int32_t>(inline_.size())) {
      spilled_ = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(needed));
      bytes_ = spilled_.get();
      needed = ucol_getSortKey(&collator, paragraph.data(), length, bytes_, needed);
    }
    if (needed <= 0) throw std::bad_alloc();
  }
  SortKey(const SortKey&) = delete;
  SortKey& operator=(const SortKey&) = delete;

  // The key, ending with the 0 byte that ICU puts at the end of every key
  // (and nowhere else in it).
  const std::uint8_t* bytes() const noexcept { return bytes_; }

 private:
  // Enough for the keys of paragraphs of a few dozen characters.
  std::array<std::uint8_t, 256> inline_;
  std::unique_ptr<std::uint8_t[]> spilled_;
  std::uint8_t* bytes_ = inline_.data();
};

// -1, 0 or +1: the keys' order as unsigned bytes (strcmp compares as
// unsigned char).
inline int compareSortKeys(const std::uint8_t* a, const std::uint8_t* b) noexcept {
  const int order = std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
  return (order > 0) - (order < 0);
}

}  // namespace parasort::detail
