#include "command_line.h"

#include "name_quoting.h"
#include "parasort/paragraph_operations.h"
#include "parasort/version.h"

#include <getopt.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parasort::cli {
namespace {

// getopt_long reports a long option by its short letter; for options without
// one, values from 256 on. Operations without a letter are numbered from
// operationOptionBase by their row in the table.
constexpr int versionOption = 256;
constexpr int operationOptionBase = 512;

int optionValueOf(const ParagraphOperation& operation) {
  if (operation.shortOption != 0) return operation.shortOption;
  return operationOptionBase + static_cast<int>(&operation - paragraphOperations.data());
}

// The options: one for each paragraph operation, then the others.
struct OptionTable {
  // The leading ':' makes a missing value come back as ':', apart from the
  // other errors.
  std::string shortOptions = ":";
  std::vector<option> longOptions;
};

OptionTable optionTable() {
  OptionTable table;
  for (const ParagraphOperation& operation : paragraphOperations) {
    if (operation.shortOption != 0) table.shortOptions += operation.shortOption;
    table.longOptions.push_back({operation.name, no_argument, nullptr, optionValueOf(operation)});
  }
  table.shortOptions += "l:o:h";
  table.longOptions.insert(table.longOptions.end(), {{"locale", required_argument, nullptr, 'l'},
                                                     {"output", required_argument, nullptr, 'o'},
                                                     {"help", no_argument, nullptr, 'h'},
                                                     {"version", no_argument, nullptr, versionOption},
                                                     {nullptr, 0, nullptr, 0}});
  return table;
}

const ParagraphOperation* operationOf(int option) {
  for (const ParagraphOperation& operation : paragraphOperations)
    if (optionValueOf(operation) == option) return &operation;
  return nullptr;
}

// "--ascending, --descending and --unique"
std::string operationOptions(std::string_view separator, std::string_view lastSeparator) {
  std::string list;
  for (std::size_t index = 0; index < paragraphOperations.size(); ++index) {
    if (index > 0) list += index + 1 == paragraphOperations.size() ? lastSeparator : separator;
    list += "--" + std::string(paragraphOperations[index].name);
  }
  return list;
}

std::string longNameOf(std::span<const option> longOptions, int value) {
  for (const option& candidate : longOptions)
    if (candidate.name != nullptr && candidate.val == value) return candidate.name;
  return {};
}

// The sentence getopt_long would have printed for the error it returned
// (`returned` and `optionValue` being its result and optopt), in glibc's
// words; `argument` is the argument it stopped at when that was a long option.
std::string getoptError(std::span<const option> longOptions, int returned, int optionValue,
                        std::string_view argument) {
  const bool longForm = argument.starts_with("--");
  if (returned == ':') {
    if (longForm) return "option " + quotedAlways("--" + longNameOf(longOptions, optionValue)) + " requires an argument";
    return "option requires an argument -- " + quotedAlways(std::string(1, static_cast<char>(optionValue)));
  }
  if (optionValue == 0) {
    // A long option that no name, or more than one, begins with.
    const std::string_view given = argument.substr(2, argument.find('=') - 2);
    std::string candidates;
    int count = 0;
    for (const option& candidate : longOptions) {
      if (candidate.name == nullptr || !std::string_view(candidate.name).starts_with(given)) continue;
      candidates.append(" ").append(quotedAlways(std::string("--").append(candidate.name)));
      ++count;
    }
    if (count > 1) return "option " + quotedAlways(argument) + " is ambiguous; possibilities:" + candidates;
    return "unrecognized option " + quotedAlways(argument);
  }
  // Short options never take a value they do not want: this was a long one.
  if (longForm && !longNameOf(longOptions, optionValue).empty())
    return "option " + quotedAlways("--" + longNameOf(longOptions, optionValue)) + " doesn't allow an argument";
  return "invalid option -- " + quotedAlways(std::string(1, static_cast<char>(optionValue)));
}

// getopt_long permutes the pointers (never the strings), so it gets a copy,
// behind the program's name and ended by a null pointer.
std::vector<char*> argumentVector(std::string& programName, std::span<const char* const> arguments) {
  std::vector<char*> argv{programName.data()};
  for (const char* argument : arguments) argv.push_back(const_cast<char*>(argument));
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

CommandLine parseCommandLine(std::span<const char* const> arguments) {
  CommandLine result;
  FilterOptions& options = result.options;
  const auto usageError = [&result](std::string message) {
    result.action = CommandLine::Action::reportUsageError;
    result.usageError = std::move(message);
    return result;
  };

  std::string programName = "parasort";
  std::vector<char*> argv = argumentVector(programName, arguments);
  const int argc = static_cast<int>(argv.size()) - 1;
  optind = 0;  // 0 rather than 1: glibc starts afresh, reading POSIXLY_CORRECT again
  opterr = 0;  // the messages are made here, as values

  const OptionTable table = optionTable();
  std::optional<ParagraphOrder> order;
  std::optional<CommandLine::Action> information;  // the first of --help and --version
  while (true) {
    const int option = getopt_long(argc, argv.data(), table.shortOptions.c_str(), table.longOptions.data(), nullptr);
    if (option == -1) break;
    if (const ParagraphOperation* operation = operationOf(option)) {
      if (order && *order != operation->order)
        return usageError(operationOptions(", ", " and ") + " exclude one another");
      order = operation->order;
      continue;
    }
    switch (option) {
      case 'l':
        options.locale = optarg;
        break;
      case 'o':
        if (options.output) return usageError("multiple output files specified");
        if (*optarg == '\0') return usageError("the output file name is empty");
        options.output = optarg;
        break;
      case 'h':
        if (!information) information = CommandLine::Action::showHelp;
        break;
      case versionOption:
        if (!information) information = CommandLine::Action::showVersion;
        break;
      default:
        return usageError(getoptError(table.longOptions, option, optopt, argv[optind - 1]));
    }
  }
  if (argc - optind > 1) return usageError("extra operand " + quotedAlways(argv[optind + 1]));
  if (argc - optind == 1) options.input = argv[optind];
  if (order) options.order = *order;
  if (information) result.action = *information;
  return result;
}

std::string helpText() {
  std::string operations;
  for (const ParagraphOperation& operation : paragraphOperations) {
    std::string line = operation.shortOption != 0 ? std::string("  -") + operation.shortOption + ", --" + operation.name
                                                  : std::string("      --") + operation.name;
    line.resize(23, ' ');
    operations += line + operation.optionHelp + "\n";
  }
  return "Usage: parasort [" + operationOptions(" | ", " | ") + "] [--locale NAME] [-o OUTPUT] [FILE]\n" +
         R"(Sort the paragraphs (lines) of FILE, or of standard input when FILE is absent
or -, and write them to standard output.

Paragraphs are ordered by the locale's collation: case and width are ignored,
diacritics and punctuation count, and runs of digits compare by their numeric
value (item9 before item10). Equal paragraphs keep their input order. The
result uses the line ending the text uses first and ends with one exactly when
the text did. Input and output are UTF-8; a leading byte order mark is kept.

)" + operations +
         R"(  -l, --locale NAME    collate by locale NAME (sv_SE, de-DE, sv_SE.UTF-8);
                       by default LC_ALL, then LC_COLLATE, then LANG
  -o, --output OUTPUT  write to OUTPUT instead of standard output, only once
                       the result is complete (OUTPUT may be FILE); OUTPUT
                       keeps its owner, mode, attributes and links: it is
                       replaced atomically when that keeps them all, else
                       written over in place (not atomic)
  -h, --help           show this help and exit
      --version        show the version and exit

Long options may be shortened to any unambiguous prefix (--desc).

Exit status: 0 on success; 1 when a file cannot be read or written, or
memory runs out (an output file then stays as it was); 2 for invalid UTF-8
input or a usage error.
)";
}

std::string versionText() { return "parasort " PARASORT_VERSION "\n"; }

}  // namespace parasort::cli
