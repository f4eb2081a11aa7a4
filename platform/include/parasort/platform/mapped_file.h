// A regular file's bytes mapped into memory, read-only.
//
// A mapped file's pages belong to the system's file cache, not to the
// process: pages read through and let go cost nothing until they are read
// again, when they come back from the cache without a copy. So a large input
// can be sorted without holding the text and its sort keys in memory at
// once. Where files cannot be mapped, map() gives nothing and the caller
// reads the file.
//
// A file that another program shortens while it is mapped makes a read past
// its new end fault (SIGBUS on POSIX systems): see contains() for telling
// such a fault from others.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace parasort::platform {

class MappedFile {
 public:
  // The first `size` bytes of the open file `descriptor` (size > 0), or
  // nothing when they cannot be mapped.
  static std::optional<MappedFile> map(int descriptor, std::size_t size);

  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile();

  std::string_view bytes() const noexcept { return {start_, size_}; }

  // Lets go of the whole pages within [offset, offset + length): they leave
  // the process's memory and are read again from the file when needed.
  void letGo(std::size_t offset, std::size_t length) const noexcept;

  // Whether `address` lies within the mapping's pages.
  bool contains(const void* address) const noexcept;

 private:
  MappedFile(const char* start, std::size_t size) noexcept : start_(start), size_(size) {}

  const char* start_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace parasort::platform
