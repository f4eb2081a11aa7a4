// The filter's command line, parsed in one place into one decision.
#pragma once

#include "parasort/engine/arrangement.h"
#include "parasort/engine/collation.h"
#include "parasort/engine/ordering_key.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace parasort::cli {

// Whether the input is only checked to be in order, and how a disorder is told.
enum class CheckMode { none, diagnose, quiet };

struct FilterOptions {
  ParagraphOrder order = ParagraphOrder::ascending;
  std::optional<std::string> locale;  // absent: the environment's collation locale
  CollationOptions collation{};
  // The keys, the last resort, the random seed and the record terminators,
  // as the engine takes them (its memory is the filter's to give).
  ArrangeOptions arrange{};
  CheckMode check = CheckMode::none;
  bool merge = false;                        // the inputs are sorted already
  std::vector<std::string> inputs{"-"};      // "-" is standard input
  std::optional<std::string> inputsFrom;     // --files0-from: the inputs' names are in this file
  std::optional<std::string> output;         // absent: standard output
  std::optional<std::uint64_t> bufferSize;       // -S, in bytes; absent: the default budget
  std::vector<std::string> temporaryDirectories;  // -T; empty: $TMPDIR, else /tmp
  unsigned threads = 0;                           // --parallel; 0: one per core
  bool printKeys = false;                         // --print-keys
};

struct CommandLine {
  enum class Action { run, showHelp, showVersion, reportUsageError };
  Action action = Action::run;
  FilterOptions options;
  std::string usageError;  // the one-line reason, for reportUsageError
};

// Reads `arguments` (without the program name) as glibc's getopt_long reads
// them, which is what users of the GNU tools expect: options and operands
// in any order (unless POSIXLY_CORRECT is set), "--" ending the options,
// long options by any unambiguous prefix, "--name=VALUE" or "--name VALUE",
// short options bundled ("-rnlsv_SE"). The letters and long names of GNU
// sort mean what they mean there, or are refused as not supported. A usage
// error anywhere wins over --help and --version.
//
// Never throws and never exits: every outcome is in the result. It uses
// getopt's process-wide state, so it must not run in two threads at once.
CommandLine parseCommandLine(std::span<const char* const> arguments);

// The text that --help prints.
std::string helpText();

// The text that --version prints.
std::string versionText();

}  // namespace parasort::cli
