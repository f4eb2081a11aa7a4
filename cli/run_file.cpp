#include "run_file.h"

#include "parasort/platform/unnamed_temporary_file.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <system_error>
#include <vector>

namespace parasort::cli {
namespace {

// Appends `number` as LEB128 to `bytes`, returns how many it took.
std::size_t encode(std::uint64_t number, std::array<char, 10>& bytes) {
  std::size_t count = 0;
  do {
    std::uint8_t byte = number & 0x7F;
    number >>= 7;
    if (number != 0) byte |= 0x80;
    bytes[count++] = static_cast<char>(byte);
  } while (number != 0);
  return count;
}

class RunReader final : public KeyedRecordSource {
 public:
  RunReader(int fileDescriptor, std::size_t bufferSize) : fileDescriptor_(fileDescriptor), buffer_(bufferSize) {}

  std::optional<KeyedRecord> next() override {
    std::size_t position = begin_;
    std::uint64_t keyLength = 0;
    std::uint64_t paragraphLength = 0;
    std::uint64_t start = 0;
    // Whole records are taken from the buffer; one cut off at its end is
    // moved to the front and the rest read in after it.
    while (!(number(position, keyLength) && skip(position, keyLength) && number(position, paragraphLength) &&
             skip(position, paragraphLength) && number(position, start))) {
      if (!refill()) return std::nullopt;
      position = begin_;
    }
    const char* base = buffer_.data() + begin_;
    std::size_t offset = 0;
    std::uint64_t ignored = 0;
    numberAt(base, offset, ignored);
    const std::string_view key(base + offset, keyLength);
    offset += keyLength;
    numberAt(base, offset, ignored);
    const std::string_view paragraph(base + offset, paragraphLength);
    begin_ = position;
    return KeyedRecord{.key = key, .paragraph = paragraph, .start = static_cast<std::size_t>(start)};
  }

 private:
  static void numberAt(const char* base, std::size_t& offset, std::uint64_t& number) {
    number = 0;
    for (int shift = 0;; shift += 7) {
      const auto byte = static_cast<std::uint8_t>(base[offset++]);
      number |= std::uint64_t{byte & 0x7Fu} << shift;
      if ((byte & 0x80) == 0) return;
    }
  }
  bool number(std::size_t& position, std::uint64_t& value) const {
    value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (position >= end_) return false;
      const auto byte = static_cast<std::uint8_t>(buffer_[position++]);
      value |= std::uint64_t{byte & 0x7Fu} << shift;
      if ((byte & 0x80) == 0) return true;
    }
    return true;
  }
  bool skip(std::size_t& position, std::uint64_t length) const {
    if (end_ - position < length) {
      wanted_ = position + length - begin_;
      return false;
    }
    position += length;
    return true;
  }
  // Keeps the unread tail, makes room for a record of wanted_ bytes, reads
  // on. False at the end of the file (a torn record there is the end too).
  bool refill() {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    if (wanted_ + 16 > buffer_.size()) buffer_.resize(wanted_ + 16 + buffer_.size() / 2);
    wanted_ = 0;
    if (atEnd_) return false;
    while (end_ < buffer_.size()) {
      const ssize_t count = ::pread(fileDescriptor_, buffer_.data() + end_, buffer_.size() - end_,
                                    static_cast<off_t>(fileOffset_));
      if (count < 0) {
        if (errno == EINTR) continue;
        throw std::system_error(errno, std::generic_category());
      }
      if (count == 0) {
        atEnd_ = true;
        break;
      }
      end_ += static_cast<std::size_t>(count);
      fileOffset_ += static_cast<std::size_t>(count);
    }
    return end_ > 0;
  }

  int fileDescriptor_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  mutable std::size_t wanted_ = 0;
  std::size_t fileOffset_ = 0;
  bool atEnd_ = false;
};

}  // namespace

std::variant<RunFile, IoError> RunFile::create(const std::string& directory) {
  files::FileDescriptor file(platform::createUnnamedTemporaryFile(directory));
  if (!file) return errorFor(directory, errno);
  return RunFile(std::move(file), directory);
}

RunFile::RunFile(files::FileDescriptor file, std::string directory)
    : file_(std::move(file)), directory_(std::move(directory)),
      writer_(std::make_unique<files::BufferedWriter>(file_.get())) {}

void RunFile::append(const KeyedRecord& record) {
  std::array<char, 10> number{};
  writer_->write({number.data(), encode(record.key.size(), number)});
  writer_->write(record.key);
  writer_->write({number.data(), encode(record.paragraph.size(), number)});
  writer_->write(record.paragraph);
  writer_->write({number.data(), encode(record.start, number)});
}

std::optional<IoError> RunFile::finish() {
  if (const int error = writer_->flush(); error != 0) return errorFor(directory_, error);
  return std::nullopt;
}

std::unique_ptr<KeyedRecordSource> RunFile::read(std::size_t bufferSize) const {
  return std::make_unique<RunReader>(file_.get(), bufferSize);
}

}  // namespace parasort::cli
