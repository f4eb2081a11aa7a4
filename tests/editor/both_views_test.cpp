// Random runs of operations played on both text views at once: after every
// step the two agree on the result, the text with its attributes, the
// selection and the typing attributes, and each keeps the promises that
// random_operations.h checks. The in-memory view is the oracle for the Qt
// adapter; the promises are the oracle for the operations both share.
#include "text_view_fixture.h"

#include <random>

namespace parasort::editor::test {
namespace {

TEST(BothViews, AgreeOnEveryStepOfRandomRuns) {
  std::mt19937 random(20261206);
  for (int run = 0; run < 200 && !HasFailure(); ++run) {
    std::vector<std::uint8_t> bytes(800);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    Bytes forMemory(bytes.data(), bytes.size()), forQt(bytes.data(), bytes.size());
    InMemoryImplementation memory;
    QTextEditImplementation qt;
    for (int step = 0; !forMemory.empty() && !HasFailure(); ++step) {
      const auto violated = [&](const char* what) { ADD_FAILURE() << what << " at run " << run << " step " << step; };
      memory.view.calls.clear();
      const bool inMemory = playOne(memory, forMemory, false, violated);
      checkBrackets(memory.view.calls, violated);
      EXPECT_EQ(inMemory, playOne(qt, forQt, false, violated)) << run << " " << step;
      EXPECT_EQ(describe(memory.view), describe(qt.view)) << run << " " << step;
      EXPECT_TRUE(wholeText(memory.view) == wholeText(qt.view)) << run << " " << step;
    }
  }
}

}  // namespace
}  // namespace parasort::editor::test
