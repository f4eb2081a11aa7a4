#include "input_chunks.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

namespace parasort::cli {

InputChunks::InputChunks(int fileDescriptor, std::size_t capacity, RecordTerminators terminators,
                         std::pmr::memory_resource& memory)
    : InputChunks([fileDescriptor](char* into, std::size_t room) { return ::read(fileDescriptor, into, room); },
                  capacity, terminators, memory) {}

InputChunks::InputChunks(Read read, std::size_t capacity, RecordTerminators terminators,
                         std::pmr::memory_resource& memory)
    : read_(std::move(read)), terminators_(terminators), buffer_(nullptr, Release{&memory, 0}) {
  // Where memory is not overcommitted, a large budget may be more than can
  // be reserved at once: a smaller piece does as well.
  for (capacity = std::max<std::size_t>(capacity, 1);; capacity /= 2) {
    try {
      reserve(capacity, 0);
      return;
    } catch (const std::bad_alloc&) {
      if (capacity < (std::size_t{1} << 20)) throw;
    }
  }
}

void InputChunks::reserve(std::size_t size, std::size_t kept) {
  std::pmr::memory_resource* memory = buffer_.get_deleter().memory;
  std::unique_ptr<char[], Release> bytes(static_cast<char*>(memory->allocate(size, 1)), Release{memory, size});
  if (kept > 0) std::memcpy(bytes.get(), buffer_.get(), kept);
  buffer_ = std::move(bytes);
  size_ = size;
}

int InputChunks::next(std::string_view& piece) {
  // What was handed out goes; the records cut off after it move to the front.
  pieceOffset_ += handedOut_;
  std::memmove(buffer_.get(), buffer_.get() + handedOut_, filled_ - handedOut_);
  filled_ -= handedOut_;
  handedOut_ = 0;
  while (true) {
    if (const int error = fill(); error != 0) return error;
    if (atEnd_) {
      handedOut_ = filled_;
      break;
    }
    handedOut_ = cutPoint();
    if (handedOut_ > 0) break;
    // Not one whole record fits: the buffer grows for it.
    reserve(size_ * 2, filled_);
  }
  piece = std::string_view(buffer_.get(), handedOut_);
  return 0;
}

int InputChunks::fill() {
  while (!atEnd_ && filled_ < size_) {
    const ssize_t count = read_(buffer_.get() + filled_, size_ - filled_);
    if (count < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (count == 0) atEnd_ = true;
    filled_ += static_cast<std::size_t>(count);
  }
  return 0;
}

// Just after the last terminator in the buffer that surely ends a record;
// 0 when there is none.
std::size_t InputChunks::cutPoint() const noexcept {
  const std::string_view bytes(buffer_.get(), filled_);
  if (terminators_ == RecordTerminators::nul) {
    const std::size_t last = bytes.rfind('\0');
    return last == std::string_view::npos ? 0 : last + 1;
  }
  for (std::size_t end = bytes.size(); end > 0; --end) {
    const char byte = bytes[end - 1];
    if (byte == '\n') return end;
    if (byte == '\r' && end < bytes.size()) return end;  // the next byte is known not to be part of it
    if (byte == '\xA9' && end >= 3 && bytes.substr(end - 3, 3) == "\xE2\x80\xA9") return end;
  }
  return 0;
}

}  // namespace parasort::cli
