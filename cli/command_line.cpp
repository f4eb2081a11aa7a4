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
constexpr int sortOption = 260;
constexpr int filesFromOption = 261;
constexpr int unsupportedOption = 262;
constexpr int parallelOption = 263;
constexpr int printKeysOption = 264;
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

// GNU sort's options that change how it works, not what it gives, and that
// the filter has no use for yet: refused by name rather than ignored.
constexpr const char* unsupportedLongOptions[] = {"batch-size", "compress-program", "debug", "random-source"};
constexpr std::string_view unsupportedLetters = "";

OptionTable optionTable() {
  OptionTable table;
  for (const ParagraphOperation& operation : paragraphOperations) {
    if (operation.shortOption != 0) table.shortOptions += operation.shortOption;
    table.longOptions.push_back({operation.name, no_argument, nullptr, optionValueOf(operation)});
  }
  table.shortOptions += "l:o:k:t:bcCzdfghiMmnRrsVS:T:";
  table.longOptions.insert(table.longOptions.end(), {{"locale", required_argument, nullptr, 'l'},
                                                     {"output", required_argument, nullptr, 'o'},
                                                     {"strength", required_argument, nullptr, strengthOption},
                                                     {"no-numeric", no_argument, nullptr, noNumericOption},
                                                     {"key", required_argument, nullptr, 'k'},
                                                     {"field-separator", required_argument, nullptr, 't'},
                                                     {"ignore-leading-blanks", no_argument, nullptr, 'b'},
                                                     {"dictionary-order", no_argument, nullptr, 'd'},
                                                     {"ignore-case", no_argument, nullptr, 'f'},
                                                     {"general-numeric-sort", no_argument, nullptr, 'g'},
                                                     {"human-numeric-sort", no_argument, nullptr, 'h'},
                                                     {"ignore-nonprinting", no_argument, nullptr, 'i'},
                                                     {"month-sort", no_argument, nullptr, 'M'},
                                                     {"numeric-sort", no_argument, nullptr, 'n'},
                                                     {"random-sort", no_argument, nullptr, 'R'},
                                                     {"version-sort", no_argument, nullptr, 'V'},
                                                     {"sort", required_argument, nullptr, sortOption},
                                                     {"reverse", no_argument, nullptr, 'r'},
                                                     {"stable", no_argument, nullptr, 's'},
                                                     {"merge", no_argument, nullptr, 'm'},
                                                     {"files0-from", required_argument, nullptr, filesFromOption},
                                                     {"random-seed", required_argument, nullptr, randomSeedOption},
                                                     {"check", optional_argument, nullptr, 'c'},
                                                     {"zero-terminated", no_argument, nullptr, 'z'},
                                                     {"buffer-size", required_argument, nullptr, 'S'},
                                                     {"temporary-directory", required_argument, nullptr, 'T'},
                                                     {"parallel", required_argument, nullptr, parallelOption},
                                                     {"print-keys", no_argument, nullptr, printKeysOption},
                                                     {"help", no_argument, nullptr, 'H'},
                                                     {"version", no_argument, nullptr, versionOption}});
  for (const char* name : unsupportedLongOptions)
    table.longOptions.push_back({name, optional_argument, nullptr, unsupportedOption});
  table.longOptions.push_back({nullptr, 0, nullptr, 0});
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

// An option's value that is none of those it takes, said as GNU says it.
std::string invalidArgument(std::string_view value, std::string_view option, std::string_view choices) {
  return "invalid argument " + quotedAlways(value) + " for '" + std::string(option) + "' (" +
         std::string(choices) + ")";
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
  std::vector<std::string> keyTexts;
  // The global letters (-b, -n, -r...), which keys without letters of their own take.
  OrderingKey global;
  bool stable = false;
  // The first option given that orders by a key or a collation, by its long name.
  std::optional<std::string> keyingOption;
  // The first unsupported option, as it was written.
  std::optional<std::string> unsupported;
};

// The kinds --sort=WORD names.
std::optional<KeyKind> kindNamed(std::string_view word) {
  if (word == "general-numeric") return KeyKind::generalNumeric;
  if (word == "human-numeric") return KeyKind::humanNumeric;
  if (word == "month") return KeyKind::month;
  if (word == "numeric") return KeyKind::numeric;
  if (word == "random") return KeyKind::random;
  if (word == "version") return KeyKind::version;
  return std::nullopt;
}

// The long name of a global modifier letter, for messages.
const char* longNameOfLetter(char letter) {
  switch (letter) {
    case 'd': return "--dictionary-order";
    case 'f': return "--ignore-case";
    case 'g': return "--general-numeric-sort";
    case 'h': return "--human-numeric-sort";
    case 'i': return "--ignore-nonprinting";
    case 'M': return "--month-sort";
    case 'n': return "--numeric-sort";
    case 'R': return "--random-sort";
    case 'r': return "--reverse";
    case 'V': return "--version-sort";
    default: return "";
  }
}

// The letter of a kind, for the message on two kinds at once.
char letterOf(KeyKind kind) {
  switch (kind) {
    case KeyKind::generalNumeric: return 'g';
    case KeyKind::humanNumeric: return 'h';
    case KeyKind::month: return 'M';
    case KeyKind::numeric: return 'n';
    case KeyKind::random: return 'R';
    case KeyKind::version: return 'V';
    case KeyKind::text: break;
  }
  return 0;
}

// Takes a global modifier letter; the message when it asks for a second kind.
std::optional<std::string> takeGlobalLetter(char letter, Pending& pending) {
  const KeyKind before = pending.global.modifiers.kind;
  applyModifierLetter(letter, pending.global.modifiers);
  const KeyKind after = pending.global.modifiers.kind;
  if (kindsConflict(before, after))
    return std::string("options '-") + letterOf(before) + letterOf(after) + "' are incompatible";
  return std::nullopt;
}

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
        return invalidArgument(value, "--strength", "primary, secondary, tertiary or identical");
      options.collation.strength = *strength;
      keying("--strength");
      break;
    }
    case noNumericOption:
      options.collation.numeric = false;
      keying("--no-numeric");
      break;
    case 'k':
      pending.keyTexts.emplace_back(value);
      keying("--key");
      break;
    case 't': {
      const auto separator = parseFieldSeparator(value);
      if (const auto* error = std::get_if<KeyParseError>(&separator)) return keyErrorMessage(*error);
      const char32_t character = std::get<char32_t>(separator);
      auto& current = pending.global.positions.fieldSeparator;
      if (current && *current != character) return "incompatible tabs";
      current = character;
      keying("--field-separator");
      break;
    }
    case 'b':
      pending.global.positions.skipStartBlanks = pending.global.positions.skipEndBlanks = true;
      keying("--ignore-leading-blanks");
      break;
    case 'd': case 'f': case 'g': case 'h': case 'i': case 'M': case 'n': case 'R': case 'r': case 'V': {
      const char letter = static_cast<char>(option);
      if (auto problem = takeGlobalLetter(letter, pending)) return problem;
      keying(longNameOfLetter(letter));
      break;
    }
    case sortOption: {
      const auto kind = kindNamed(value);
      if (!kind)
        return invalidArgument(value, "--sort", "general-numeric, human-numeric, month, numeric, random or version");
      if (auto problem = takeGlobalLetter(letterOf(*kind), pending)) return problem;
      keying("--sort");
      break;
    }
    case 's':
      pending.stable = true;
      break;
    case 'm':
      options.merge = true;
      break;
    case filesFromOption:
      if (options.inputsFrom && *options.inputsFrom != value) return "multiple --files0-from options specified";
      options.inputsFrom = value;
      break;
    case randomSeedOption: {
      const auto seed = seedOf(value);
      if (!seed) return "invalid random seed " + quotedAlways(value);
      options.arrange.randomSeed = *seed;
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
          return invalidArgument(given, "--check", "diagnose-first, quiet or silent");
      }
      if (options.check != CheckMode::none && options.check != mode)
        return "--check and --check=quiet exclude one another";
      options.check = mode;
      break;
    }
    case 'z':
      options.arrange.terminators = RecordTerminators::nul;
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
    case 'H':
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

