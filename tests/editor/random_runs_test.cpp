// Random runs of the text view operations on the QTextEdit adapter: every
// step keeps the promises random_operations.h checks (an edit refused changes
// nothing, an approved one splices and selects as asked and is one step of
// undo and redo).
#include "random_operations.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace parasort::editor::test {
namespace {

TEST(RandomRuns, KeepEveryPromiseAtEveryStep) {
  std::mt19937 random(20261206);
  for (int run = 0; run < 200 && !HasFailure(); ++run) {
    std::vector<std::uint8_t> bytes(800);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    Bytes in(bytes.data(), bytes.size());
    EditorUnderTest editor;
    for (int step = 0; !in.empty() && !HasFailure(); ++step)
      playOne(editor, in, [&](const char* what) { ADD_FAILURE() << what << " at run " << run << " step " << step; });
  }
}

}  // namespace
}  // namespace parasort::editor::test
