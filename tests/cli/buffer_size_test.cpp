#include "buffer_size.h"
#include "sort_budget.h"

#include "parasort/engine/arrangement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace parasort::cli {
namespace {

constexpr std::uint64_t kib = 1024;
constexpr std::uint64_t physical = 8 * kib * kib * kib;  // 8 GiB
constexpr std::uint64_t most = UINT64_MAX;

struct SizeCase {
  std::string_view text;
  std::optional<std::uint64_t> bytes;
};

TEST(BufferSize, ReadsGnuSyntax) {
  const SizeCase cases[] = {
      {"0", 0},
      {"1", kib},  // no suffix: kibibytes
      {"100b", 100},
      {"1k", kib},
      {"1K", kib},
      {"256M", 256 * kib * kib},
      {"256m", 256 * kib * kib},
      {"2G", 2 * kib * kib * kib},
      {"1T", kib * kib * kib * kib},
      {"1P", kib * kib * kib * kib * kib},
      {"1E", kib * kib * kib * kib * kib * kib},
      {"50%", physical / 2},
      {"100%", physical},
      {"0%", 0},
      {"16E", most},                        // past 2^64 - 1: held as that
      {"99999999999999999999999", most},    // the digits alone overflow
      {"", std::nullopt},
      {"K", std::nullopt},
      {"-1", std::nullopt},
      {"+1", std::nullopt},
      {" 1", std::nullopt},
      {"1.5M", std::nullopt},
      {"12KB", std::nullopt},
      {"1Z", std::nullopt},
      {"101%", std::nullopt},
      {"1 M", std::nullopt},
  };
  for (const auto& [text, bytes] : cases) EXPECT_EQ(parseBufferSize(text, physical), bytes) << "'" << text << "'";
}

TEST(SortBudget, PiecesFollowTheBudgetAndTheAddressSpace) {
  const platform::MemoryFacts roomy{.physical = physical, .available = physical / 2, .addressSpaceLimit = {}};
  // A third of the budget is text; the merge reads up to 128 runs at once.
  const SortBudget small = sortBudget(256 * kib * kib, roomy, 2);
  EXPECT_EQ(small.textPerRun, 256 * kib * kib / 3);
  EXPECT_EQ(small.mergeWidth, 128u);
  EXPECT_EQ(small.readBufferPerRun, kib * kib);
  // A tiny budget still sorts: pieces of a byte, runs merged two at a time.
  const SortBudget tiny = sortBudget(1, roomy, 2);
  EXPECT_EQ(tiny.textPerRun, 1u);
  EXPECT_EQ(tiny.mergeWidth, 2u);
  EXPECT_EQ(tiny.readBufferPerRun, 4096u);
  // By default: half of the available memory here, at most 3/8 of the physical.
  EXPECT_EQ(sortBudget(std::nullopt, roomy, 2).bytes, physical / 8 * 3);
  // ulimit -v 400000: a seventh of what the program and two stacks leave.
  const platform::MemoryFacts limited{.physical = physical, .available = physical / 2, .addressSpaceLimit = 400000 * kib};
  const SortBudget underLimit = sortBudget(std::nullopt, limited, 2);
  EXPECT_EQ(underLimit.bytes, 200000 * kib);
  EXPECT_EQ(underLimit.textPerRun, (400000 * kib - 112 * kib * kib) / 7);
  // However large the budget, a piece is one that sort keys can order.
  EXPECT_EQ(sortBudget(std::uint64_t{64} << 30, roomy, 2).textPerRun, parasort::sortKeyTextLimit - 1);
}

}  // namespace
}  // namespace parasort::cli
