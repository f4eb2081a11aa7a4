// How fast the transforms are, in paragraphs per second, on the corpus.
#include "corpus.h"

#include "parasort/engine/arrangement.h"
#include "parasort/engine/transforms.h"
#include "parasort/platform/large_block_memory.h"

#include <benchmark/benchmark.h>
#include <unicode/unistr.h>

#include <map>
#include <string>

namespace {

using namespace parasort;

const std::string& utf8Corpus(std::size_t lines) {
  static std::map<std::size_t, std::string> corpora;
  auto [position, inserted] = corpora.try_emplace(lines);
  if (inserted) position->second = bench::generateCorpus(lines);
  return position->second;
}

std::u16string utf16Corpus(std::size_t lines) {
  const icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8Corpus(lines));
  return std::u16string(text.getBuffer(), static_cast<std::size_t>(text.length()));
}

const ParagraphCollator& collator() {
  static const ParagraphCollator english("en_US");
  return english;
}

void sortUtf16(benchmark::State& state, bool ascending) {
  const auto lines = static_cast<std::size_t>(state.range(0));
  const std::u16string text = utf16Corpus(lines);
  for (auto _ : state) benchmark::DoNotOptimize(sortedParagraphOfString(text, ascending, collator()));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SortedParagraphOfString(benchmark::State& state) { sortUtf16(state, true); }
void BM_SortedParagraphOfStringDescending(benchmark::State& state) { sortUtf16(state, false); }

void BM_UniqueParagraphOfString(benchmark::State& state) {
  const std::u16string text = utf16Corpus(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(uniqueParagraphOfString(text, collator()));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same, with large blocks from the platform (huge pages on Linux) for
// the keys, the order and the result.
void sortUtf16InLargeBlocks(benchmark::State& state, bool ascending) {
  const std::u16string text = utf16Corpus(static_cast<std::size_t>(state.range(0)));
  platform::LargeBlockMemory memory;
  for (auto _ : state) benchmark::DoNotOptimize(sortedParagraphOfString(text, ascending, collator(), memory));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SortedParagraphOfStringLargeBlocks(benchmark::State& state) { sortUtf16InLargeBlocks(state, true); }

void BM_UniqueParagraphOfStringLargeBlocks(benchmark::State& state) {
  const std::u16string text = utf16Corpus(static_cast<std::size_t>(state.range(0)));
  platform::LargeBlockMemory memory;
  for (auto _ : state) benchmark::DoNotOptimize(uniqueParagraphOfString(text, collator(), memory));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The filter's path: UTF-8 in, pieces out (without the file I/O).
void BM_ArrangeUtf8(benchmark::State& state) {
  const std::string& text = utf8Corpus(static_cast<std::size_t>(state.range(0)));
  const auto order = state.range(1) != 0 ? ParagraphOrder::unique : ParagraphOrder::ascending;
  for (auto _ : state) {
    const auto arranged = arrangeParagraphs(text, order, collator());
    std::size_t size = 0;
    arranged.forEachPiece([&size](std::string_view piece) { size += piece.size(); });
    benchmark::DoNotOptimize(size);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Where comparing paragraphs directly stops being faster than making their
// sort keys first: the threshold in the engine's arrangement.
void BM_Strategy(benchmark::State& state) {
  const std::u16string text = utf16Corpus(static_cast<std::size_t>(state.range(0)));
  const auto strategy = state.range(1) != 0 ? OrderingStrategy::sortKeys : OrderingStrategy::comparison;
  for (auto _ : state)
    benchmark::DoNotOptimize(arrangeParagraphs(text, ParagraphOrder::ascending, collator(), {.strategy = strategy}).joined());
  state.SetLabel(std::to_string(text.size()) + " units");
}

BENCHMARK(BM_Strategy)->ArgsProduct({{64, 512, 1000, 2048, 8192}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SortedParagraphOfString)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SortedParagraphOfStringDescending)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UniqueParagraphOfString)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortedParagraphOfStringLargeBlocks)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UniqueParagraphOfStringLargeBlocks)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArrangeUtf8)->Args({100'000, 0})->Args({1'000'000, 0})->Args({1'000'000, 1})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
