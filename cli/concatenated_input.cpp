#include "concatenated_input.h"

#include "record_text.h"
#include "utf8_validation.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace parasort::cli {
namespace {

constexpr std::string_view paragraphSeparator = "\xE2\x80\xA9";
// What is read of a later input after its byte order mark, to see whether
// any text follows.
constexpr std::size_t headBlock = 4096;

}  // namespace

ConcatenatedInput::ConcatenatedInput(std::vector<std::string> paths, RecordTerminators terminators)
    : paths_(std::move(paths)), terminators_(terminators) {}

ssize_t ConcatenatedInput::read(char* into, std::size_t room) {
  while (true) {
    if (!waiting_.empty()) {
      const std::size_t count = handOut(into, room, waiting_.front().bytes, waiting_.front().input,
                                        waiting_.front().inputOffset);
      waiting_.front().bytes.erase(0, count);
      waiting_.front().inputOffset += count;
      if (waiting_.front().bytes.empty()) waiting_.erase(waiting_.begin());
      return static_cast<ssize_t>(count);
    }
    if (input_ == paths_.size()) return 0;
    if (descriptor_ < 0) {
      if (!start()) {
        failedInput_ = input_;
        return -1;
      }
      continue;
    }
    const ssize_t count = readCurrent(into, room);
    if (count < 0) {
      failedInput_ = input_;
      return -1;
    }
    if (count == 0) {
      nextInput();
      continue;
    }
    note(std::string_view(into, static_cast<std::size_t>(count)), input_, inputOffset_);
    inputOffset_ += static_cast<std::size_t>(count);
    return count;
  }
}

bool ConcatenatedInput::start() {
  const std::string& path = paths_[input_];
  if (path == "-") {
    descriptor_ = STDIN_FILENO;
  } else {
    file_ = files::FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file_) return false;
    descriptor_ = file_.get();
  }
  inputEnded_ = false;
  inputOffset_ = 0;

  // Enough of the input to see a byte order mark, and then whether any
  // text follows it: only then does the input ending before it need a
  // separator.
  std::string head(utf8ByteOrderMark.size(), '\0');
  std::size_t have = 0;
  const auto readAtLeast = [&](std::size_t minimum) {
    while (have < minimum) {
      const ssize_t count = readCurrent(head.data() + have, head.size() - have);
      if (count < 0) return false;
      if (count == 0) break;
      have += static_cast<std::size_t>(count);
    }
    return true;
  };
  if (!readAtLeast(head.size())) return false;
  std::size_t skipped = 0;
  if (std::string_view(head.data(), have) == utf8ByteOrderMark) {
    if (input_ == 0) {
      byteOrderMarkLength_ = utf8ByteOrderMark.size();
    } else {
      skipped = have;
      have = 0;
      head.assign(headBlock, '\0');
      if (!readAtLeast(1)) return false;
    }
  }
  inputOffset_ = skipped + have;
  if (have == 0) {  // nothing, or nothing but a byte order mark
    nextInput();
    return true;
  }
  head.resize(have);
  if (streamLength_ > byteOrderMarkLength_ && !endsWithTerminator()) {
    std::string_view separator = "\n";
    if (terminators_ == RecordTerminators::nul) separator = std::string_view("\0", 1);
    else if (!firstSeparator_.empty()) separator = firstSeparator_;
    waiting_.push_back({std::string(separator), separatorInput, 0});
  }
  waiting_.push_back({std::move(head), input_, skipped});
  return true;
}

ssize_t ConcatenatedInput::readCurrent(char* into, std::size_t room) {
  // A terminal's end of input is not asked for twice.
  if (inputEnded_) return 0;
  while (true) {
    const ssize_t count = ::read(descriptor_, into, room);
    if (count < 0 && errno == EINTR) continue;
    if (count == 0) inputEnded_ = true;
    return count;
  }
}

void ConcatenatedInput::nextInput() {
  file_ = files::FileDescriptor();
  descriptor_ = -1;
  ++input_;
}

