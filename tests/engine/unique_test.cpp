#include "parasort/engine/unique.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

using namespace parasort::TQUnique;
using Strings = std::vector<std::string>;

// Counts the calls of the comparisons below, which reach it as their context.
struct Calls {
  int count = 0;
};

int plainOrder(const std::string& a, const std::string& b, Calls* calls) {
  ++calls->count;
  return a.compare(b);
}

int descendingOrder(const std::string& a, const std::string& b, Calls* calls) { return -plainOrder(a, b, calls); }

int caseInsensitive(const std::string& a, const std::string& b, Calls* calls) {
  const auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  return plainOrder(lower(a), lower(b), calls);
}

// "Equal" when the lengths differ by at most one: not transitive, so which
// element of a run the others are compared with matters.
int nearLength(const std::string& a, const std::string& b, Calls* calls) {
  ++calls->count;
  const auto difference = static_cast<int>(a.size()) - static_cast<int>(b.size());
  return difference >= -1 && difference <= 1 ? 0 : difference;
}

TEST(UniqueUsingFunction, SortsAndKeepsTheFirstOfEachRun) {
  struct Case {
    const char* what;
    Strings strings;
    int (*compare)(const std::string&, const std::string&, Calls*);
    Strings expected;
  };
  const Case cases[] = {
      {"nothing", {}, plainOrder, {}},
      {"one element, not even compared", {"b"}, nearLength, {"b"}},
      {"one of each run", {"b", "a", "b", "c", "a"}, plainOrder, {"a", "b", "c"}},
      {"the first in input order survives", {"B", "a", "b", "A"}, caseInsensitive, {"a", "B"}},
      {"a descending comparison keeps descending order", {"a", "c", "b", "c"}, descendingOrder, {"c", "b", "a"}},
      // Sorted by length: a, bb, ccc, dddd. Against the kept one: bb ~ a
      // (dropped), ccc is not ~ a (kept), dddd ~ ccc (dropped); against
      // predecessors, ccc ~ bb would have been dropped.
      {"each element is compared with the kept one, not its predecessor", {"a", "bb", "ccc", "dddd"}, nearLength,
       {"a", "ccc"}},
  };
  for (const auto& [what, strings, compare, expected] : cases) {
    SCOPED_TRACE(what);
    Calls calls;
    Strings sorted = strings;
    uniqueUsingFunction(sorted, compare, &calls);
    EXPECT_EQ(sorted, expected);
    EXPECT_EQ(calls.count == 0, strings.size() < 2) << "the context reaches every comparison";
  }
}

struct Word {
  std::string text;
  int compare(const Word& other) const { return text.compare(other.text); }
  bool operator==(const Word&) const = default;
};

TEST(UniqueUsingSelector, SendsAMemberComparisonToTheKeptElement) {
  std::vector<Word> words{{"pear"}, {"apple"}, {"pear"}, {"fig"}};
  uniqueUsingSelector(words, &Word::compare);
  EXPECT_EQ(words, (std::vector<Word>{{"apple"}, {"fig"}, {"pear"}}));
}

TEST(UniqueObjects, CopyingVariantsLeaveTheReceiverAsItWas) {
  Calls calls;
  const Strings original{"b", "a", "b"};
  EXPECT_EQ(uniqueObjectsUsingFunction(original, plainOrder, &calls), (Strings{"a", "b"}));
  EXPECT_EQ(uniqueObjectsUsingSelector(original, [](const std::string& a, const std::string& b) {
              return a.compare(b);
            }),
            (Strings{"a", "b"}));
  EXPECT_EQ(original, (Strings{"b", "a", "b"}));
}

}  // namespace
