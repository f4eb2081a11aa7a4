// The conversion of UTF-8 paragraphs for ICU against ICU's own converter:
// the same units (U+FFFD for each maximal ill-formed subsequence) and the
// same verdict on whether anything was ill-formed, for paragraphs of every
// length about the blocks that ASCII is widened in, with ASCII runs of every
// length between other characters and ill-formed bytes anywhere. (One
// ill-formed paragraph among many is the arrangement test's.)
#include "utf16_units.h"

#include <unicode/ustring.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

namespace {

struct Converted {
  std::u16string units;
  bool illFormed;
};

Converted byIcu(std::string_view bytes) {
  std::u16string units(bytes.size() + 1, u'\0');
  std::int32_t length = 0;
  std::int32_t substitutions = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(units.data()), static_cast<std::int32_t>(units.size()), &length,
                       bytes.data(), static_cast<std::int32_t>(bytes.size()), 0xFFFD, &substitutions, &status);
  EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
  units.resize(static_cast<std::size_t>(length));
  return {units, substitutions > 0};
}

TEST(Utf16Units, ConvertAsIcuDoesAndTellOfIllFormedBytes) {
  // ASCII, two-, three- and four-byte characters, and ill-formed pieces: a
  // lone continuation, a lead cut short, an overlong form, a surrogate, a
  // byte that is never UTF-8.
  const std::string_view others[] = {"\xC3\xA9", "\xE2\x80\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80",
                                     "\x80",     "\xC3",         "\xE2\x80",     "\xC0\xAF",
                                     "\xED\xA0\x80", "\xFF"};
  std::mt19937 random(31);
  for (int round = 0; round < 20000; ++round) {
    std::string paragraph;
    // Most short, some past the units held without an allocation.
    const std::size_t target = round % 50 == 0 ? 250 + random() % 100 : random() % 70;
    const bool mayBeIllFormed = round % 2 == 0;
    while (paragraph.size() < target) {
      // ASCII runs of any length up to past a block, now and then another
      // character.
      paragraph.append(random() % 20, static_cast<char>('!' + random() % 90));
      if (random() % 3 != 0) paragraph += others[random() % (mayBeIllFormed ? std::size(others) : 4)];
    }
    const Converted expected = byIcu(paragraph);
    parasort::detail::Utf16Units units;
    const std::u16string_view converted = units.of(std::string_view(paragraph));
    ASSERT_EQ(std::u16string(converted), expected.units) << testing::PrintToString(paragraph);
    ASSERT_EQ(units.metIllFormed(), expected.illFormed) << testing::PrintToString(paragraph);
  }
}

}  // namespace
