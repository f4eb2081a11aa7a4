// The filter's command line, parsed in one place into one decision.
#pragma once

#include "parasort/engine/arrangement.h"

#include <optional>
#include <span>
#include <string>

namespace parasort::cli {

struct FilterOptions {
  ParagraphOrder order = ParagraphOrder::ascending;
  std::optional<std::string> locale;  // absent: the environment's collation locale
  std::string input = "-";            // "-" is standard input
  std::optional<std::string> output;  // absent: standard output
};

struct CommandLine {
  enum class Action { run, showHelp, showVersion, reportUsageError };
  Action action = Action::run;
  FilterOptions options;
  std::string usageError;  // the one-line reason, for reportUsageError
};

// Never throws and never exits: every outcome is in the result.
CommandLine parseCommandLine(std::span<const char* const> arguments);

// The text that --help prints.
std::string helpText();

// The text that --version prints.
std::string versionText();

}  // namespace parasort::cli
