// What the transforms make of texts, as golden data: each row is a text and
// what sorting it ascending, descending and de-duplicating must give. Every
// row is checked through every road that ends in the engine: the UTF-16
// transforms (the services and the editor), the UTF-8 arrangement (the
// filter) by either strategy, and the reference model the random tests trust.
#include "parasort/engine/transforms.h"

#include "reference_model.h"

#include "parasort/engine/arrangement.h"

#include <gtest/gtest.h>
#include <unicode/ustring.h>

#include <cstdlib>
#include <memory_resource>
#include <optional>
#include <string>
#include <thread>

namespace {

using namespace parasort;

// The UTF-8 form of well-formed UTF-16; nothing for unpaired surrogates.
std::optional<std::string> utf8Of(std::u16string_view text) {
  std::string utf8(text.size() * 3, '\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8(utf8.data(), static_cast<int32_t>(utf8.size()), &length, text.data(),
              static_cast<int32_t>(text.size()), &status);
  if (U_FAILURE(status)) return std::nullopt;
  utf8.resize(static_cast<std::size_t>(length));
  return utf8;
}

struct Row {
  const char* locale;
  std::u16string text, ascending, descending, unique;
};

const std::u16string nul(1, u'\0'), ones300(300, u'1'), paddedFive = std::u16string(300, u'0') + u"5";

const Row rows[] = {
    // Fewer than two paragraphs come back as they are.
    {"", u"", u"", u"", u""},
    {"", u"  x  \r", u"  x  \r", u"  x  \r", u"  x  \r"},
    {"", u"\u2029", u"\u2029", u"\u2029", u"\u2029"},
    // A final terminator stays final; a last line without one gets one.
    {"", u"b\na", u"a\nb", u"b\na", u"a\nb"},
    {"", u"b\na\nb\n", u"a\nb\nb\n", u"b\nb\na\n", u"a\nb\n"},
    // Separators are all of the first terminator's kind.
    {"", u"b\r\na\nc", u"a\r\nb\r\nc", u"c\r\nb\r\na", u"a\r\nb\r\nc"},
    {"", u"c\rb\na\r\n", u"a\rb\rc\r", u"c\rb\ra\r", u"a\rb\rc\r"},
    {"", u"b\u2029a\r\n", u"a\u2029b\u2029", u"b\u2029a\u2029", u"a\u2029b\u2029"},
    // U+2028, U+0085, form feed and vertical tab end nothing.
    {"", u"b\u2028a\u0085c\fd\ve\na", u"a\nb\u2028a\u0085c\fd\ve", u"b\u2028a\u0085c\fd\ve\na",
     u"a\nb\u2028a\u0085c\fd\ve"},
    // Case and width do not count; equal paragraphs keep their input order
    // in both directions, and the first of them is kept.
    {"", u"b\nApple\napple\nAPPLE\n\uFF41pple\na", u"a\nApple\napple\nAPPLE\n\uFF41pple\nb",
     u"b\nApple\napple\nAPPLE\n\uFF41pple\na", u"a\nApple\nb"},
    // Diacritics count; composed equals decomposed.
    {"", u"\u00E9\ne\u0301\nf\nE\ne", u"E\ne\n\u00E9\ne\u0301\nf", u"f\n\u00E9\ne\u0301\nE\ne", u"E\n\u00E9\nf"},
    // Punctuation and spaces count; the empty line sorts first.
    {"", u"ab\na-b\na b\n\n", u"\na b\na-b\nab\n", u"ab\na-b\na b\n\n", u"\na b\na-b\nab\n"},
    // Digit runs by value, leading zeros ignored, however long.
    {"", u"item10\nitem9\nitem01\nitem1\n" + ones300 + u"\n9\n" + paddedFive,
     paddedFive + u"\n9\n" + ones300 + u"\nitem01\nitem1\nitem9\nitem10",
     u"item10\nitem9\nitem01\nitem1\n" + ones300 + u"\n9\n" + paddedFive,
     paddedFive + u"\n9\n" + ones300 + u"\nitem01\nitem9\nitem10"},
    // Lines of ignorable characters equal the empty line.
    {"", u"b\n\u00AD\n" + nul + u"\n\u0001\na", u"\u00AD\n" + nul + u"\n\u0001\na\nb",
     u"b\na\n\u00AD\n" + nul + u"\n\u0001", u"\u00AD\na\nb"},
    // Punctuation, symbols, digits, then the scripts in the root order.
    {"", u"\u4E2D\n\uAC00\n\u0915\n\u0627\n\u05D0\n\u0436\n\u03B1\nz\n1\n\U0001F600\n!",
     u"!\n\U0001F600\n1\nz\n\u03B1\n\u0436\n\u05D0\n\u0627\n\u0915\n\uAC00\n\u4E2D",
     u"\u4E2D\n\uAC00\n\u0915\n\u0627\n\u05D0\n\u0436\n\u03B1\nz\n1\n\U0001F600\n!",
     u"!\n\U0001F600\n1\nz\n\u03B1\n\u0436\n\u05D0\n\u0627\n\u0915\n\uAC00\n\u4E2D"},
    // Unpaired surrogates are kept as they are.
    {"", u"\xD800x\nb\n\xDC00", u"b\n\xD800x\n\xDC00", u"\xDC00\n\xD800x\nb", u"b\n\xD800x\n\xDC00"},
    // The locale decides the rest.
    {"sv_SE", u"z\n\u00F6\no", u"o\nz\n\u00F6", u"\u00F6\nz\no", u"o\nz\n\u00F6"},
    {"de_DE", u"z\n\u00F6\no", u"o\n\u00F6\nz", u"z\n\u00F6\no", u"o\n\u00F6\nz"},
    // Digit runs going on in another script's digits, where ICU's own
    // string comparison strays from the keys: by value, whatever the script.
    {"sv_SE", u"1\uFF100\n1\uFF1000", u"1\uFF100\n1\uFF1000", u"1\uFF1000\n1\uFF100", u"1\uFF100\n1\uFF1000"},
    {"es", u"1a\n1\u0663\n2", u"1a\n2\n1\u0663", u"1\u0663\n2\n1a", u"1a\n2\n1\u0663"},
    {"es", u"2\n1a\n1\u0663", u"1a\n2\n1\u0663", u"1\u0663\n2\n1a", u"1a\n2\n1\u0663"},
    {"es", u"100\n9\uFF11\uFF12\n9A\u00E9", u"9A\u00E9\n100\n9\uFF11\uFF12", u"9\uFF11\uFF12\n100\n9A\u00E9",
     u"9A\u00E9\n100\n9\uFF11\uFF12"},
    {"ja", u"1\u0968\n1b\n3\n\uFF11\uFF12\n\u066012", u"1b\n3\n1\u0968\n\uFF11\uFF12\n\u066012",
     u"1\u0968\n\uFF11\uFF12\n\u066012\n3\n1b", u"1b\n3\n1\u0968"},
};

TEST(Transforms, GoldenRowsByEveryRoad) {
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "locale '" << row.locale << "', row " << (&row - rows));
    const ParagraphCollator collator(row.locale);
    const std::pair<ParagraphOrder, const std::u16string*> expectations[] = {
        {ParagraphOrder::ascending, &row.ascending},
        {ParagraphOrder::descending, &row.descending},
        {ParagraphOrder::unique, &row.unique}};
    for (const auto& [order, expected] : expectations) {
      const std::u16string_view text = row.text;
      const std::u16string result = order == ParagraphOrder::unique
                                        ? uniqueParagraphOfString(text, collator)
                                        : sortedParagraphOfString(text, order == ParagraphOrder::ascending, collator);
      EXPECT_EQ(result, *expected) << "order " << static_cast<int>(order);
      EXPECT_EQ(fuzzing::referenceArrangement(text, order, collator), *expected) << "order " << static_cast<int>(order);
      const auto utf8 = utf8Of(text);
      if (!utf8) continue;
      for (auto strategy : {OrderingStrategy::comparison, OrderingStrategy::sortKeys})
        EXPECT_EQ(fuzzing::arranged(std::string_view(*utf8), order, collator, strategy), utf8Of(*expected))
            << "order " << static_cast<int>(order) << ", UTF-8, strategy " << static_cast<int>(strategy);
    }
  }
}

