#include "parasort/platform/large_block_memory.h"

#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace parasort::platform {
namespace {

constexpr std::size_t largeBlock = std::size_t{1} << 20;
constexpr std::size_t hugePage = std::size_t{2} << 20;

bool mappedOnItsOwn(std::size_t bytes, std::size_t alignment) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  return bytes >= largeBlock && alignment <= hugePage;
#else
  (void)bytes;
  (void)alignment;
  return false;
#endif
}

std::size_t roundedToHugePages(std::size_t bytes) { return (bytes + hugePage - 1) / hugePage * hugePage; }

}  // namespace

void* LargeBlockMemory::do_allocate(std::size_t bytes, std::size_t alignment) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (mappedOnItsOwn(bytes, alignment)) {
    const std::size_t size = roundedToHugePages(bytes);
    void* block = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
    // Only a hint: without huge pages the block works the same, just slower.
    ::madvise(block, size, MADV_HUGEPAGE);
    return block;
  }
#endif
  return ::operator new(bytes, std::align_val_t(alignment));
}

void LargeBlockMemory::do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (mappedOnItsOwn(bytes, alignment)) {
    ::munmap(pointer, roundedToHugePages(bytes));
    return;
  }
#endif
  ::operator delete(pointer, std::align_val_t(alignment));
}

}  // namespace parasort::platform
