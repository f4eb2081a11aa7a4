// -m: inputs that are each in order already, merged a paragraph at a time.
#pragma once

#include "command_line.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace parasort::cli {

// Merges `inputs` as the options say and writes the result; the exit status.
int mergeInputs(const FilterOptions& options, const std::vector<std::string>& inputs, std::ostream& diagnostics);

}  // namespace parasort::cli
