// The first invalid byte of a text, as a decoder that takes every byte in
// turn finds it: a text checked in two halves must give the same offset
// wherever the halves meet (inside a sequence, after a truncated one, with
// an invalid byte in either half or both).
#include "utf8_validation.h"

#include <gtest/gtest.h>
#include <unicode/utf8.h>

#include <random>
#include <string>

namespace {

std::optional<std::size_t> firstInvalidByteByByte(std::string_view bytes) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto length = static_cast<std::int32_t>(bytes.size());
  for (std::int32_t index = 0; index < length;) {
    const std::int32_t start = index;
    UChar32 codePoint = 0;
    U8_NEXT(data, index, length, codePoint);
    if (codePoint < 0) return static_cast<std::size_t>(start);
  }
  return std::nullopt;
}

TEST(Utf8Validation, FindsTheFirstInvalidByteAsOneDecoderFromTheStart) {
  // ASCII runs, valid sequences of every length, and bytes that are never
  // valid or only valid in their place.
  const std::string pieces[] = {"a",        "abc",      "abcdefgh", "\xC3\xA9",
                                "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80", "\xC3", "\xE2\x82",
                                "\xF5",     "\xC0\xAF", "\xED\xA0\x80", "\xFF", std::string("\0", 1)};
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (auto count = random() % 16; count > 0; --count) text += pieces[random() % std::size(pieces)];
    SCOPED_TRACE(testing::PrintToString(text));
    const auto expected = firstInvalidByteByByte(text);
    ASSERT_EQ(parasort::cli::findInvalidUtf8(text), expected);
    ASSERT_EQ(parasort::cli::findInvalidUtf8(text, 0), expected) << "in two halves";
  }
}

}  // namespace
