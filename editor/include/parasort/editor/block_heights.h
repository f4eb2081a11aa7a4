// The heights of a document's paragraphs, stacked: where each one starts and
// which one covers a given height, each in O(log n), with one height changed
// in O(log n) (a Fenwick tree of the heights). Paragraphs inserted or removed
// rebuild the index, in O(n).
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace parasort::editor {

class BlockHeights {
 public:
  BlockHeights() = default;
  explicit BlockHeights(std::vector<double> heights) { assign(std::move(heights)); }

  // Replaces every height.
  void assign(std::vector<double> heights);
  // Replaces the `removed` heights from `first` on with `inserted`.
  void splice(std::size_t first, std::size_t removed, std::span<const double> inserted);
  // Sets the height at `index` (< size()).
  void set(std::size_t index, double height);

  [[nodiscard]] std::size_t size() const noexcept { return heights_.size(); }
  [[nodiscard]] double height(std::size_t index) const { return heights_[index]; }
  // The sum of the heights before `index` (<= size()).
  [[nodiscard]] double top(std::size_t index) const;
  [[nodiscard]] double total() const { return top(heights_.size()); }
  // The index whose span [top, top + height) holds `y`: 0 above the first,
  // the last at or below the end, and past any of zero height. size() must
  // not be 0.
  [[nodiscard]] std::size_t indexAt(double y) const;

 private:
  void rebuild();

  std::vector<double> heights_;
  std::vector<double> tree_;  // tree_[i - 1] sums heights_ over (i - lowbit(i), i]
};

}  // namespace parasort::editor
