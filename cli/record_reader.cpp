#include "record_reader.h"

#include "record_text.h"
#include "utf8_validation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace parasort::cli {
namespace {

constexpr std::size_t readBlockSize = std::size_t{1} << 16;
constexpr std::string_view paragraphSeparator = "\xE2\x80\xA9";

}  // namespace

FileRecords::FileRecords(std::string path, RecordTerminators terminators)
    : path_(std::move(path)), terminators_(terminators) {
  if (path_ == "-") {
    descriptor_ = STDIN_FILENO;
    return;
  }
  file_ = files::FileDescriptor(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file_) {
    problem_ = InputProblem{errorFor(path_, errno).message};
    return;
  }
  struct stat status {};
  if (::fstat(file_.get(), &status) == 0 && S_ISDIR(status.st_mode)) {
    problem_ = InputProblem{errorFor(path_, EISDIR).message};
    return;
  }
  descriptor_ = file_.get();
}

bool FileRecords::fill() {
  if (atEnd_ || problem_) return false;
  // What is read already moves to the front, out of the way.
  if (position_ > 0) {
    buffer_.erase(0, position_);
    offset_ += position_;
    scanned_ -= position_;
    position_ = 0;
  }
  const std::size_t filled = buffer_.size();
  buffer_.resize(filled + readBlockSize);
  while (true) {
    const ssize_t count = ::read(descriptor_, buffer_.data() + filled, readBlockSize);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      problem_ = InputProblem{errorFor(path_, errno).message};
      buffer_.resize(filled);
      return false;
    }
    buffer_.resize(filled + static_cast<std::size_t>(count));
    if (count == 0) atEnd_ = true;
    return count > 0;
  }
}

std::optional<std::size_t> FileRecords::terminatorAt(std::size_t index) const {
  const char byte = buffer_[index];
  if (terminators_ == RecordTerminators::nul) return byte == '\0' ? 1 : 0;
  if (byte == '\n') return 1;
  if (byte == '\r') {
    if (index + 1 < buffer_.size()) return buffer_[index + 1] == '\n' ? 2 : 1;
    return atEnd_ ? std::optional<std::size_t>(1) : std::nullopt;
  }
  if (byte == paragraphSeparator[0]) {
    if (index + paragraphSeparator.size() <= buffer_.size())
      return std::string_view(buffer_).substr(index, paragraphSeparator.size()) == paragraphSeparator ? 3 : 0;
    return atEnd_ ? std::optional<std::size_t>(0) : std::nullopt;
  }
  return 0;
}

std::optional<std::string_view> FileRecords::next() {
  if (problem_ || descriptor_ < 0) return std::nullopt;
  if (!started_) {
    started_ = true;
    while (buffer_.size() < utf8ByteOrderMark.size() && fill()) {
    }
    if (std::string_view(buffer_).starts_with(utf8ByteOrderMark)) {
      hadByteOrderMark_ = true;
      position_ = scanned_ = utf8ByteOrderMark.size();
    }
  }
  while (true) {
    for (; scanned_ < buffer_.size(); ++scanned_) {
      const auto length = terminatorAt(scanned_);
      if (!length) break;  // more is needed to tell
      if (*length == 0) continue;
      const std::string_view record = std::string_view(buffer_).substr(position_, scanned_ - position_);
      if (firstTerminator_.empty()) firstTerminator_ = buffer_.substr(scanned_, *length);
      const std::size_t recordOffset = offset_ + position_;
      position_ = scanned_ = scanned_ + *length;
      if (const auto invalid = findInvalidUtf8(record)) {
        problem_ = invalidUtf8(path_, recordOffset + *invalid);
        return std::nullopt;
      }
      ++records_;
      endedWithTerminator_ = true;
      return record;
    }
    if (fill()) continue;
    if (problem_) return std::nullopt;
    if (!atEnd_) continue;
    if (scanned_ < buffer_.size()) continue;  // a CR or U+2029's start at the very end, now told
    if (position_ == buffer_.size()) return std::nullopt;
    // The last record, without a terminator.
    const std::string_view record = std::string_view(buffer_).substr(position_);
    const std::size_t recordOffset = offset_ + position_;
    position_ = scanned_ = buffer_.size();
    if (const auto invalid = findInvalidUtf8(record)) {
      problem_ = invalidUtf8(path_, recordOffset + *invalid);
      return std::nullopt;
    }
    ++records_;
    endedWithTerminator_ = false;
    return record;
  }
}

}  // namespace parasort::cli
