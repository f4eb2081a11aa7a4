#include "parasort/files/buffered_writer.h"

#include <unistd.h>

#include <cerrno>

namespace parasort::files {
namespace {

constexpr std::size_t writeBlockSize = 1 << 16;

}  // namespace

BufferedWriter::BufferedWriter(int fileDescriptor) : fileDescriptor_(fileDescriptor) {
  buffer_.reserve(writeBlockSize);
}

void BufferedWriter::write(std::string_view piece) {
  if (error_ != 0) return;
  if (buffer_.size() + piece.size() <= writeBlockSize) {
    buffer_.append(piece);
    return;
  }
  writeThrough(buffer_);
  buffer_.clear();
  if (piece.size() >= writeBlockSize)
    writeThrough(piece);
  else
    buffer_.append(piece);
}

int BufferedWriter::flush() {
  writeThrough(buffer_);
  buffer_.clear();
  return error_;
}

void BufferedWriter::writeThrough(std::string_view bytes) {
  while (!bytes.empty() && error_ == 0) {
    const ssize_t count = ::write(fileDescriptor_, bytes.data(), bytes.size());
    if (count < 0) {
      if (errno != EINTR) error_ = errno;
      continue;
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

int writeAll(int fileDescriptor, const Pieces& pieces) {
  BufferedWriter writer(fileDescriptor);
  pieces([&writer](std::string_view piece) { writer.write(piece); });
  return writer.flush();
}

}  // namespace parasort::files
