#include "utf8_validation.h"

#include <unicode/utf8.h>

#include <cstdint>

namespace parasort::cli {

std::optional<std::size_t> findInvalidUtf8(std::string_view bytes) noexcept {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const std::size_t length = bytes.size();
  std::size_t index = 0;
  while (index < length) {
    // ASCII needs no decoding, and is most of most texts.
    if (data[index] < 0x80) {
      ++index;
      continue;
    }
    const std::size_t start = index;
    UChar32 codePoint = 0;
    U8_NEXT(data, index, length, codePoint);
    if (codePoint < 0) return start;
  }
  return std::nullopt;
}

}  // namespace parasort::cli
