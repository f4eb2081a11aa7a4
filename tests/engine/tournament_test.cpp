// The tournament that merges sorted parts, against sorting everything: for
// any number of sources (empty ones among them) and many equal candidates,
// the winners come out in the order of (candidate, source), every one once.
#include "tournament.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

namespace {

TEST(Tournament, MergesSortedSourcesAsASortWould) {
  std::mt19937 random(41);
  for (std::size_t sources = 1; sources <= 9; ++sources) {
    for (int round = 0; round < 40; ++round) {
      std::vector<std::vector<int>> lists(sources);
      std::vector<std::tuple<int, std::size_t>> expected;
      for (std::size_t source = 0; source < sources; ++source) {
        lists[source].resize(random() % 3 == 0 ? 0 : random() % 30);
        for (int& value : lists[source]) value = static_cast<int>(random() % 12);  // many ties
        std::sort(lists[source].begin(), lists[source].end());
        for (const int value : lists[source]) expected.emplace_back(value, source);
      }
      std::sort(expected.begin(), expected.end());

      std::vector<std::size_t> next(sources, 0);
      const auto hasCandidate = [&](std::size_t source) { return next[source] < lists[source].size(); };
      parasort::detail::Tournament tournament(sources, [&](std::size_t a, std::size_t b) {
        if (!hasCandidate(a) || !hasCandidate(b)) return hasCandidate(a);
        const int first = lists[a][next[a]];
        const int second = lists[b][next[b]];
        return first != second ? first < second : a < b;
      });
      std::vector<std::tuple<int, std::size_t>> merged;
      while (hasCandidate(tournament.winner())) {
        const std::size_t source = tournament.winner();
        merged.emplace_back(lists[source][next[source]++], source);
        tournament.replay();
      }
      ASSERT_EQ(merged, expected) << sources << " sources, round " << round;
    }
  }
}

}  // namespace