// The user's collator is opened once per thread from the environment, so a
// fresh thread sees the locale set before it starts.
template <class Transform>
std::u16string inThreadWithLocale(const char* locale, Transform transform) {
  const char* saved = std::getenv("LC_ALL");
  const std::string previous = saved ? saved : "";
  setenv("LC_ALL", locale, 1);
  std::u16string result;
  std::thread([&] { result = transform(); }).join();
  if (saved)
    setenv("LC_ALL", previous.c_str(), 1);
  else
    unsetenv("LC_ALL");
  return result;
}

TEST(Transforms, WithoutACollatorFollowTheLocaleOfTheEnvironment) {
  const std::u16string_view text = u"z\n\u00F6\no\nZ";
  EXPECT_EQ(inThreadWithLocale("sv_SE.UTF-8", [&] { return sortedParagraphOfString(text, true); }),
            u"o\nz\nZ\n\u00F6");
  EXPECT_EQ(inThreadWithLocale("de_DE.UTF-8", [&] { return uniqueParagraphOfString(text); }), u"o\n\u00F6\nz");
}

// A resource that counts what it hands out.
class CountingMemory final : public std::pmr::memory_resource {
 public:
  std::size_t largest = 0;

 private:
  void* do_allocate(std::size_t bytes, std::size_t alignment) override {
    largest = std::max(largest, bytes);
    return std::pmr::new_delete_resource()->allocate(bytes, alignment);
  }
  void do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) override {
    std::pmr::new_delete_resource()->deallocate(pointer, bytes, alignment);
  }
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
};

// Given a memory resource, the transforms give the same result and take
// their large memory (the keys and the result) from it.
TEST(Transforms, WithAMemoryResourceTheResultIsTheSameAndLivesThere) {
  const ParagraphCollator root("");
  std::u16string text;
  for (int line = 0; line < 20'000; ++line) text += u"line " + std::u16string(1, char16_t(u'a' + line % 26)) + u"\n";
  CountingMemory memory;
  const std::pmr::u16string sorted = sortedParagraphOfString(text, false, root, memory);
  EXPECT_EQ(std::u16string_view(sorted), sortedParagraphOfString(text, false, root));
  EXPECT_EQ(sorted.get_allocator().resource(), &memory);
  EXPECT_GE(memory.largest, text.size() * sizeof(char16_t));
  const std::pmr::u16string kept = uniqueParagraphOfString(u"b\nB\na\n", root, memory);
  EXPECT_EQ(std::u16string_view(kept), u"a\nb\n");
  EXPECT_EQ(kept.get_allocator().resource(), &memory);
}

}  // namespace