// Whether folding case changes anything: only where case counts.
bool caseCounts(const CollationOptions& collation) {
  return collation.strength == CollationStrength::tertiary || collation.strength == CollationStrength::identical;
}

// The keys as the engine takes them: each key's own reverse turned once
// more when the whole order is descending (which turns everything), and
// case folding dropped where case does not count anyway.
void settleKeys(FilterOptions& options, std::vector<OrderingKey> keys, bool descending) {
  for (OrderingKey& key : keys) {
    if (descending) key.modifiers.reverse = !key.modifiers.reverse;
    if (!caseCounts(options.collation)) key.modifiers.foldCase = false;
  }
  options.arrange.keys = std::move(keys);
}

// Once every option is read: the operation, options that make no sense
// together, and the keys.
std::optional<std::string> settle(FilterOptions& options, const Pending& pending) {
  if (pending.operation) options.order = pending.operation->order;
  const bool reverse = pending.global.modifiers.reverse;
  const bool sortsNothing = options.order == ParagraphOrder::reverse || options.order == ParagraphOrder::shuffle;
  const std::string operationName = pending.operation ? std::string("--") + pending.operation->name : std::string();
  const bool randomKeys = pending.global.modifiers.kind == KeyKind::random ||
                          std::ranges::any_of(pending.keyTexts, [](const std::string& text) {
                            return text.find('R') != std::string::npos;
                          });
  if (options.arrange.randomSeed && options.order != ParagraphOrder::shuffle && !randomKeys)
    return "--random-seed applies only to --shuffle and --random-sort";
  if (sortsNothing && pending.keyingOption) return *pending.keyingOption + " does not apply to " + operationName;
  if (reverse && (options.order == ParagraphOrder::byLength || options.order == ParagraphOrder::adjacentUnique))
    return "--reverse does not apply to " + operationName;
  if (options.check != CheckMode::none && options.output) return "--check and --output exclude one another";
  if (options.check != CheckMode::none && sortsNothing) return "--check does not apply to " + operationName;
  if (options.check != CheckMode::none && options.merge) return "--check and --merge exclude one another";
  // Keys are printed for the orders that sort by them.
  if (options.printKeys && (sortsNothing || options.order == ParagraphOrder::adjacentUnique))
    return "--print-keys does not apply to " + operationName;
  if (options.printKeys && options.check != CheckMode::none) return "--check and --print-keys exclude one another";
  if (options.printKeys && options.merge) return "--merge and --print-keys exclude one another";
  const bool sorts = options.order == ParagraphOrder::ascending || options.order == ParagraphOrder::descending ||
                     options.order == ParagraphOrder::unique;
  if (options.merge && !sorts) return "--merge does not apply to " + operationName;

  std::vector<OrderingKey> keys;
  for (const std::string& text : pending.keyTexts) {
    auto parsed = parseOrderingKey(text, pending.global);
    if (const auto* error = std::get_if<KeyParseError>(&parsed)) return keyErrorMessage(*error);
    keys.push_back(std::get<OrderingKey>(parsed));
  }
  // Without a key, the global letters make one of the whole paragraph.
  if (keys.empty()) {
    OrderingKey whole;
    whole.positions.skipStartBlanks = whole.positions.skipEndBlanks = pending.global.positions.skipStartBlanks;
    whole.modifiers = pending.global.modifiers;
    whole.modifiers.reverse = false;
    if (!caseCounts(options.collation)) whole.modifiers.foldCase = false;
    if (!whole.positions.isWholeParagraph() || whole.modifiers != KeyModifiers{}) {
      whole.modifiers.reverse = reverse;
      keys.push_back(whole);
    }
  }
  // A descending order (--reverse or --descending) turns the whole order
  // around; de-duplication has no direction, so its keys carry it.
  bool descending = options.order == ParagraphOrder::descending || (reverse && sorts);
  if (options.order == ParagraphOrder::unique) {
    if (keys.empty() && reverse) keys.push_back(OrderingKey{.modifiers = {.reverse = true}});
    descending = false;
  } else if (descending) {
    options.order = ParagraphOrder::descending;
  }
  settleKeys(options, std::move(keys), descending);
  options.arrange.lastResort = !pending.stable;
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
    if (option == unsupportedOption || unsupportedLetters.find(static_cast<char>(option)) != std::string_view::npos) {
      const std::string given = argv[optind - 1];
      const std::string name = option == unsupportedOption ? given.substr(0, given.find('='))
                                                           : std::string("-") + static_cast<char>(option);
      return usageError("option " + quotedAlways(name) + " is not supported");
    }
    if (const ParagraphOperation* given = operationOf(option)) {
      if (pending.operation && pending.operation->order != given->order)
        return usageError("--" + std::string(pending.operation->name) + " and --" + given->name +
                          " exclude one another");
      pending.operation = given;
    } else if (auto problem = takeOption(option, optarg, result.options, pending)) {
      return usageError(std::move(*problem));
    }
  }
  if (argc > optind) {
    if (result.options.inputsFrom)
      return usageError("extra operand " + quotedAlways(argv[optind]) +
                        "\nfile operands cannot be combined with --files0-from");
    result.options.inputs.assign(argv.begin() + optind, argv.begin() + argc);
  }
  if (result.options.check != CheckMode::none && result.options.inputs.size() > 1)
    return usageError("extra operand " + quotedAlways(result.options.inputs[1]) + " not allowed with -c");
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
  return std::string("Usage: parasort [OPERATION] [OPTION]... [FILE]...\n") +
         R"(  or:  parasort [OPERATION] [OPTION]... --files0-from=F
