#include "output_file.h"

#include "name_quoting.h"
#include "parasort/files/buffered_writer.h"
#include "parasort/files/file_size_limit_as_error.h"

#include <unistd.h>

#include <cstring>

namespace parasort::cli {
std::optional<IoError> writeOutput(const std::optional<std::string>& path, const ResultPieces& pieces) {
  if (path) {
    const auto failure = files::writeFileSafely(*path, pieces);
    if (!failure) return std::nullopt;
    if (failure->temporaryDirectory)
      return IoError{displayName(*path) + ": cannot create a temporary file in " +
                     quotedAlways(*failure->temporaryDirectory) + ": " + std::strerror(failure->errorNumber)};
    return errorFor(*path, failure->errorNumber);
  }
  const files::FileSizeLimitAsError fileSizeLimitAsError;
  if (const int error = files::writeAll(STDOUT_FILENO, pieces); error != 0)
    return IoError{std::string("standard output: ") + std::strerror(error)};
  return std::nullopt;
}

}  // namespace parasort::cli
