// Handing on a large result whose order is held as a list: its paragraphs
// lie all over the text, and gathering them into consecutive bytes is most
// of the work of writing it. Two threads gather alternate chunks of the
// list into buffers of their own and take turns at the sink, chunk after
// chunk, so that the sink sees the result front to back and is never
// called from two threads at once. Internal to the engine.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

#include "two_threads.h"

namespace parasort::detail {

// Whose turn at the sink it is: chunks take it in order. A worker that
// fails abandons the turns, so that the other stops waiting.
class ChunkTurns {
 public:
  // Waits until it is `chunk`'s turn; false when the turns were abandoned.
  bool waitFor(std::size_t chunk) const noexcept {
    while (true) {
      const std::size_t current = current_.load(std::memory_order_acquire);
      if (current == chunk) return true;
      if (current == abandoned) return false;
      current_.wait(current, std::memory_order_acquire);
    }
  }
  void passOn(std::size_t chunk) noexcept {
    current_.store(chunk + 1, std::memory_order_release);
    current_.notify_all();
  }
  void abandon() noexcept {
    current_.store(abandoned, std::memory_order_release);
    current_.notify_all();
  }

 private:
  static constexpr std::size_t abandoned = std::numeric_limits<std::size_t>::max();
  std::atomic<std::size_t> current_{0};
};

// One worker's output for its chunk under way: pieces are gathered until
// the chunk's turn has come, and from then on handed on whenever the
// buffer grows large. A piece as large as that is handed on as it is, so a
// worker holds at most about `handOnAt` units.
template <class CharT>
class ChunkOutput {
 public:
  using View = std::basic_string_view<CharT>;
  using Sink = std::function<void(View)>;

  ChunkOutput(ChunkTurns& turns, const Sink& sink, std::size_t handOnAt)
      : turns_(turns), sink_(sink), handOnAt_(handOnAt) {}

  void begin(std::size_t chunk) noexcept {
    chunk_ = chunk;
    myTurn_ = false;
  }

  // False when the turns were abandoned: the worker stops.
  bool put(View piece) {
    if (buffer_.size() + piece.size() >= handOnAt_) {
      if (!handOnBuffer()) return false;
      if (piece.size() >= handOnAt_) {
        sink_(piece);
        return true;
      }
    }
    buffer_.append(piece);
    return true;
  }

  // Hands on the rest of the chunk and passes the turn on.
  bool end() {
    if (!handOnBuffer()) return false;
    turns_.passOn(chunk_);
    return true;
  }

 private:
  bool handOnBuffer() {
    if (!myTurn_ && !turns_.waitFor(chunk_)) return false;
    myTurn_ = true;
    if (!buffer_.empty()) sink_(View(buffer_));
    buffer_.clear();
    return true;
  }

  ChunkTurns& turns_;
  const Sink& sink_;
  std::size_t handOnAt_;
  std::basic_string<CharT> buffer_;
  std::size_t chunk_ = 0;
  bool myTurn_ = false;
};

// How many paragraphs a chunk takes: enough that the turns are few, few
// enough that both threads have many chunks (a larger result has more).
inline std::size_t paragraphsPerChunk(std::size_t count) noexcept {
  return std::clamp<std::size_t>(count / 64, 256, 16384);
}

// From this many units on, a worker's buffer is handed on within its chunk.
inline constexpr std::size_t chunkHandOnBytes = std::size_t{1} << 20;

// Hands on paragraphs [0, count) of an order, a separator before each but
// the first, gathered in chunks on two threads; what either thread threw is
// rethrown. `gather(first, last, put)` calls `put(index, start)` for the
// paragraphs [first, last) in order. False when no second thread could be
// started (nothing was handed on).
template <class CharT, class Gather, class ContentsAt>
bool handOnInChunks(std::size_t count, std::basic_string_view<CharT> separator, Gather gather, ContentsAt contentsAt,
                    const std::function<void(std::basic_string_view<CharT>)>& sink) {
  const std::size_t perChunk = paragraphsPerChunk(count);
  const std::size_t chunks = (count + perChunk - 1) / perChunk;
  ChunkTurns turns;
  const auto work = [&](std::size_t firstChunk) {
    ChunkOutput<CharT> output(turns, sink, chunkHandOnBytes / sizeof(CharT));
    try {
      for (std::size_t chunk = firstChunk; chunk < chunks; chunk += 2) {
        output.begin(chunk);
        bool going = true;
        gather(chunk * perChunk, std::min(count, (chunk + 1) * perChunk), [&](std::size_t index, std::size_t start) {
          going = going && (index == 0 || output.put(separator)) && output.put(contentsAt(start));
        });
        if (!going || !output.end()) return;
      }
    } catch (...) {
      turns.abandon();
      throw;
    }
  };
  return inTwoThreads([&] { work(1); }, [&] { work(0); });
}

}  // namespace parasort::detail
