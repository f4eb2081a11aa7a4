#include "command_line.h"

#include "buffer_size.h"
#include "name_quoting.h"
#include "parasort/platform/memory_facts.h"
#include "parasort/paragraph_operations.h"
#include "parasort/version.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <optional>
#include <variant>
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
constexpr int strengthOption = 257;
constexpr int noNumericOption = 258;
constexpr int randomSeedOption = 259;
constexpr int parallelOption = 260;
constexpr int printKeysOption = 261;
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
  table.shortOptions += "l:o:k:t:bcCzhS:T:";
  table.longOptions.insert(table.longOptions.end(), {{"locale", required_argument, nullptr, 'l'},
                                                     {"output", required_argument, nullptr, 'o'},
                                                     {"strength", required_argument, nullptr, strengthOption},
                                                     {"no-numeric", no_argument, nullptr, noNumericOption},
                                                     {"key", required_argument, nullptr, 'k'},
                                                     {"field-separator", required_argument, nullptr, 't'},
                                                     {"ignore-leading-blanks", no_argument, nullptr, 'b'},
                                                     {"random-seed", required_argument, nullptr, randomSeedOption},
                                                     {"check", optional_argument, nullptr, 'c'},
                                                     {"zero-terminated", no_argument, nullptr, 'z'},
                                                     {"buffer-size", required_argument, nullptr, 'S'},
                                                     {"temporary-directory", required_argument, nullptr, 'T'},
                                                     {"parallel", required_argument, nullptr, parallelOption},
                                                     {"print-keys", no_argument, nullptr, printKeysOption},
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

std::optional<std::uint64_t> seedOf(std::string_view text) {
  std::uint64_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return seed;
}

std::string keyErrorMessage(const KeyParseError& error) {
  return error.subject ? error.message + " " + quotedAlways(*error.subject) : error.message;
}

// getopt_long permutes the pointers (never the strings), so it gets a copy,
// behind the program's name and ended by a null pointer.
std::vector<char*> argumentVector(std::string& programName, std::span<const char* const> arguments) {
  std::vector<char*> argv{programName.data()};
  for (const char* argument : arguments) argv.push_back(const_cast<char*>(argument));
  argv.push_back(nullptr);
  return argv;
}


// What the options read so far leave to be settled once all are read.
struct Pending {
  const ParagraphOperation* operation = nullptr;
  std::optional<CommandLine::Action> information;  // the first of --help and --version
  std::optional<std::string> keyText;
  bool ignoreLeadingBlanks = false;
  // The first option given that orders by a key or a collation, by its long name.
  std::optional<std::string> keyingOption;
};

// Takes one option that getopt_long recognized (not an operation), with its
// argument `value`; the message of a usage error when it cannot.
std::optional<std::string> takeOption(int option, const char* value, FilterOptions& options, Pending& pending) {
  const auto keying = [&pending](const char* name) { pending.keyingOption = pending.keyingOption.value_or(name); };
  switch (option) {
    case 'l':
      options.locale = value;
      break;
    case 'o':
      if (options.output) return "multiple output files specified";
      if (*value == '\0') return "the output file name is empty";
      options.output = value;
      break;
    case strengthOption: {
      const auto strength = collationStrengthNamed(value);
      if (!strength)
        return "invalid argument " + quotedAlways(value) + " for '--strength' (primary, secondary or tertiary)";
      options.collation.strength = *strength;
      keying("--strength");
      break;
    }
    case noNumericOption:
      options.collation.numeric = false;
      keying("--no-numeric");
      break;
    case 'k':
      if (pending.keyText) return "only one key (--key) may be given";
      pending.keyText = value;
      keying("--key");
      break;
    case 't': {
      const auto separator = parseFieldSeparator(value);
      if (const auto* error = std::get_if<KeyParseError>(&separator)) return keyErrorMessage(*error);
      const char32_t character = std::get<char32_t>(separator);
      if (options.key.fieldSeparator && *options.key.fieldSeparator != character) return "incompatible tabs";
      options.key.fieldSeparator = character;
      keying("--field-separator");
      break;
    }
    case 'b':
      pending.ignoreLeadingBlanks = true;
      keying("--ignore-leading-blanks");
      break;
    case randomSeedOption: {
      const auto seed = seedOf(value);
      if (!seed) return "invalid random seed " + quotedAlways(value);
      options.randomSeed = *seed;
      break;
    }
    case 'c':
    case 'C': {
      CheckMode mode = option == 'C' ? CheckMode::quiet : CheckMode::diagnose;
      if (option == 'c' && value != nullptr) {
        const std::string_view given = value;
        if (given == "quiet" || given == "silent")
          mode = CheckMode::quiet;
        else if (given != "diagnose-first")
          return "invalid argument " + quotedAlways(given) + " for '--check' (diagnose-first, quiet or silent)";
      }
      if (options.check != CheckMode::none && options.check != mode)
        return "--check and --check=quiet exclude one another";
      options.check = mode;
      break;
    }
    case 'z':
      options.terminators = RecordTerminators::nul;
      break;
    case 'S': {
      const auto size = parseBufferSize(value, platform::currentMemoryFacts().physical);
      if (!size) return "invalid -S argument " + quotedAlways(value);
      options.bufferSize = *size;
      break;
    }
    case 'T':
      if (*value == '\0') return "the temporary directory name is empty";
      options.temporaryDirectories.emplace_back(value);
      break;
    case parallelOption: {
      const auto threads = seedOf(value);
      if (!threads || *threads == 0) return "invalid number after '--parallel': " + quotedAlways(value);
      options.threads = static_cast<unsigned>(std::min<std::uint64_t>(*threads, 256));
      break;
    }
    case printKeysOption:
      options.printKeys = true;
      break;
    case 'h':
      if (!pending.information) pending.information = CommandLine::Action::showHelp;
      break;
    case versionOption:
      if (!pending.information) pending.information = CommandLine::Action::showVersion;
      break;
    default:
      break;  // getopt_long returns no other value but '?' and ':', taken before
  }
  return std::nullopt;
}

// Once every option is read: the operation, options that make no sense
// together, and the key.
std::optional<std::string> settle(FilterOptions& options, const Pending& pending) {
  if (pending.operation) options.order = pending.operation->order;
  const bool sortsNothing = options.order == ParagraphOrder::reverse || options.order == ParagraphOrder::shuffle;
  const std::string operationName = pending.operation ? std::string("--") + pending.operation->name : std::string();
  if (options.randomSeed && options.order != ParagraphOrder::shuffle) return "--random-seed applies only to --shuffle";
  if (sortsNothing && pending.keyingOption) return *pending.keyingOption + " does not apply to " + operationName;
  if (options.check != CheckMode::none && options.output) return "--check and --output exclude one another";
  if (options.check != CheckMode::none && sortsNothing) return "--check does not apply to " + operationName;
  if (options.printKeys && sortsNothing) return "--print-keys does not apply to " + operationName;
  if (options.printKeys && options.check != CheckMode::none) return "--check and --print-keys exclude one another";
  if (pending.keyText) {
    auto parsed = parseKeyPositions(*pending.keyText, options.key, pending.ignoreLeadingBlanks);
    if (const auto* error = std::get_if<KeyParseError>(&parsed)) return keyErrorMessage(*error);
    options.key = std::get<ParagraphKey>(parsed);
  } else if (pending.ignoreLeadingBlanks) {
    options.key.skipStartBlanks = options.key.skipEndBlanks = true;
  }
  return std::nullopt;
}

}  // namespace

CommandLine parseCommandLine(std::span<const char* const> arguments) {
  CommandLine result;
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
  Pending pending;
  while (true) {
    const int option = getopt_long(argc, argv.data(), table.shortOptions.c_str(), table.longOptions.data(), nullptr);
    if (option == -1) break;
    if (option == '?' || option == ':')
      return usageError(getoptError(table.longOptions, option, optopt, argv[optind - 1]));
    if (const ParagraphOperation* given = operationOf(option)) {
      if (pending.operation && pending.operation->order != given->order)
        return usageError("--" + std::string(pending.operation->name) + " and --" + given->name +
                          " exclude one another");
      pending.operation = given;
    } else if (auto problem = takeOption(option, optarg, result.options, pending)) {
      return usageError(std::move(*problem));
    }
  }
  if (argc - optind > 1) return usageError("extra operand " + quotedAlways(argv[optind + 1]));
  if (argc - optind == 1) result.options.input = argv[optind];
  if (auto problem = settle(result.options, pending)) return usageError(std::move(*problem));
  if (pending.information) result.action = *pending.information;
  return result;
}

std::string helpText() {
  std::string operations;
  for (const ParagraphOperation& operation : paragraphOperations) {
    std::string line = operation.shortOption != 0 ? std::string("  -") + operation.shortOption + ", --" + operation.name
                                                  : std::string("      --") + operation.name;
    line.resize(29, ' ');
    operations += line + operation.optionHelp + "\n";
  }
  return std::string("Usage: parasort [OPERATION] [OPTION]... [FILE]\n") +
         R"(Sort the paragraphs (lines) of FILE, or of standard input when FILE is absent
or -, and write them to standard output.

Paragraphs are ordered by the locale's collation: case and width are ignored,
diacritics and punctuation count, and runs of digits compare by their numeric
value (item9 before item10). Equal paragraphs keep their input order. The
result uses the line ending the text uses first and ends with one exactly when
the text did. Input and output are UTF-8; a leading byte order mark is kept.

Operations (one at most; the default is --ascending):
)" + operations +
         R"(
Options:
  -l, --locale NAME          collate by locale NAME (sv_SE, de-DE, sv_SE.UTF-8);
                             by default LC_ALL, then LC_COLLATE, then LANG
      --strength LEVEL       which differences count: primary (base letters),
                             secondary (also accents; the default) or
                             tertiary (also case and width)
      --no-numeric           compare digits as characters, not by value
  -k, --key KEYDEF           order by a key: F1[.C1][b][,F2[.C2][b]], fields F
                             and characters C counted from 1 (as sort -k)
  -t, --field-separator SEP  fields are separated by the character SEP, not
                             by the empty string before a run of blanks
  -b, --ignore-leading-blanks
                             leading blanks of a key's fields do not count
      --random-seed N        shuffle the same way for the same N
  -c, --check                only check that the input is in order; report
                             the first paragraph out of order, exit 1
  -C, --check=quiet          the same without the report
  -z, --zero-terminated      records end in NUL, not in line endings
  -S, --buffer-size SIZE     sort in at most about SIZE of memory, larger texts
                             through sorted runs in temporary files: bytes
                             with a suffix b, K, M, G, T (1024s; no suffix: K)
                             or % of the physical memory; by default the
                             available memory, at most 3/8 of the physical
                             memory and half of ulimit -v
  -T, --temporary-directory DIR
                             put temporary files in DIR (repeatable: used in
                             turn); by default $TMPDIR, else /tmp
      --parallel N           use N threads to make keys and sort (default:
                             one per core)
      --print-keys           write each paragraph as its sort key in hex, a
                             space, its byte offset (16 hex digits), a tab
                             and the paragraph, one per line (NUL with -z):
                             sorted as plain bytes (LC_ALL=C sort), these
                             lines are in the operation's order
  -o, --output OUTPUT        write to OUTPUT instead of standard output, only
                             once the result is complete (OUTPUT may be FILE);
                             OUTPUT keeps its owner, mode, attributes and
                             links: it is replaced atomically when that keeps
                             them all, else written over in place (not atomic)
  -h, --help                 show this help and exit
      --version              show the version and exit

Long options may be shortened to any unambiguous prefix (--desc).

Exit status: 0 on success (with --check: the input is in order); 1 when a
file cannot be read or written, or memory runs out (an output file then stays
as it was), or with --check when the input is not in order; 2 for invalid
UTF-8 input or a usage error.
)";
}

std::string versionText() { return "parasort " PARASORT_VERSION "\n"; }

}  // namespace parasort::cli
