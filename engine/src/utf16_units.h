// Paragraphs as the UTF-16 code units ICU's collation takes: UTF-16 text as
// it is, UTF-8 text converted into a scratch buffer that is kept and reused,
// so that a text's paragraphs cost one allocation at most. Internal to the
// engine.
#pragma once

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <bit>
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
      // Plain ASCII, most of most texts, a block at a time where it can be.
      const AsciiBlock ascii = widenLeadingAscii(bytes + index, byteCount - index, units + length);
      index += ascii.leading;
      length += ascii.leading;
      if (ascii.leading == ascii.size) continue;
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

  // How many bytes a block looked at held, and how many of them, from its
  // start, were ASCII.
  struct AsciiBlock {
    std::int32_t size;
    std::int32_t leading;
  };

  // Writes the UTF-16 units of the ASCII bytes that `bytes` (`left` > 0 of
  // them) starts with, looking at one block of bytes. With SSE2 a block is
  // 16 or 8 bytes, widened whole and stored whole: the units after the
  // ASCII ones are written over next. Units never outnumber the bytes they
  // come from, so a store of a block's units stays within the buffer.
  static AsciiBlock widenLeadingAscii(const std::uint8_t* bytes, std::int32_t left, char16_t* units) noexcept {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    if (left >= 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(units), _mm_unpacklo_epi8(block, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(units + 8), _mm_unpackhi_epi8(block, zero));
      const auto high = static_cast<unsigned>(_mm_movemask_epi8(block));
      return {16, high == 0 ? 16 : std::countr_zero(high)};
    }
    if (left >= 8) {
      const __m128i block = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(units), _mm_unpacklo_epi8(block, zero));
      const auto high = static_cast<unsigned>(_mm_movemask_epi8(block)) & 0xFFu;
      return {8, high == 0 ? 8 : std::countr_zero(high)};
    }
#endif
    if (bytes[0] >= 0x80) return {1, 0};
    units[0] = bytes[0];
    return {1, 1};
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
