// Memory for large working buffers (a whole input, sort keys, a result).
//
// On Linux, blocks of a megabyte or more are mapped on their own, so that
// each goes back to the system as soon as it is let go and the peak stays
// what the filter holds at once. They are not marked for transparent huge
// pages: in a virtual machine whose host takes back the guest's free huge
// pages, a fresh huge page may be one the host must back again, and its
// first touch then costs many times that of ordinary pages (the 1M-line
// sort measured slower and far less steady with them). Elsewhere, and for
// small blocks, this is plain new/delete.
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
