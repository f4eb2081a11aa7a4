// Memory for large working buffers (a whole input, sort keys, a result).
//
// Touching fresh memory page by page is a large part of sorting a big file:
// on Linux, blocks of a megabyte or more are mapped on their own and marked
// for transparent huge pages, which the kernel fills a 2 MiB page at a time.
// Elsewhere, and for small blocks, this is plain new/delete.
#pragma once

#include <cstddef>
#include <memory_resource>

namespace parasort::platform {

class LargeBlockMemory final : public std::pmr::memory_resource {
 private:
  void* do_allocate(std::size_t bytes, std::size_t alignment) override;
  void do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) override;
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
};

}  // namespace parasort::platform
