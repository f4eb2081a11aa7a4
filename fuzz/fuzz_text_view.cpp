// Random sequences of the text view operations on the in-memory view, with
// the promises tests/editor/random_operations.h checks after every step: no
// crash, every editing bracket closed within the call that opened it, the
// storage changed only inside one, a refused edit changing nothing, and an
// approved replacement splicing the text, selecting it, and being one step
// of undo and redo.
#include "random_operations.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  using namespace parasort::editor::test;
  const auto violated = [](const char* what) {
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
  };
  Bytes in(bytes, size);
  InMemoryImplementation memory;
  for (int step = 0; step < 64 && !in.empty(); ++step) {
    memory.view.calls.clear();
    (void)playOne(memory, in, true, violated);
    checkBrackets(memory.view.calls, violated);
  }
  return 0;
}
