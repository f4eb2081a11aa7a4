#include "parasort/engine/unique.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

using namespace parasort::TQUnique;
using Strings = std::vector<std::string>;

struct Calls {
  int count = 0;
  int withForeignContext = 0;
};

int plainOrder(const std::string& a, const std::string& b, Calls* calls) {
  ++calls->count;
  return a.compare(b);
}

int caseInsensitive(const std::string& a, const std::string& b, Calls* calls) {
  ++calls->count;
  const auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  return lower(a).compare(lower(b));
}

TEST(UniqueUsingFunction, ArraysOfFewerThanTwoAreNotTouched) {
  Calls calls;
  Strings empty;
  uniqueUsingFunction(empty, plainOrder, &calls);
  EXPECT_TRUE(empty.empty());
  Strings one{"b"};
  uniqueUsingFunction(one, plainOrder, &calls);
  EXPECT_EQ(one, Strings{"b"});
  EXPECT_EQ(calls.count, 0);
}

TEST(UniqueUsingFunction, SortsAndKeepsOneOfEachRun) {
  Calls calls;
  Strings strings{"b", "a", "b", "c", "a"};
  uniqueUsingFunction(strings, plainOrder, &calls);
  EXPECT_EQ(strings, (Strings{"a", "b", "c"}));
}

TEST(UniqueUsingFunction, TheFirstOfEqualElementsInInputOrderSurvives) {
  Calls calls;
  Strings strings{"B", "a", "b", "A"};
  uniqueUsingFunction(strings, caseInsensitive, &calls);
  EXPECT_EQ(strings, (Strings{"a", "B"}));
}

TEST(UniqueUsingFunction, DescendingComparisonKeepsDescendingOrder) {
  Calls calls;
  Strings strings{"a", "c", "b", "c"};
  uniqueUsingFunction(
      strings, [](const std::string& a, const std::string& b, Calls* c) { return -plainOrder(a, b, c); },
      &calls);
  EXPECT_EQ(strings, (Strings{"c", "b", "a"}));
}

TEST(UniqueUsingFunction, EachElementIsComparedWithTheKeptOneNotItsPredecessor) {
  // "Equal" when the lengths differ by at most one: not transitive, so the
  // kept element matters. Sorted by length: a, bb, ccc, dddd.
  // Against the kept one: bb ~ a (drop), ccc vs a differs (keep), dddd ~ ccc (drop).
  // Against predecessors, ccc ~ bb would have been dropped.
  auto nearLength = [](const std::string& a, const std::string& b, const void*) {
    const auto difference = static_cast<int>(a.size()) - static_cast<int>(b.size());
    return difference >= -1 && difference <= 1 ? 0 : difference;
  };
  Strings strings{"a", "bb", "ccc", "dddd"};
  uniqueUsingFunction(strings, nearLength, static_cast<const void*>(nullptr));
  EXPECT_EQ(strings, (Strings{"a", "ccc"}));
}

TEST(UniqueUsingFunction, ContextReachesEveryCallAndThePassCallsNMinusOneTimes) {
  struct Recorder {
    const Calls* expected;
    int calls = 0;
    int foreign = 0;
  };
  Calls marker;
  Recorder recorder{&marker};
  auto compare = [](const int& a, const int& b, Recorder* context) {
    ++context->calls;
    return (a > b) - (a < b);
  };
  std::vector<int> sorted{1, 2, 2, 3, 4};
  uniqueUsingFunction(sorted, compare, &recorder);
  EXPECT_EQ(sorted, (std::vector<int>{1, 2, 3, 4}));

  // With the sort's own calls counted separately, the pass makes n - 1.
  Recorder sortOnly{&marker};
  std::vector<int> again{1, 2, 2, 3, 4};
  std::stable_sort(again.begin(), again.end(),
                   [&](int a, int b) { return compare(a, b, &sortOnly) < 0; });
  EXPECT_EQ(recorder.calls - sortOnly.calls, 4);
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
