// The filter itself: read, check, arrange, write.
#pragma once

#include "command_line.h"

#include <iosfwd>

namespace parasort::cli {

// Exit statuses.
inline constexpr int exitSuccess = 0;
inline constexpr int exitIoError = 1;      // a file could not be read or written
inline constexpr int exitBadInput = 2;     // invalid UTF-8, or a usage error
inline constexpr int exitDisorder = 1;     // --check found the input out of order

// Runs the filter; messages ("parasort: ...") go to `diagnostics`. Nothing
// is written to the output unless the whole input was read and is valid.
int runFilter(const FilterOptions& options, std::ostream& diagnostics);

}  // namespace parasort::cli
