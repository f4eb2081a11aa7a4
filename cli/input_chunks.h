// An input read a piece at a time, each piece whole records, so that a text
// larger than memory can be sorted run by run. The buffer is taken once at
// its full size and filled; it grows only for a record longer than it.
#pragma once

#include "parasort/engine/arrangement.h"

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <memory_resource>
#include <string>
#include <string_view>

namespace parasort::cli {

class InputChunks {
 public:
  // Reads into a buffer as read(2) does: a count, 0 at the end, -1 with errno.
  using Read = std::function<ssize_t(char* into, std::size_t room)>;

  // Reads `fileDescriptor` (not owned), or what `read` gives, in pieces of
  // at most `capacity` bytes (at least 1) from `memory`.
  InputChunks(int fileDescriptor, std::size_t capacity, RecordTerminators terminators,
              std::pmr::memory_resource& memory);
  InputChunks(Read read, std::size_t capacity, RecordTerminators terminators, std::pmr::memory_resource& memory);

  // The next piece: records up to and including the last terminator that
  // fits (a CR at the very end waits, as an LF may follow it), or all that
  // is left at the end of the input; empty when nothing is left. Valid
  // until the next call. Returns 0, or the errno of a failed read.
  int next(std::string_view& piece);

  // Whether the input has been read to its end (the last piece may still be
  // the one just handed out).
  bool atEnd() const noexcept { return atEnd_; }

  // Where the piece handed out last starts in the input.
  std::size_t pieceOffset() const noexcept { return pieceOffset_; }

 private:
  int fill();
  std::size_t cutPoint() const noexcept;
  // Room for `size` bytes, the first `kept` of the old buffer kept; the
  // rest untouched (a pipe's buffer may be taken large and never filled).
  void reserve(std::size_t size, std::size_t kept);

  struct Release {
    std::pmr::memory_resource* memory;
    std::size_t size;
    void operator()(char* bytes) const noexcept { memory->deallocate(bytes, size, 1); }
  };

  Read read_;
  RecordTerminators terminators_;
  std::unique_ptr<char[], Release> buffer_;
  std::size_t size_ = 0;
  std::size_t filled_ = 0;
  std::size_t handedOut_ = 0;  // the length of the piece handed out last
  std::size_t pieceOffset_ = 0;
  bool atEnd_ = false;
};

}  // namespace parasort::cli
