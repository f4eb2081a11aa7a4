#include "input_pieces.h"

#include "record_text.h"
#include "utf8_validation.h"

#include "parasort/engine/paragraph.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace parasort::cli {
namespace {

bool holdsTerminator(std::string_view text, RecordTerminators terminators) {
  if (terminators == RecordTerminators::nul) return text.find('\0') != std::string_view::npos;
  return text.find_first_of("\r\n") != std::string_view::npos || text.find("\xE2\x80\xA9") != std::string_view::npos;
}

}  // namespace

std::optional<InputProblem> OneInputPieces::next(std::string_view& piece, std::size_t& start) {
  if (const int error = chunks_.next(piece); error != 0) return InputProblem{errorFor(name_, error).message};
  start = chunks_.pieceOffset();
  if (const auto offset = findInvalidUtf8(piece)) return invalidUtf8(name_, start + *offset);
  return std::nullopt;
}

SeveralInputPieces::SeveralInputPieces(std::vector<std::string> paths, std::size_t capacity,
                                       RecordTerminators terminators, std::pmr::memory_resource& memory)
    : paths_(std::move(paths)), capacity_(capacity), terminators_(terminators), memory_(memory) {}

std::optional<std::string_view> SeveralInputPieces::separator() const {
  if (firstSeparator_.empty()) return std::nullopt;
  return firstSeparator_;
}

std::optional<InputProblem> SeveralInputPieces::open() {
  const std::string& path = paths_[index_];
  int descriptor = STDIN_FILENO;
  file_ = files::FileDescriptor();
  if (path != "-") {
    file_ = files::FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file_) return InputProblem{errorFor(path, errno).message};
    descriptor = file_.get();
  }
  chunks_ = std::make_unique<InputChunks>(descriptor, capacity_, terminators_, memory_);
  atStartOfInput_ = true;
  byteOrderMarkPossible_ = true;
  return std::nullopt;
}

std::optional<InputProblem> SeveralInputPieces::next(std::string_view& piece, std::size_t& start) {
  while (index_ < paths_.size()) {
    if (!chunks_)
      if (auto problem = open()) return problem;
    const std::string& name = paths_[index_];
    if (const int error = chunks_->next(piece); error != 0) return InputProblem{errorFor(name, error).message};
    if (piece.empty()) {  // this input is done
      chunks_.reset();
      file_ = files::FileDescriptor();
      ++index_;
      continue;
    }
    if (const auto offset = findInvalidUtf8(piece)) return invalidUtf8(name, chunks_->pieceOffset() + *offset);
    if (atStartOfInput_) {
      // The first piece holds the byte order mark whole: pieces end after
      // a terminator or at the end.
      if (std::exchange(byteOrderMarkPossible_, false) && index_ > 0 && piece.starts_with(utf8ByteOrderMark))
        piece.remove_prefix(utf8ByteOrderMark.size());
      // Read as one text, a CR that ends one input and an LF that starts the
      // next are one CR LF: the LF ends no paragraph of its own.
      if (!piece.empty() && std::exchange(endsWithLoneCarriageReturn_, false)) {
        if (terminators_ == RecordTerminators::paragraph && piece.starts_with('\n')) {
          piece.remove_prefix(1);
          ++textLength_;
          if (firstSeparatorMayGrow_) firstSeparator_ = "\r\n";
        }
        firstSeparatorMayGrow_ = false;
      }
      if (piece.empty()) continue;  // nothing but a byte order mark (or that LF)
      atStartOfInput_ = false;
      // The separator that ends the last paragraph of an input that had none.
      if (textLength_ > 0 && !endsWithTerminator_) {
        const std::string_view separator = separatorOf(firstSeparator_, terminators_);
        textLength_ += separator.size();
        if (firstSeparator_.empty()) firstSeparator_ = separator;
      }
    }
    start = textLength_;
    textLength_ += piece.size();
    if (firstSeparator_.empty() && holdsTerminator(piece, terminators_)) {
      firstSeparator_ = separatorOf(piece, terminators_);
      // A CR at the very end may be the first half of a CR LF across inputs.
      firstSeparatorMayGrow_ = firstSeparator_ == "\r" && piece.find_first_of("\r\n") == piece.size() - 1;
    }
    endsWithTerminator_ = endsWithTerminator(piece, terminators_);
    endsWithLoneCarriageReturn_ = piece.ends_with('\r');
    return std::nullopt;
  }
  piece = {};
  return std::nullopt;
}

}  // namespace parasort::cli
