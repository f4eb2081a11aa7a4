// The first invalid byte of a text, as a decoder that takes every byte in
// turn finds it: a text checked in two halves or in blocks must give the
// same offset wherever they meet (inside a sequence, after a truncated one,
// with an invalid byte in either or both).
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
  // ASCII runs, valid sequences of every length and at the edges of each
  // lead byte's range, and bytes that are never valid or only in their place.
  const std::string valid[] = {"a", "abc", "abcdefgh", "\xC3\xA9", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80",
                               "\xE2\x82\xAC", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF0\x90\x80\x80",
                               "\xF0\x9F\x98\x80", "\xF3\xBF\xBF\xBF", "\xF4\x8F\xBF\xBF",
                               std::string("\0", 1)};
  const std::string invalid[] = {"\x80", "\xBF", "\xC3", "\xE2\x82", "\xF0\x9F\x98", "\xF5", "\xFF",
                                 "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF",
                                 "\xF4\x90\x80\x80"};
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    // Short texts, and texts of many blocks with an error or none anywhere.
    const std::size_t count = round % 4 == 0 ? random() % 1200 : random() % 16;
    std::string text;
    for (std::size_t piece = 0; piece < count; ++piece)
      text += random() % (count / 4 + 2) == 0 ? invalid[random() % std::size(invalid)]
                                              : valid[random() % std::size(valid)];
    SCOPED_TRACE(testing::PrintToString(text));
    const auto expected = firstInvalidByteByByte(text);
    ASSERT_EQ(parasort::cli::findInvalidUtf8(text), expected);
    ASSERT_EQ(parasort::cli::findInvalidUtf8(text, 0), expected) << "in two halves";
    // A block at a time (as a mapped input is checked): the same offset, and
    // the blocks reported checked are the text before it, in order.
    const std::size_t blockSize = 1 + random() % 9;
    std::size_t checkedUpTo = 0;
    const auto found = parasort::cli::findInvalidUtf8InBlocks(text, blockSize, [&](std::size_t offset, std::size_t length) {
      ASSERT_EQ(offset, checkedUpTo);
      checkedUpTo += length;
    });
    ASSERT_EQ(found, expected) << "in blocks of " << blockSize;
    if (expected) ASSERT_LE(checkedUpTo, *expected);
    else ASSERT_EQ(checkedUpTo, text.size());
  }
}

}  // namespace
