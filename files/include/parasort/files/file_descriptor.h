// An open file descriptor that closes itself.
#pragma once

#include <unistd.h>

#include <cerrno>

#include <utility>

namespace parasort::files {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fileDescriptor = -1) noexcept : fileDescriptor_(fileDescriptor) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fileDescriptor_(std::exchange(other.fileDescriptor_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    std::swap(fileDescriptor_, other.fileDescriptor_);
    return *this;
  }
  ~FileDescriptor() {
    if (fileDescriptor_ >= 0) ::close(fileDescriptor_);
  }

  int get() const noexcept { return fileDescriptor_; }
  explicit operator bool() const noexcept { return fileDescriptor_ >= 0; }

  // Closes it now, for the error that close() may report: 0 or an errno.
  int close() noexcept {
    if (fileDescriptor_ < 0) return 0;
    return ::close(std::exchange(fileDescriptor_, -1)) == 0 ? 0 : errno;
  }

 private:
  int fileDescriptor_;
};

}  // namespace parasort::files
