// Where the filter's result goes: standard output, or the file that -o names.
#pragma once

#include "file_io.h"

#include "parasort/files/safe_write.h"

#include <optional>
#include <string>

namespace parasort::cli {

// Takes the result's pieces one at a time.
using PieceSink = files::PieceSink;
// The complete result: hands its pieces to the sink in order, each time it
// is called (once to learn the size, once to write).
using ResultPieces = files::Pieces;

// Writes the result to standard output when `path` is absent, else to the
// file `path` as files::writeFileSafely() does: complete before the file is
// touched, its owner, mode, attributes and links kept. Meanwhile a file
// size limit (SIGXFSZ) is an error, not the end of the process. Throws
// std::bad_alloc, before anything is written, when memory runs out.
std::optional<IoError> writeOutput(const std::optional<std::string>& path, const ResultPieces& pieces);

}  // namespace parasort::cli
