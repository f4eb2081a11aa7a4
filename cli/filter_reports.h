// What the filter tells about its inputs and its collation, and the exit
// status that goes with it.
#pragma once

#include "command_line.h"
#include "input_files.h"

#include "parasort/engine/collation.h"

#include <iosfwd>

namespace parasort::cli {

// With --check, any trouble is told apart from a disorder (1): it is 2.
int troubleStatus(const FilterOptions& options, int status);

// Says what is wrong with an input ("parasort: ..."), and gives the status.
int reportProblem(const FilterOptions& options, const InputProblem& problem, std::ostream& diagnostics);

// The collator the options ask for, with a warning when its locale has no
// collation of its own.
ParagraphCollator collatorFor(const FilterOptions& options, std::ostream& diagnostics);

}  // namespace parasort::cli