std::size_t ConcatenatedInput::handOut(char* into, std::size_t room, std::string_view bytes, std::size_t input,
                                       std::size_t inputOffset) {
  const std::size_t count = std::min(room, bytes.size());
  std::memcpy(into, bytes.data(), count);
  note(bytes.substr(0, count), input, inputOffset);
  return count;
}

void ConcatenatedInput::note(std::string_view bytes, std::size_t input, std::size_t inputOffset) {
  if (bytes.empty()) return;
  if (stretches_.empty() || input == separatorInput || stretches_.back().input != input)
    stretches_.push_back({streamLength_, input, inputOffset});
  streamLength_ += bytes.size();
  lastBytes_.append(bytes.substr(bytes.size() - std::min<std::size_t>(bytes.size(), 3)));
  if (lastBytes_.size() > 3) lastBytes_.erase(0, lastBytes_.size() - 3);
  if (terminators_ == RecordTerminators::paragraph && firstSeparator_.empty()) findFirstSeparator(bytes);
}

// Looks for the stream's first terminator in its next `bytes`.
void ConcatenatedInput::findFirstSeparator(std::string_view bytes) {
  for (const char byte : bytes) {
    if (carriageReturnPending_) {
      firstSeparator_ = byte == '\n' ? std::string_view("\r\n") : std::string_view("\r");
      return;
    }
    if (byte == '\n') {
      firstSeparator_ = "\n";
      return;
    }
    if (byte == '\r') {
      carriageReturnPending_ = true;
      continue;
    }
    // A U+2029 may come in two reads.
    paragraphSeparatorSeen_ = byte == paragraphSeparator[paragraphSeparatorSeen_] ? paragraphSeparatorSeen_ + 1
                              : byte == paragraphSeparator[0]                      ? 1
                                                                                   : 0;
    if (paragraphSeparatorSeen_ == paragraphSeparator.size()) {
      firstSeparator_ = paragraphSeparator;
      return;
    }
  }
}

bool ConcatenatedInput::endsWithTerminator() const noexcept {
  return cli::endsWithTerminator(lastBytes_, terminators_);
}

std::optional<std::string_view> ConcatenatedInput::firstSeparator() const {
  if (terminators_ == RecordTerminators::nul) return std::string_view("\0", 1);
  if (!firstSeparator_.empty()) return firstSeparator_;
  if (carriageReturnPending_) return std::string_view("\r");  // a CR at the very end
  return std::nullopt;
}

std::optional<InputProblem> ConcatenatedInput::checkUtf8(std::string_view bytes, std::size_t streamOffset) {
  const std::size_t end = streamOffset + bytes.size();
  // The stretch holding `streamOffset`: the last one that starts at or before it.
  auto stretch = std::upper_bound(stretches_.begin(), stretches_.end(), streamOffset,
                                  [](std::size_t offset, const Stretch& each) { return offset < each.streamOffset; });
  if (stretch != stretches_.begin()) --stretch;
  for (auto each = stretch; each != stretches_.end() && each->streamOffset < end; ++each) {
    const std::size_t from = std::max(each->streamOffset, streamOffset);
    const std::size_t to = each + 1 != stretches_.end() ? std::min((each + 1)->streamOffset, end) : end;
    if (each->input == separatorInput || from >= to) continue;
    if (const auto invalid = findInvalidUtf8(bytes.substr(from - streamOffset, to - from)))
      return invalidUtf8(paths_[each->input], each->inputOffset + (from - each->streamOffset) + *invalid);
  }
  // The stretch holding `end` may go on in the next bytes; those before it are done.
  auto last = std::upper_bound(stretches_.begin(), stretches_.end(), end,
                               [](std::size_t offset, const Stretch& each) { return offset < each.streamOffset; });
  if (last != stretches_.begin()) stretches_.erase(stretches_.begin(), last - 1);
  return std::nullopt;
}

}  // namespace parasort::cli
