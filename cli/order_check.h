// --check on an input of any size: the input is taken a piece at a time,
// each piece checked on its own and against the last paragraph before it.
#pragma once

#include "input_files.h"
#include "input_pieces.h"

#include "parasort/engine/arrangement.h"

#include <cstddef>
#include <optional>
#include <string>
#include <variant>

namespace parasort::cli {

// The first paragraph that should not follow the one before it.
struct Disorder {
  std::size_t index;  // from 0
  std::string paragraph;
};

// The first paragraph of the text `source` hands out that is out of the
// order `order` (as firstDisorder() finds it in the text read whole), or
// nothing; or why the text could not be read. The text is read to its end
// in any case, so that trouble anywhere in it is told, as for a text read
// whole. A byte order mark at its start marks the text.
std::variant<std::optional<Disorder>, InputProblem> firstDisorderIn(PieceSource& source, ParagraphOrder order,
                                                                    const ParagraphCollator& collator,
                                                                    const ArrangeOptions& options);

}  // namespace parasort::cli
