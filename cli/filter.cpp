#include "filter.h"

#include "file_io.h"
#include "input_chunks.h"
#include "name_quoting.h"
#include "output_file.h"
#include "run_sort.h"
#include "sort_budget.h"
#include "utf8_validation.h"

#include "parasort/engine/collation_locale.h"
#include "parasort/engine/keyed_records.h"
#include "parasort/files/file_descriptor.h"
#include "parasort/platform/large_block_memory.h"
#include "parasort/platform/memory_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <ostream>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace parasort::cli {
namespace {

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

// The collator the options ask for, with the warning for a locale that
// has no collation of its own.
ParagraphCollator openCollator(const FilterOptions& options, std::ostream& diagnostics) {
  ParagraphCollator collator(options.locale.value_or(userCollationLocaleName()), options.collation);
  if (options.locale && !collator.knowsRequestedLocale()) {
    diagnostics << "parasort: warning: no collation is known for locale " << quotedAlways(*options.locale)
                << "; using the root collation\n";
  }
  return collator;
}

int reportInvalidUtf8(const FilterOptions& options, std::size_t offset, std::ostream& diagnostics) {
  diagnostics << "parasort: " << displayName(options.input) << ": invalid UTF-8 at byte " << offset << '\n';
  return exitBadInput;
}

// The whole input, held in memory: checked, then arranged and written.
int sortText(std::string_view input, const FilterOptions& options, std::pmr::memory_resource& memory,
             std::ostream& diagnostics) {
  if (const auto offset = findInvalidUtf8(input)) return reportInvalidUtf8(options, *offset, diagnostics);
  const ParagraphCollator collator = openCollator(options, diagnostics);

  // A byte order mark marks the text, it is not part of its first line.
  std::string_view text = input;
  const bool hasByteOrderMark = text.starts_with(utf8ByteOrderMark);
  if (hasByteOrderMark) text.remove_prefix(utf8ByteOrderMark.size());

  const ArrangeOptions arrangeOptions{.memory = &memory,
                                      .key = options.key,
                                      .randomSeed = options.randomSeed,
                                      .terminators = options.terminators,
                                      .threadCount = options.threads};
  if (options.check != CheckMode::none) return checkOrder(text, options, collator, arrangeOptions, diagnostics);

  std::optional<IoError> error;
  if (options.printKeys) {
    if (collator.get() == nullptr) throw std::bad_alloc();  // ICU opens no collator only for want of memory
    const std::size_t base = hasByteOrderMark ? utf8ByteOrderMark.size() : 0;
    error = writeOutput(options.output, [&](const PieceSink& sink) {
      forEachKeyedRecord(text, options.order, collator, arrangeOptions, [&](const KeyedRecord& record) {
        KeyedRecord placed = record;
        placed.start += base;
        writeRecordWithKey(placed, options, sink);
      });
    });
  } else {
    const auto arranged = arrangeParagraphs(text, options.order, collator, arrangeOptions);
    error = writeOutput(options.output, [&](const PieceSink& sink) {
      if (hasByteOrderMark) sink(utf8ByteOrderMark);
      arranged.forEachPiece(sink);
    });
  }
  if (error) {
    diagnostics << "parasort: " << error->message << '\n';
    return exitIoError;
  }
  return exitSuccess;
}

// The whole input read at once (a regular file's size is known, so one
// buffer of that size does), then sorted in memory.
int sortWholeInput(const FilterOptions& options, std::pmr::memory_resource& memory, std::ostream& diagnostics) {
  std::pmr::string input(&memory);
  if (const auto error = readWholeInput(options.input, input)) {
    diagnostics << "parasort: " << error->message << '\n';
    return exitIoError;
  }
  return sortText(input, options, memory, diagnostics);
}

int sortInput(const FilterOptions& options, std::ostream& diagnostics) {
  platform::LargeBlockMemory memory;
  // Only the sorting orders have a road through runs; the others (and the
  // check) need the whole text at once.
  if (!ordersByKeys(options.order) || options.check != CheckMode::none)
    return sortWholeInput(options, memory, diagnostics);

  const unsigned threads = options.threads != 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  const SortBudget budget = sortBudget(options.bufferSize, platform::currentMemoryFacts(), threads);

  files::FileDescriptor opened;
  int input = STDIN_FILENO;
  if (options.input != "-") {
    opened = files::FileDescriptor(::open(options.input.c_str(), O_RDONLY | O_CLOEXEC));
    if (!opened) {
      diagnostics << "parasort: " << errorFor(options.input, errno).message << '\n';
      return exitIoError;
    }
    input = opened.get();
  }
  struct stat status {};
  if (::fstat(input, &status) == 0 && S_ISDIR(status.st_mode)) {
    diagnostics << "parasort: " << errorFor(options.input, EISDIR).message << '\n';
    return exitIoError;
  }
  if (S_ISREG(status.st_mode) && static_cast<std::uint64_t>(status.st_size) <= budget.textPerRun)
    return sortWholeInput(options, memory, diagnostics);

  // A pipe, or a file too large for one piece: read a piece; if it was all
  // there is, sort it in memory, else take the road through runs.
  InputChunks chunks(input, budget.textPerRun, options.terminators, memory);
  std::string_view piece;
  if (const int error = chunks.next(piece); error != 0) {
    diagnostics << "parasort: " << errorFor(options.input, error).message << '\n';
    return exitIoError;
  }
  if (chunks.atEnd()) return sortText(piece, options, memory, diagnostics);

  if (const auto offset = findInvalidUtf8(piece)) return reportInvalidUtf8(options, *offset, diagnostics);
  const ParagraphCollator collator = openCollator(options, diagnostics);
  if (collator.get() == nullptr) throw std::bad_alloc();
  const bool hasByteOrderMark = piece.starts_with(utf8ByteOrderMark);
  if (hasByteOrderMark) piece.remove_prefix(utf8ByteOrderMark.size());
  return sortThroughRuns(chunks, piece, hasByteOrderMark, options, collator, budget, diagnostics);
}

}  // namespace

int runFilter(const FilterOptions& options, std::ostream& diagnostics) {
  // Caught out here, where the input, the keys and the result are released.
  try {
    return sortInput(options, diagnostics);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {  // more than a string or the sort keys can hold
  } catch (const std::system_error& error) {  // a run could not be read back
    diagnostics << "parasort: temporary file: " << error.code().message() << '\n';
    return exitIoError;
  }
  diagnostics << "parasort: " << displayName(options.input) << ": not enough memory\n";
  return exitIoError;
}

}  // namespace parasort::cli
