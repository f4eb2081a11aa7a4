#include "utf8_validation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using parasort::cli::findInvalidUtf8;
using namespace std::string_literals;

TEST(FindInvalidUtf8, AcceptsWellFormedTextIncludingNul) {
  EXPECT_EQ(findInvalidUtf8(""), std::nullopt);
  EXPECT_EQ(findInvalidUtf8("plain ascii\n"), std::nullopt);
  EXPECT_EQ(findInvalidUtf8("a\0b"s), std::nullopt);
  EXPECT_EQ(findInvalidUtf8("\xC3\xA9\xE2\x80\xA9\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"), std::nullopt);
  EXPECT_EQ(findInvalidUtf8("\xEF\xBB\xBF"), std::nullopt);
}

TEST(FindInvalidUtf8, ReportsTheOffsetOfTheFirstIllFormedSequence) {
  EXPECT_EQ(findInvalidUtf8("\xC3"), 0u);                    // truncated at the end
  EXPECT_EQ(findInvalidUtf8("ab\xE2\x80" "c"), 2u);          // truncated in the middle
  EXPECT_EQ(findInvalidUtf8("\xC0\xAF"), 0u);                // overlong "/"
  EXPECT_EQ(findInvalidUtf8("x\xE0\x80\xAF"), 1u);           // overlong, three bytes
  EXPECT_EQ(findInvalidUtf8("xy\xED\xA0\x80"), 2u);          // encoded surrogate
  EXPECT_EQ(findInvalidUtf8("\xF4\x90\x80\x80"), 0u);        // beyond U+10FFFF
  EXPECT_EQ(findInvalidUtf8("ok\x80"), 2u);                  // stray continuation byte
  for (const char byte : {'\xC0', '\xC1', '\xF5', '\xF8', '\xFE', '\xFF'})
    EXPECT_EQ(findInvalidUtf8("abc"s + byte + "def"), 3u) << int(static_cast<unsigned char>(byte));
  EXPECT_EQ(findInvalidUtf8("\xC3\xA9\xFF\xFF"), 2u);       // the first of several
}

}  // namespace