Sort the paragraphs (lines) of the FILEs, read one after another as one text,
or of standard input when there is no FILE or FILE is -, and write them to
standard output.

Paragraphs are ordered by the locale's collation: case and width are ignored,
diacritics and punctuation count, and runs of digits compare by their numeric
value (item9 before item10). With keys, paragraphs are ordered by the first
key, ties by the next, then by the whole paragraph's collation (unless -s),
then by input order. The result uses the line ending the text uses first and
ends with one exactly when the text did. Input and output are UTF-8; a
leading byte order mark is kept.

Operations (one at most; the default is --ascending):
)" + operations +
         R"(
Ordering options (as in GNU sort; alone they apply to the whole paragraph,
with -k to every key that has no letters of its own):
  -b, --ignore-leading-blanks  leading blanks of a key's fields do not count
  -d, --dictionary-order     only letters, digits and blanks count
  -f, --ignore-case          fold case (the default strengths ignore it anyway)
  -g, --general-numeric-sort by floating-point value (1e3, -inf, nan)
  -h, --human-numeric-sort   by value with SI suffixes (2K, 1G)
  -i, --ignore-nonprinting   only printable characters count
  -M, --month-sort           by the locale's month names (unknown < January)
  -n, --numeric-sort         by numeric value, with the locale's decimal point
                             and grouping separator
  -R, --random-sort          in a random order that keeps equal keys together
  -r, --reverse              in descending order
  -V, --version-sort         by version (1.9 < 1.10, ~ before the end)
      --sort WORD            general-numeric -g, human-numeric -h, month -M,
                             numeric -n, random -R, version -V
  -k, --key KEYDEF           order by a key: F1[.C1][OPTS][,F2[.C2][OPTS]],
                             fields F and characters C counted from 1, OPTS
                             letters of b d f g h i M n R r V; may be repeated
  -t, --field-separator SEP  fields are separated by the character SEP ('\0':
                             NUL), not by the empty string before blanks
  -s, --stable               no last resort: keys that tie keep input order

