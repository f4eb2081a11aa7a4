#include "filter.h"

#include "file_io.h"
#include "name_quoting.h"
#include "output_file.h"
#include "parasort/platform/large_block_memory.h"
#include "utf8_validation.h"

#include "parasort/engine/collation_locale.h"

#include <new>
#include <ostream>
#include <stdexcept>

namespace parasort::cli {
namespace {

// The filter's work; throws std::bad_alloc (or std::length_error) when
// memory runs out, and then has written nothing.
// -c and -C: whether `text` is already in the order asked for; the first
// paragraph out of it is reported as the GNU tools report it.
int checkOrder(std::string_view text, const FilterOptions& options, const ParagraphCollator& collator,
               const ArrangeOptions& arrangeOptions, std::ostream& diagnostics) {
  const auto disorder = firstDisorder(text, options.order, collator, arrangeOptions);
  if (!disorder) return exitSuccess;
  if (options.check == CheckMode::diagnose) {
    const std::string_view paragraph = paragraphsOf(text, options.terminators)[*disorder];
    // Standard input is "-" here, as in the GNU tools' disorder reports.
    const std::string file = options.input == "-" ? std::string("-") : displayName(options.input);
    diagnostics << "parasort: " << file << ':' << *disorder + 1 << ": disorder: " << paragraph << '\n';
  }
  return exitDisorder;
}

int sortInput(const FilterOptions& options, std::ostream& diagnostics) {
  platform::LargeBlockMemory memory;
  std::pmr::string input(&memory);
  if (const auto error = readWholeInput(options.input, input)) {
    diagnostics << "parasort: " << error->message << '\n';
    return exitIoError;
  }
  if (const auto offset = findInvalidUtf8(input)) {
    diagnostics << "parasort: " << displayName(options.input) << ": invalid UTF-8 at byte " << *offset
                << '\n';
    return exitBadInput;
  }

  const ParagraphCollator collator(options.locale.value_or(userCollationLocaleName()), options.collation);
  if (options.locale && !collator.knowsRequestedLocale()) {
    diagnostics << "parasort: warning: no collation is known for locale " << quotedAlways(*options.locale)
                << "; using the root collation\n";
  }

  // A byte order mark marks the text, it is not part of its first line.
  std::string_view text = input;
  const bool hasByteOrderMark = text.starts_with(utf8ByteOrderMark);
  if (hasByteOrderMark) text.remove_prefix(utf8ByteOrderMark.size());

  const ArrangeOptions arrangeOptions{.memory = &memory,
                                      .key = options.key,
                                      .randomSeed = options.randomSeed,
                                      .terminators = options.terminators};
  if (options.check != CheckMode::none) return checkOrder(text, options, collator, arrangeOptions, diagnostics);

  const auto arranged = arrangeParagraphs(text, options.order, collator, arrangeOptions);
  const auto error = writeOutput(options.output, [&](const PieceSink& sink) {
    if (hasByteOrderMark) sink(utf8ByteOrderMark);
    arranged.forEachPiece(sink);
  });
  if (error) {
    diagnostics << "parasort: " << error->message << '\n';
    return exitIoError;
  }
  return exitSuccess;
}

}  // namespace

int runFilter(const FilterOptions& options, std::ostream& diagnostics) {
  // Caught out here, where the input, the keys and the result are released.
  try {
    return sortInput(options, diagnostics);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {  // more than a string or the sort keys can hold
  }
  diagnostics << "parasort: " << displayName(options.input) << ": not enough memory\n";
  return exitIoError;
}

}  // namespace parasort::cli
