// What the transforms make of texts, as golden data (transforms.golden):
// each row is a text and what sorting it ascending, descending and
// de-duplicating must give. Every
// row is checked through every road that ends in the engine: the UTF-16
// transforms (the services and the editor), the UTF-8 arrangement (the
// filter) by either strategy, and the reference model the random tests trust.
#include "parasort/engine/transforms.h"

#include "reference_model.h"

#include "parasort/engine/arrangement.h"

#include <gtest/gtest.h>

#include <unicode/unistr.h>
#include <cstdlib>
#include <fstream>
#include <memory_resource>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace parasort;

struct Row {
  std::string locale;
  std::u16string text, ascending, descending, unique;
};

// The cases of transforms.golden, their escapes undone by ICU.
std::vector<Row> goldenRows() {
  std::ifstream file(PARASORT_TRANSFORMS_GOLDEN);
  std::vector<Row> rows;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line.front() == '#') continue;
    std::vector<std::u16string> fields;
    for (std::size_t start = 0, bar = 0; bar != std::string::npos; start = bar + 1) {
      bar = line.find('|', start);
      const icu::UnicodeString field = icu::UnicodeString::fromUTF8(line.substr(start, bar - start)).unescape();
      fields.emplace_back(field.getBuffer(), static_cast<std::size_t>(field.length()));
    }
    if (fields.size() != 5) ADD_FAILURE() << "not five fields: " << line;
    if (fields.size() != 5) continue;
    rows.push_back({line.substr(0, line.find('|')), fields[1], fields[2], fields[3], fields[4]});
  }
  return rows;
}

TEST(Transforms, GoldenRowsByEveryRoad) {
  const std::vector<Row> rows = goldenRows();
  ASSERT_GE(rows.size(), 20u);
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "locale '" << row.locale << "', row " << (&row - rows.data()));
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
      const auto utf8 = fuzzing::utf8Of(text);
      if (!utf8) continue;
      for (auto strategy : {OrderingStrategy::comparison, OrderingStrategy::sortKeys})
        EXPECT_EQ(fuzzing::arranged(std::string_view(*utf8), order, collator, strategy), fuzzing::utf8Of(*expected))
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