Other options:
  -l, --locale NAME          collate by locale NAME (sv_SE, de-DE, sv_SE.UTF-8);
                             by default LC_ALL, then LC_COLLATE, then LANG
      --strength LEVEL       which differences count: primary (base letters),
                             secondary (also accents; the default), tertiary
                             (also case and width) or identical (all)
      --no-numeric           compare digits as characters, not by value
      --random-seed N        shuffle (or -R) the same way for the same N
  -c, --check                only check that the input is in order; report
                             the first paragraph out of order, exit 1
  -C, --check=quiet          the same without the report
  -m, --merge                merge FILEs that are each in order already,
                             reading them a paragraph at a time
      --files0-from=F        read the FILEs from the NUL-separated names in
                             F (- for standard input)
  -z, --zero-terminated      records end in NUL, not in line endings; a line
                             feed inside a record is a blank
  -S, --buffer-size=SIZE     sort in about SIZE of memory; a larger text goes
                             through sorted runs in temporary files. SIZE:
                             bytes with a suffix b, K, M, G, T (powers of
                             1024; none: K) or % of the physical memory; by
                             default the available memory, at most 3/8 of
                             the physical memory and half of ulimit -v
  -T, --temporary-directory=DIR
                             put temporary files in DIR (repeatable: used in
                             turn); by default $TMPDIR, else /tmp
      --parallel=N           make keys and sort with N threads (default: one
                             per core)
      --print-keys           write each paragraph as its sort key in hex, a
                             space, its byte offset (16 hex digits), a tab
                             and the paragraph, each on a line (NUL with -z);
                             these lines sorted as bytes (LC_ALL=C sort) are
                             in the operation's order
  -o, --output OUTPUT        write to OUTPUT instead of standard output, only
                             once the result is complete (OUTPUT may be FILE);
                             OUTPUT keeps its owner, mode, attributes and
                             links: it is replaced atomically when that keeps
                             them all, else written over in place (not atomic)
      --help                 show this help and exit
      --version              show the version and exit

Not supported: --batch-size, --compress-program, --debug, --random-source.
Changed since 0.1.0: -d is --dictionary-order (descending is -r or
--descending), -h is --human-numeric-sort (help is --help only), and
--reverse is -r, no longer short for --reverse-lines.

Long options may be shortened to any unambiguous prefix (--desc).

Exit status: 0 on success (with --check: the input is in order); 1 when a
file cannot be read or written, or memory runs out (an output file then stays
as it was), or with --check when the input is not in order; 2 for invalid
UTF-8 input or a usage error, and with --check for any trouble.
)";
}

std::string versionText() { return "parasort " PARASORT_VERSION "\n"; }

}  // namespace parasort::cli
