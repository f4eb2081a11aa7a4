#include "parasort/editor/block_heights.h"

#include <bit>
#include <utility>

namespace parasort::editor {
namespace {

constexpr std::size_t lowestBit(std::size_t i) { return i & (~i + 1); }

}  // namespace

void BlockHeights::assign(std::vector<double> heights) {
  heights_ = std::move(heights);
  rebuild();
}

void BlockHeights::splice(std::size_t first, std::size_t removed, std::span<const double> inserted) {
  const auto at = heights_.begin() + static_cast<std::ptrdiff_t>(first);
  if (removed == inserted.size()) {
    for (std::size_t i = 0; i < removed; ++i) set(first + i, inserted[i]);
    return;
  }
  heights_.erase(at, at + static_cast<std::ptrdiff_t>(removed));
  heights_.insert(heights_.begin() + static_cast<std::ptrdiff_t>(first), inserted.begin(), inserted.end());
  rebuild();
}

void BlockHeights::rebuild() {
  // Each node adds itself to its parent once: O(n).
  tree_ = heights_;
  for (std::size_t i = 1; i <= tree_.size(); ++i) {
    const std::size_t parent = i + lowestBit(i);
    if (parent <= tree_.size()) tree_[parent - 1] += tree_[i - 1];
  }
}

void BlockHeights::set(std::size_t index, double height) {
  const double change = height - heights_[index];
  heights_[index] = height;
  if (change == 0.0) return;
  for (std::size_t i = index + 1; i <= tree_.size(); i += lowestBit(i)) tree_[i - 1] += change;
}

double BlockHeights::top(std::size_t index) const {
  double sum = 0.0;
  for (std::size_t i = index; i > 0; i -= lowestBit(i)) sum += tree_[i - 1];
  return sum;
}

std::size_t BlockHeights::indexAt(double y) const {
  // Descends the tree for the most heights whose sum stays at or below y.
  std::size_t count = 0;
  double sum = 0.0;
  for (std::size_t step = std::bit_floor(tree_.size()); step > 0; step /= 2) {
    const std::size_t next = count + step;
    if (next <= tree_.size() && sum + tree_[next - 1] <= y) {
      count = next;
      sum += tree_[next - 1];
    }
  }
  return count < heights_.size() ? count : heights_.size() - 1;
}

}  // namespace parasort::editor
