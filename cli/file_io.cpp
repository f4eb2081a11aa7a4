#include "file_io.h"

#include "name_quoting.h"
#include "parasort/files/file_descriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace parasort::cli {
namespace {

using files::FileDescriptor;

constexpr std::size_t readBlockSize = 1 << 16;

// Appends the whole file to `contents`.
int readAll(int fileDescriptor, std::pmr::string& contents) {
  struct stat status {};
  if (::fstat(fileDescriptor, &status) != 0) return errno;
  if (S_ISDIR(status.st_mode)) return EISDIR;

  // Regular files tell their size, so one allocation usually does; pipes
  // grow the buffer geometrically.
  std::size_t capacity = S_ISREG(status.st_mode) ? static_cast<std::size_t>(status.st_size) + 1 : 0;
  capacity = capacity < readBlockSize ? readBlockSize : capacity;
  const std::size_t original = contents.size();
  std::size_t filled = original;
  contents.resize(filled + capacity);
  while (true) {
    if (filled == contents.size()) contents.resize(contents.size() * 2);
    const ssize_t count = ::read(fileDescriptor, contents.data() + filled, contents.size() - filled);
    if (count < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      contents.resize(original);
      return error;
    }
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  contents.resize(filled);
  return 0;
}

}  // namespace

std::string displayName(const std::string& path) {
  return path == "-" ? std::string("standard input") : quotedIfNeeded(path);
}

IoError errorFor(const std::string& path, int errorNumber) {
  return IoError{displayName(path) + ": " + std::strerror(errorNumber)};
}

std::optional<IoError> readWholeInput(const std::string& path, std::pmr::string& contents) {
  contents.clear();
  return appendWholeInput(path, contents);
}

std::optional<IoError> appendWholeInput(const std::string& path, std::pmr::string& contents) {
  if (path == "-") {
    if (const int error = readAll(STDIN_FILENO, contents); error != 0) return errorFor(path, error);
    return std::nullopt;
  }
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file) return errorFor(path, errno);
  if (const int error = readAll(file.get(), contents); error != 0) return errorFor(path, error);
  return std::nullopt;
}

}  // namespace parasort::cli
