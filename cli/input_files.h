// The filter's input files, read in order as one text.
#pragma once

#include "file_io.h"

#include "parasort/engine/arrangement.h"

#include <memory_resource>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace parasort::cli {

// Why the inputs could not be read: a file that could not be read, or one
// that is not UTF-8 (then `invalidInput`).
struct InputProblem {
  std::string message;
  bool invalidInput = false;
};

// Reads `paths` ("-" is standard input) one after another into `text`. A
// file that does not end with a terminator still ends its last paragraph:
// when more follows, a separator of the kind the text uses first (NUL for
// NUL-terminated records) is put after it. The first file's byte order mark
// is kept at the start; the others' are dropped. Each file is checked to
// be UTF-8 as it is read. Throws std::bad_alloc when memory runs out.
std::optional<InputProblem> readInputs(const std::vector<std::string>& paths, RecordTerminators terminators,
                                       std::pmr::string& text);

// The file names in the file `listPath` ("-": standard input), each ended
// by NUL (the last one may be unended), as --files0-from reads them.
// Refuses an empty name, a list with no name, and "-" in a list read from
// standard input.
std::variant<std::vector<std::string>, InputProblem> inputNamesFrom(const std::string& listPath);

}  // namespace parasort::cli
