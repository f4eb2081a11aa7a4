// A tournament among a few sources (the sorted parts of a text), each
// offering one candidate at a time: the winner, the candidate that goes out
// next, is known at once, and after its source moves on only the matches on
// its way to the final are played again, about log2 of the sources' number
// of them instead of one against every other source. The tree keeps the
// loser of each match (a loser tree). Internal to the engine.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace parasort::detail {

// `Beats(a, b)`: whether source `a`'s candidate goes out before source
// `b`'s. It must be a strict order in which a source with a candidate beats
// one without (ties between candidates broken, say, by source).
template <class Beats>
class Tournament {
 public:
  Tournament(std::size_t sources, Beats beats) : sources_(sources), beats_(std::move(beats)), losers_(sources) {
    // Sources are the leaves sources_ .. 2 * sources_ - 1 of a complete
    // binary tree whose inner nodes are 1 .. sources_ - 1; node n's children
    // are 2n and 2n + 1.
    std::vector<std::size_t> winners(2 * sources_);
    for (std::size_t source = 0; source < sources_; ++source) winners[sources_ + source] = source;
    for (std::size_t node = sources_; node-- > 1;) {
      const std::size_t left = winners[2 * node];
      const std::size_t right = winners[2 * node + 1];
      const bool leftWins = beats_(left, right);
      winners[node] = leftWins ? left : right;
      losers_[node] = leftWins ? right : left;
    }
    winner_ = sources_ > 1 ? winners[1] : 0;
  }

  // The source whose candidate goes out next (when it has one: otherwise
  // no source has).
  std::size_t winner() const noexcept { return winner_; }

  // To be called once the winner's source has moved on to its next
  // candidate, or has run out.
  void replay() {
    std::size_t winner = winner_;
    for (std::size_t node = (winner + sources_) / 2; node >= 1; node /= 2)
      if (beats_(losers_[node], winner)) std::swap(losers_[node], winner);
    winner_ = winner;
  }

 private:
  std::size_t sources_;
  Beats beats_;
  std::vector<std::size_t> losers_;  // by inner node (index 0 unused)
  std::size_t winner_ = 0;
};

}  // namespace parasort::detail
