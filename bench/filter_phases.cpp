// Where the filter's time goes on one file: reading, checking UTF-8, making
// and sorting the keys, merging the sorted parts, writing. Run with a corpus file:
//   filter_phases FILE [ROUNDS]
#include "file_io.h"
#include "parasort/files/buffered_writer.h"
#include "parasort/platform/large_block_memory.h"
#include "sort_key_order.h"
#include "utf8_validation.h"

#include "parasort/engine/arrangement.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace parasort;
  if (argc < 2) {
    std::fputs("usage: filter_phases FILE [ROUNDS]\n", stderr);
    return 2;
  }
  const std::string path = argv[1];
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const ParagraphCollator collator("en_US");
  std::map<std::string, std::vector<double>> phases;
  for (int round = 0; round < rounds; ++round) {
    platform::LargeBlockMemory memory;
    auto start = Clock::now();
    std::pmr::string input(&memory);
    if (cli::readWholeInput(path, input)) return 1;
    phases["1 read"].push_back(millisecondsSince(start));

    start = Clock::now();
    if (cli::findInvalidUtf8(input)) return 1;
    phases["2 check UTF-8"].push_back(millisecondsSince(start));

    start = Clock::now();
    const detail::PartPlan plan{.threadCount = std::max(1u, std::thread::hardware_concurrency()), .memory = &memory};
    const std::string_view text = input;
    ArrangedParagraphs<char> arranged(text, detail::orderBySortKeys(text, ParagraphOrder::ascending,
                                                                    *collator.get(), plan));
    phases["3 keys and sort"].push_back(millisecondsSince(start));

    // As the filter does: the order merged into a list, the keys let go.
    start = Clock::now();
    arranged.keepOnlyTheOrder(memory);
    phases["4 merge"].push_back(millisecondsSince(start));

    start = Clock::now();
    const int devNull = ::open("/dev/null", O_WRONLY);
    files::BufferedWriter writer(devNull);
    arranged.forEachPiece([&writer](std::string_view piece) { writer.write(piece); });
    writer.flush();
    ::close(devNull);
    phases["5 write"].push_back(millisecondsSince(start));
  }
  for (auto& [phase, times] : phases) {
    std::sort(times.begin(), times.end());
    std::printf("%-20s %7.1f ms (median of %d)\n", phase.c_str(), times[times.size() / 2], rounds);
  }
  return 0;
}
