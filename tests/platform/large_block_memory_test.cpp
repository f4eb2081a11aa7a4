#include "parasort/platform/large_block_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory_resource>
#include <numeric>
#include <string>
#include <vector>

namespace {

using parasort::platform::LargeBlockMemory;

bool alignedTo(const void* pointer, std::size_t alignment) {
  return reinterpret_cast<std::uintptr_t>(pointer) % alignment == 0;
}

// Small blocks, blocks around the size where mapping starts, and blocks far
// past it, at every alignment callers use: each must be writable to its last
// byte and go back without complaint (the sanitizer build checks both).
TEST(LargeBlockMemory, BlocksOfEverySizeAreUsableToTheirEnd) {
  LargeBlockMemory memory;
  const std::size_t megabyte = std::size_t{1} << 20;
  for (const std::size_t size : {std::size_t{1}, std::size_t{4096}, megabyte - 1, megabyte, megabyte + 1,
                                 3 * megabyte + 12345, 17 * megabyte}) {
    for (const std::size_t alignment : {std::size_t{1}, std::size_t{16}, std::size_t{64}, std::size_t{4096}}) {
      void* block = memory.allocate(size, alignment);
      ASSERT_NE(block, nullptr);
      EXPECT_TRUE(alignedTo(block, alignment)) << size << " bytes aligned to " << alignment;
      std::memset(block, 0xA5, size);
      memory.deallocate(block, size, alignment);
    }
  }
}

// Containers that grow through the mapping threshold move their contents
// from small blocks into large ones and back out intact.
TEST(LargeBlockMemory, ContainersGrowAcrossTheThresholdIntact) {
  LargeBlockMemory memory;
  std::pmr::vector<std::uint32_t> numbers(&memory);
  for (std::uint32_t value = 0; value < (3u << 20); ++value) numbers.push_back(value * 7u);
  std::uint64_t sum = std::accumulate(numbers.begin(), numbers.end(), std::uint64_t{0});
  const std::uint64_t count = 3u << 20;
  EXPECT_EQ(sum, 7u * (count * (count - 1) / 2));

  std::pmr::u16string text(&memory);
  for (int round = 0; round < 200'000; ++round) text += u"paragraph\n";
  EXPECT_EQ(text.size(), 2'000'000u);
  EXPECT_EQ(text.substr(text.size() - 10), u"paragraph\n");
  numbers.clear();
  numbers.shrink_to_fit();
  text.clear();
  text.shrink_to_fit();
}

TEST(LargeBlockMemory, OnlyTheSameObjectIsEqual) {
  LargeBlockMemory first;
  LargeBlockMemory second;
  EXPECT_TRUE(first.is_equal(first));
  EXPECT_FALSE(first.is_equal(second));
  EXPECT_FALSE(first.is_equal(*std::pmr::new_delete_resource()));
}

}  // namespace
