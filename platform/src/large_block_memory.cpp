#include "parasort/platform/large_block_memory.h"

#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace parasort::platform {
namespace {

constexpr std::size_t largeBlock = std::size_t{1} << 20;
// A mapping starts on a page, and no page is smaller than this.
constexpr std::size_t smallestPage = 4096;

bool mappedOnItsOwn(std::size_t bytes, std::size_t alignment) {
#if defined(__linux__)
  return bytes >= largeBlock && alignment <= smallestPage;
#else
  (void)bytes;
  (void)alignment;
  return false;
#endif
}

std::size_t roundedToPages(std::size_t bytes) { return (bytes + smallestPage - 1) / smallestPage * smallestPage; }

}  // namespace

void* LargeBlockMemory::do_allocate(std::size_t bytes, std::size_t alignment) {
#if defined(__linux__)
  if (mappedOnItsOwn(bytes, alignment)) {
    const std::size_t size = roundedToPages(bytes);
    void* block = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
    return block;
  }
#endif
  return ::operator new(bytes, std::align_val_t(alignment));
}

void LargeBlockMemory::do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) {
#if defined(__linux__)
  if (mappedOnItsOwn(bytes, alignment)) {
    ::munmap(pointer, roundedToPages(bytes));
    return;
  }
#endif
  ::operator delete(pointer, std::align_val_t(alignment));
}

}  // namespace parasort::platform
