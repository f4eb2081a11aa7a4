#include "parasort/platform/mapped_file.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/mman.h>
#include <unistd.h>
#define PARASORT_CAN_MAP_FILES 1
#endif

namespace parasort::platform {
namespace {

#if defined(PARASORT_CAN_MAP_FILES)
std::size_t pageSize() noexcept {
  static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return size;
}
#endif

}  // namespace

std::optional<MappedFile> MappedFile::map(int descriptor, std::size_t size) {
#if defined(PARASORT_CAN_MAP_FILES)
  if (size == 0) return std::nullopt;
  void* start = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, descriptor, 0);
  if (start == MAP_FAILED) return std::nullopt;
  return MappedFile(static_cast<const char*>(start), size);
#else
  (void)descriptor;
  (void)size;
  return std::nullopt;
#endif
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : start_(std::exchange(other.start_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this != &other) {
    MappedFile old(std::move(*this));
    start_ = std::exchange(other.start_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

MappedFile::~MappedFile() {
#if defined(PARASORT_CAN_MAP_FILES)
  if (start_ != nullptr) ::munmap(const_cast<char*>(start_), size_);
#endif
}

void MappedFile::letGo(std::size_t offset, std::size_t length) const noexcept {
#if defined(PARASORT_CAN_MAP_FILES)
  if (offset >= size_) return;
  length = std::min(length, size_ - offset);
  // Only whole pages: the pages at either end may hold bytes still wanted.
  const auto begin = reinterpret_cast<std::uintptr_t>(start_ + offset);
  const auto end = reinterpret_cast<std::uintptr_t>(start_ + offset + length);
  const std::uintptr_t firstPage = (begin + pageSize() - 1) / pageSize() * pageSize();
  const std::uintptr_t lastPageEnd = end / pageSize() * pageSize();
  if (lastPageEnd > firstPage)
    ::madvise(reinterpret_cast<void*>(firstPage), lastPageEnd - firstPage, MADV_DONTNEED);
#else
  (void)offset;
  (void)length;
#endif
}

bool MappedFile::contains(const void* address) const noexcept {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  const auto start = reinterpret_cast<std::uintptr_t>(start_);
#if defined(PARASORT_CAN_MAP_FILES)
  const std::size_t mapped = (size_ + pageSize() - 1) / pageSize() * pageSize();
#else
  const std::size_t mapped = size_;
#endif
  return start_ != nullptr && at >= start && at - start < mapped;
}

}  // namespace parasort::platform
