// The input handed to the runs a piece at a time: each piece whole records
// of one input, checked to be UTF-8, with where it starts in the text that
// the inputs make when read as one (as readInputs() reads them).
#pragma once

#include "input_chunks.h"
#include "input_files.h"

#include "parasort/files/file_descriptor.h"

#include <cstddef>
#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parasort::cli {

class PieceSource {
 public:
  virtual ~PieceSource() = default;
  // The next piece (empty at the end) and where it starts; or why there is
  // none.
  virtual std::optional<InputProblem> next(std::string_view& piece, std::size_t& start) = 0;
  // The separator kind the text uses first, once every piece is handed out;
  // nothing when the first piece alone tells it.
  virtual std::optional<std::string_view> separator() const { return std::nullopt; }
};

// One input, read by `chunks` (not owned).
class OneInputPieces final : public PieceSource {
 public:
  OneInputPieces(InputChunks& chunks, std::string name) : chunks_(chunks), name_(std::move(name)) {}
  std::optional<InputProblem> next(std::string_view& piece, std::size_t& start) override;

 private:
  InputChunks& chunks_;
  std::string name_;
};

// Several inputs one after another. As when they are read whole, a
// separator of the text's first kind goes (in the positions) after an input
// that does not end with a terminator when more follows, and the byte order
// marks of all but the first input are left out; the first input's comes
// with its first piece.
class SeveralInputPieces final : public PieceSource {
 public:
  SeveralInputPieces(std::vector<std::string> paths, std::size_t capacity, RecordTerminators terminators,
                     std::pmr::memory_resource& memory);
  std::optional<InputProblem> next(std::string_view& piece, std::size_t& start) override;
  std::optional<std::string_view> separator() const override;

 private:
  std::optional<InputProblem> open();

  std::vector<std::string> paths_;
  std::size_t capacity_;
  RecordTerminators terminators_;
  std::pmr::memory_resource& memory_;
  std::size_t index_ = 0;  // the input being read
  files::FileDescriptor file_;
  std::unique_ptr<InputChunks> chunks_;
  bool atStartOfInput_ = true;
  bool byteOrderMarkPossible_ = true;
  // The text read as one so far: its length, its first terminator and
  // whether it ends with one.
  std::size_t textLength_ = 0;
  std::string_view firstSeparator_;
  bool endsWithTerminator_ = true;
  bool endsWithLoneCarriageReturn_ = false;
  bool firstSeparatorMayGrow_ = false;
};

}  // namespace parasort::cli
