#include "command_line.h"

#include "parasort/version.h"

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace parasort::cli {

CommandLine parseCommandLine(std::span<const char* const> arguments) {
  CommandLine result;
  FilterOptions& options = result.options;

  CLI::App app{"parasort", "parasort"};
  app.set_help_flag("-h,--help");
  app.set_version_flag("--version", "");
  bool ascending = false;
  bool descending = false;
  bool unique = false;
  auto* ascendingFlag = app.add_flag("-a,--ascending", ascending);
  auto* descendingFlag = app.add_flag("-d,--descending", descending);
  auto* uniqueFlag = app.add_flag("-u,--unique", unique);
  ascendingFlag->excludes(descendingFlag)->excludes(uniqueFlag);
  descendingFlag->excludes(uniqueFlag);
  std::string locale;
  std::string output;
  auto* localeOption = app.add_option("-l,--locale", locale);
  auto* outputOption = app.add_option("-o,--output", output);
  app.add_option("FILE", options.input);

  // CLI11 wants argc/argv with the program name first.
  std::vector<const char*> argv{"parasort"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::CallForHelp&) {
    result.action = CommandLine::Action::showHelp;
    return result;
  } catch (const CLI::CallForVersion&) {
    result.action = CommandLine::Action::showVersion;
    return result;
  } catch (const CLI::ExcludesError&) {
    result.action = CommandLine::Action::reportUsageError;
    result.usageError = "--ascending, --descending and --unique exclude one another";
    return result;
  } catch (const CLI::ArgumentMismatch& error) {
    // "--output: 1 required TEXT missing": an option without its value.
    const std::string message = error.what();
    result.action = CommandLine::Action::reportUsageError;
    result.usageError = "option '" + message.substr(0, message.find(':')) + "' needs a value";
    return result;
  } catch (const CLI::ExtrasError& error) {
    // "The following argument(s) was/were not expected: FIRST ...".
    const std::string message = error.what();
    const std::string extras = message.substr(message.find(": ") + 2);
    const std::string first = extras.substr(0, extras.find(' '));
    result.action = CommandLine::Action::reportUsageError;
    result.usageError = first.size() > 1 && first.front() == '-' ? "unrecognized option '" + first + "'"
                                                                  : "extra operand '" + first + "'";
    return result;
  } catch (const CLI::ParseError& error) {
    result.action = CommandLine::Action::reportUsageError;
    result.usageError = error.what();
    return result;
  }

  if (descending) options.order = ParagraphOrder::descending;
  if (unique) options.order = ParagraphOrder::unique;
  if (localeOption->count() > 0) options.locale = locale;
  if (outputOption->count() > 0) {
    if (output.empty()) {
      result.action = CommandLine::Action::reportUsageError;
      result.usageError = "--output: the file name is empty";
      return result;
    }
    options.output = output;
  }
  if (options.input.empty()) {
    result.action = CommandLine::Action::reportUsageError;
    result.usageError = "the input file name is empty";
  }
  return result;
}

std::string helpText() {
  return R"(Usage: parasort [--ascending | --descending | --unique] [--locale NAME] [-o OUTPUT] [FILE]
Sort the paragraphs (lines) of FILE, or of standard input when FILE is absent
or -, and write them to standard output.

Paragraphs are ordered by the locale's collation: case and width are ignored,
diacritics and punctuation count, and runs of digits compare by their numeric
value (item9 before item10). Equal paragraphs keep their input order. The
result uses the line ending the text uses first and ends with one exactly when
the text did. Input and output are UTF-8; a leading byte order mark is kept.

  -a, --ascending      sort in ascending order (the default)
  -d, --descending     sort in descending order
  -u, --unique         keep one of each run of equal paragraphs, ascending
  -l, --locale NAME    collate by locale NAME (sv_SE, de-DE, sv_SE.UTF-8);
                       by default LC_ALL, then LC_COLLATE, then LANG
  -o, --output OUTPUT  write to OUTPUT instead of standard output, replacing it
                       only once the result is complete (OUTPUT may be FILE)
  -h, --help           show this help and exit
      --version        show the version and exit

Exit status: 0 on success, 1 when a file cannot be read or written,
2 for invalid UTF-8 input or a usage error.
)";
}

std::string versionText() { return "parasort " PARASORT_VERSION "\n"; }

}  // namespace parasort::cli
