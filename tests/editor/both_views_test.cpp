// Random runs of operations played on both text views at once: after every
// step the two agree on the result, the text with its attributes, the
// selection and the typing attributes, and each keeps the properties that
// random_operations.h checks. The in-memory view is the oracle for the Qt
// adapter, and the properties for the operations both share.
#include "text_view_fixture.h"

#include <random>

namespace parasort::editor::test {
namespace {

std::string describeOperation(const Operation& op) {
  return std::to_string(op.kind) + " (" + std::to_string(op.range.location) + "," +
         std::to_string(op.range.length) + ") '" + ascii(op.text) + "' " + op.name + " " +
         shortly({{op.name, op.value}}) + " " + std::to_string(op.number) + (op.attributed ? " *" : "");
}

TEST(BothViews, AgreeOnEveryStepOfRandomRuns) {
  std::mt19937 random(20261206);
  for (int run = 0; run < 200 && !HasFailure(); ++run) {
    std::vector<std::uint8_t> bytes(800);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    Bytes in(bytes.data(), bytes.size());
    InMemoryImplementation memory;
    QTextEditImplementation qt;
    std::string steps;
    const auto violated = [&](const char* what) { ADD_FAILURE() << what << steps; };
    while (!in.empty() && !HasFailure()) {
      const Operation op = someOperation(in, memory.view.length(), false);
      // Undo of typing attributes set on an empty text goes back further on
      // the Qt adapter than on the in-memory view; undo is compared only
      // right after each replacement (see play()).
      if (op.kind == Undo || op.kind == Redo) continue;
      steps += "\n  " + describeOperation(op);
      memory.view.calls.clear();
      const bool inMemory = play(memory, op, violated);
      checkBrackets(memory.view.calls, violated);
      EXPECT_EQ(inMemory, play(qt, op, violated)) << steps;
      EXPECT_EQ(describe(memory.view), describe(qt.view)) << steps;
      EXPECT_TRUE(wholeText(memory.view) == wholeText(qt.view)) << steps;
    }
  }
}

}  // namespace
}  // namespace parasort::editor::test
