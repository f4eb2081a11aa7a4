// Paragraphs as the UTF-16 code units ICU's collation takes: UTF-16 text as
// it is, UTF-8 text converted into a scratch buffer that is kept and reused,
// so that a text's paragraphs cost one allocation at most. Internal to the
// engine.
#pragma once

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace parasort::detail {

class Utf16Units {
 public:
  std::u16string_view of(std::u16string_view paragraph) const noexcept { return paragraph; }

  // Ill-formed bytes become U+FFFD, one for each maximal ill-formed
  // subsequence, as everywhere in ICU.
  std::u16string_view of(std::string_view paragraph) {
    // A UTF-8 paragraph never has more UTF-16 units than bytes.
    char16_t* units = inline_.data();
    if (paragraph.size() > inline_.size()) {
      if (scratch_.size() < paragraph.size()) scratch_.resize(paragraph.size());
      units = scratch_.data();
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(paragraph.data());
    const auto byteCount = static_cast<std::int32_t>(paragraph.size());
    std::int32_t index = 0;
    std::int32_t length = 0;
    while (index < byteCount) {
      if (bytes[index] < 0x80) {  // plain ASCII, most of most texts
        units[length++] = bytes[index++];
        continue;
      }
      UChar32 codePoint = 0;
      U8_NEXT(bytes, index, byteCount, codePoint);
      if (codePoint < 0) {
        codePoint = 0xFFFD;
        metIllFormed_ = true;
      }
      U16_APPEND_UNSAFE(units, length, codePoint);
    }
    return {units, static_cast<std::size_t>(length)};
  }

  // Whether any UTF-8 paragraph converted so far held an ill-formed
  // sequence (ICU's strict decoder: no surrogates, no overlong forms).
  bool metIllFormed() const noexcept { return metIllFormed_; }

 private:
  bool metIllFormed_ = false;
  // Short paragraphs, most of them, need no allocation at all.
  std::array<char16_t, 256> inline_;
  std::u16string scratch_;
};

}  // namespace parasort::detail
