#include "parasort/engine/transforms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory_resource>
#include <string>
#include <thread>

namespace {

using parasort::ParagraphCollator;
using parasort::sortedParagraphOfString;
using parasort::uniqueParagraphOfString;

class Transforms : public ::testing::Test {
 protected:
  ParagraphCollator root{""};
  std::u16string ascending(std::u16string_view text) const {
    return sortedParagraphOfString(text, true, root);
  }
  std::u16string descending(std::u16string_view text) const {
    return sortedParagraphOfString(text, false, root);
  }
  std::u16string unique(std::u16string_view text) const { return uniqueParagraphOfString(text, root); }
};

TEST_F(Transforms, FewerThanTwoParagraphsComeBackUnchanged) {
  for (std::u16string_view text : {u"", u"b", u"b\n", u"b\r\n", u"\n", u"\u2029", u"  x  \r"}) {
    EXPECT_EQ(ascending(text), text);
    EXPECT_EQ(descending(text), text);
    EXPECT_EQ(unique(text), text);
  }
}

TEST_F(Transforms, SortKeepsTheTrailingSeparatorStateOfTheInput) {
  EXPECT_EQ(ascending(u"b\na"), u"a\nb");
  EXPECT_EQ(descending(u"b\na"), u"b\na");
  EXPECT_EQ(ascending(u"b\na\n"), u"a\nb\n");
  EXPECT_EQ(descending(u"a\nb\n"), u"b\na\n");
}

TEST_F(Transforms, SeparatorsAreUnifiedToTheFirstKind) {
  EXPECT_EQ(ascending(u"b\r\na\nc"), u"a\r\nb\r\nc");
  EXPECT_EQ(ascending(u"c\rb\na\r\n"), u"a\rb\rc\r");
  EXPECT_EQ(ascending(u"b\u2029a\r\n"), u"a\u2029b\u2029");
  EXPECT_EQ(ascending(u"b\na\r"), u"a\nb\n");
}

TEST_F(Transforms, OrdersByTheParagraphCollation) {
  EXPECT_EQ(ascending(u"item10\nitem9\nitem1"), u"item1\nitem9\nitem10");
  EXPECT_EQ(ascending(u"\u00E9\ne\nf\nE"), u"e\nE\n\u00E9\nf");
  EXPECT_EQ(ascending(u"b\n\na"), u"\na\nb");  // the empty line sorts first
}

TEST_F(Transforms, EqualParagraphsKeepInputOrderInBothDirections) {
  EXPECT_EQ(ascending(u"b\nApple\napple\nAPPLE\na"), u"a\nApple\napple\nAPPLE\nb");
  EXPECT_EQ(descending(u"b\nApple\napple\nAPPLE\na"), u"b\nApple\napple\nAPPLE\na");
  EXPECT_EQ(descending(u"x01\nx1\nx001"), u"x01\nx1\nx001");
}

TEST_F(Transforms, UniqueKeepsTheFirstOfEachEqualRunAscending) {
  EXPECT_EQ(unique(u"apple\nApple\nbanana"), u"apple\nbanana");
  EXPECT_EQ(unique(u"Apple\napple\nbanana"), u"Apple\nbanana");
  EXPECT_EQ(unique(u"b\na\nb"), u"a\nb");
  EXPECT_EQ(unique(u"a\n\nb\n\n"), u"\na\nb\n");
  EXPECT_EQ(unique(u"\u00E9\ne\u0301\ne"), u"e\n\u00E9");  // composed == decomposed, != plain
  // Down to one paragraph, the result still follows the rejoining rules.
  EXPECT_EQ(unique(u"f1\nf01\nf001\n"), u"f1\n");
  EXPECT_EQ(unique(u"x\r\nX\n"), u"x\r\n");
  EXPECT_EQ(unique(u"x\nX"), u"x");
  EXPECT_EQ(unique(u"item10\nitem9\nApple\napple\nbanana\n"), u"Apple\nbanana\nitem9\nitem10\n");
}

TEST_F(Transforms, LinesOfIgnorableCharactersAreEqualToEmptyLines) {
  const std::u16string text = std::u16string(u"b\n\u00AD\n") + u'\0' + u"\n\na";
  EXPECT_EQ(unique(text), u"\u00AD\na\nb");
}

TEST_F(Transforms, UnpairedSurrogatesAreKeptAsTheyAre) {
  const std::u16string text = u"\xD800x\nb\n\xDC00";
  const std::u16string sorted = ascending(text);
  EXPECT_EQ(sorted.size(), text.size());
  EXPECT_NE(sorted.find(u"\xD800x"), std::u16string::npos);
  EXPECT_NE(sorted.find(u'\xDC00'), std::u16string::npos);
}

TEST_F(Transforms, SortingTheResultAgainChangesNothing) {
  const std::u16string text = u"delta\nAlpha\nalpha\ncharlie\r\nBravo\n\nitem2\nitem10\n";
  const std::u16string once = ascending(text);
  EXPECT_EQ(ascending(once), once);
  const std::u16string uniqueOnce = unique(text);
  EXPECT_EQ(unique(uniqueOnce), uniqueOnce);
}

// The user's collator is opened once per thread from the environment, so a
// fresh thread sees the locale set before it starts.
std::u16string sortedInThreadWithLocale(const char* locale, std::u16string_view text) {
  const char* saved = std::getenv("LC_ALL");
  const std::string previous = saved ? saved : "";
  setenv("LC_ALL", locale, 1);
  std::u16string result;
  std::thread([&] { result = sortedParagraphOfString(text, true); }).join();
  if (saved)
    setenv("LC_ALL", previous.c_str(), 1);
  else
    unsetenv("LC_ALL");
  return result;
}

TEST(UserLocaleTransforms, FollowTheCollationLocaleOfTheEnvironment) {
  EXPECT_EQ(sortedInThreadWithLocale("sv_SE.UTF-8", u"z\n\u00F6\no"), u"o\nz\n\u00F6");
  EXPECT_EQ(sortedInThreadWithLocale("de_DE.UTF-8", u"z\n\u00F6\no"), u"o\n\u00F6\nz");
  EXPECT_EQ(sortedInThreadWithLocale("C", u"b\nA\na"), u"A\na\nb");
}

TEST(UserLocaleTransforms, UniqueUsesTheUserLocaleToo) {
  EXPECT_EQ(uniqueParagraphOfString(u"b\nB\na"), u"a\nb");
}

// A resource that counts what it hands out, so that the test sees where the
// transforms take their memory from.
class CountingMemory final : public std::pmr::memory_resource {
 public:
  std::size_t allocations = 0;
  std::size_t largest = 0;

