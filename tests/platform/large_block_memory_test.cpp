#include "parasort/platform/large_block_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

// Small blocks, blocks around the size where mapping starts, and blocks far
// past it, at every alignment callers use: each must be writable to its last
// byte and go back without complaint (the sanitizer build checks both).
TEST(LargeBlockMemory, BlocksOfEverySizeAreAlignedAndUsableToTheirEnd) {
  parasort::platform::LargeBlockMemory memory;
  const std::size_t megabyte = std::size_t{1} << 20;
  for (const std::size_t size : {std::size_t{1}, std::size_t{4096}, megabyte - 1, megabyte, megabyte + 1,
                                 3 * megabyte + 12345, 17 * megabyte}) {
    for (const std::size_t alignment :
         {std::size_t{1}, std::size_t{16}, std::size_t{64}, std::size_t{4096}, std::size_t{2} << 20}) {
      void* block = memory.allocate(size, alignment);
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignment, 0U) << size << " bytes at " << alignment;
      std::memset(block, 0xA5, size);
      memory.deallocate(block, size, alignment);
    }
  }
  // Another resource cannot free its blocks.
  EXPECT_FALSE(memory.is_equal(*std::pmr::new_delete_resource()));
  EXPECT_FALSE(memory.is_equal(parasort::platform::LargeBlockMemory()));
}

}  // namespace
