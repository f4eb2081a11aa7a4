// The input taken a piece at a time: each piece whole records, checked to
// be UTF-8, with where it starts in the text that the inputs make when read
// as one (as readInputs() reads them).
#pragma once

#include "concatenated_input.h"
#include "input_chunks.h"
#include "input_files.h"

#include <cstddef>
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
  // Whether the input has been read to its end (the last piece may be the
  // one just handed out).
  virtual bool atEnd() const = 0;
};

// One input, read by `chunks` (not owned).
class OneInputPieces final : public PieceSource {
 public:
  OneInputPieces(InputChunks& chunks, std::string name) : chunks_(chunks), name_(std::move(name)) {}
  std::optional<InputProblem> next(std::string_view& piece, std::size_t& start) override;
  bool atEnd() const override { return chunks_.atEnd(); }

 private:
  InputChunks& chunks_;
  std::string name_;
};

// Several inputs one after another, as one text (see ConcatenatedInput):
// a piece may hold records of several inputs; the first input's byte order
// mark comes with the first piece.
class SeveralInputPieces final : public PieceSource {
 public:
  SeveralInputPieces(std::vector<std::string> paths, std::size_t capacity, RecordTerminators terminators,
                     std::pmr::memory_resource& memory);
  std::optional<InputProblem> next(std::string_view& piece, std::size_t& start) override;
  std::optional<std::string_view> separator() const override { return input_.firstSeparator(); }
  bool atEnd() const override { return chunks_.atEnd(); }

 private:
  ConcatenatedInput input_;
  InputChunks chunks_;
};

}  // namespace parasort::cli
