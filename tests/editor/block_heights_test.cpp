// The stacked paragraph heights against a plain list summed from the start:
// random heights (zero among them), random changes and splices.
#include "parasort/editor/block_heights.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <vector>

namespace parasort::editor {
namespace {

void expectSameAsModel(const BlockHeights& index, const std::vector<double>& model) {
  ASSERT_EQ(index.size(), model.size());
  double top = 0;
  for (std::size_t i = 0; i < model.size(); ++i) {
    ASSERT_EQ(index.top(i), top) << i;
    // Inside a paragraph with height, and on its top edge.
    if (model[i] > 0) {
      EXPECT_EQ(index.indexAt(top), i);
      EXPECT_EQ(index.indexAt(top + model[i] / 2), i);
    }
    top += model[i];
  }
  EXPECT_EQ(index.total(), top);
  if (!model.empty()) {
    EXPECT_EQ(index.indexAt(-5), 0u);
    EXPECT_EQ(index.indexAt(top + 5), model.size() - 1);
  }
}

TEST(BlockHeights, AgreeWithSumsFromTheStartThroughChangesAndSplices) {
  std::mt19937 random(21);
  const auto height = [&] { return static_cast<double>(random() % 4 * 17); };  // 0, 17, 34 or 51
  std::vector<double> model(300);
  for (double& h : model) h = height();
  BlockHeights index(model);
  expectSameAsModel(index, model);
  for (int step = 0; step < 200; ++step) {
    const std::size_t at = random() % model.size();
    if (step % 3 != 0) {
      model[at] = height();
      index.set(at, model[at]);
    } else {
      const std::size_t removed = model.size() > 10 ? std::min<std::size_t>(random() % 4, model.size() - at) : 0;
      std::vector<double> inserted(random() % 4 + (removed == 0 ? 1 : 0));
      for (double& h : inserted) h = height();
      model.erase(model.begin() + static_cast<std::ptrdiff_t>(at),
                  model.begin() + static_cast<std::ptrdiff_t>(at + removed));
      model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(), inserted.end());
      index.splice(at, removed, inserted);
    }
    expectSameAsModel(index, model);
  }
}

}  // namespace
}  // namespace parasort::editor