 private:
  void* do_allocate(std::size_t bytes, std::size_t alignment) override {
    ++allocations;
    largest = std::max(largest, bytes);
    return std::pmr::new_delete_resource()->allocate(bytes, alignment);
  }
  void do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) override {
    std::pmr::new_delete_resource()->deallocate(pointer, bytes, alignment);
  }
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
};

// With a memory resource, the result is the same and the large memory (the
// keys of a large text, and the result) comes from the resource.
TEST_F(Transforms, WithAMemoryResourceTheResultIsTheSameAndLivesThere) {
  std::u16string text;
  for (int line = 0; line < 20'000; ++line) text += u"line " + std::u16string(1, char16_t(u'a' + line % 26)) + u"\n";
  CountingMemory memory;
  const std::pmr::u16string sorted = sortedParagraphOfString(text, false, root, memory);
  EXPECT_EQ(std::u16string_view(sorted), descending(text));
  EXPECT_EQ(sorted.get_allocator().resource(), &memory);
  EXPECT_GE(memory.largest, text.size() * sizeof(char16_t));
  EXPECT_GE(memory.allocations, 3u);  // keys, their index, the result

  const std::pmr::u16string kept = uniqueParagraphOfString(u"b\nB\na\n", root, memory);
  EXPECT_EQ(std::u16string_view(kept), u"a\nb\n");
  EXPECT_EQ(kept.get_allocator().resource(), &memory);
}

}  // namespace
