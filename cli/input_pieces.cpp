#include "input_pieces.h"

#include "record_text.h"
#include "utf8_validation.h"

#include <utility>

namespace parasort::cli {
std::optional<InputProblem> OneInputPieces::next(std::string_view& piece, std::size_t& start) {
  if (const int error = chunks_.next(piece); error != 0) return InputProblem{errorFor(name_, error).message};
  start = chunks_.pieceOffset();
  if (const auto offset = findInvalidUtf8(piece)) return invalidUtf8(name_, start + *offset);
  return std::nullopt;
}

SeveralInputPieces::SeveralInputPieces(std::vector<std::string> paths, std::size_t capacity,
                                       RecordTerminators terminators, std::pmr::memory_resource& memory)
    : input_(std::move(paths), terminators),
      chunks_([this](char* into, std::size_t room) { return input_.read(into, room); }, capacity, terminators,
              memory) {}

std::optional<InputProblem> SeveralInputPieces::next(std::string_view& piece, std::size_t& start) {
  if (const int error = chunks_.next(piece); error != 0)
    return InputProblem{errorFor(input_.failedPath(), error).message};
  start = chunks_.pieceOffset();
  return input_.checkUtf8(piece, start);
}

}  // namespace parasort::cli
