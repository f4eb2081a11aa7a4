#include "filter.h"

#include "file_io.h"
#include "filter_reports.h"
#include "input_chunks.h"
#include "input_files.h"
#include "mapped_input.h"
#include "merge_inputs.h"
#include "name_quoting.h"
#include "order_check.h"
#include "output_file.h"
#include "record_text.h"
#include "run_sort.h"
#include "sort_budget.h"
#include "utf8_validation.h"

#include "parasort/engine/keyed_records.h"
#include "parasort/engine/ordering_key.h"
#include "parasort/files/file_descriptor.h"
#include "parasort/platform/large_block_memory.h"
#include "parasort/platform/memory_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

namespace parasort::cli {
namespace {

// Told of stretches of the input (offset, length) read through for now.
using ReadThrough = std::function<void(std::size_t, std::size_t)>;

// Checks an input that was not checked to be UTF-8 before it was sorted
// (the sort decodes every byte of most orders anyway): reports the first
// ill-formed byte and gives the exit status, or nothing when all is well.
using LateUtf8Check = std::function<std::optional<int>()>;

// The text of the inputs, held whole in memory or mapped (checked to be
// UTF-8 already, or checked by `lateCheck` unless the sort vouches for it),
// arranged and written. The order is kept alone (the sort keys let go)
// before the result is written.
int sortText(std::string_view input, const FilterOptions& options, std::pmr::memory_resource& memory,
             std::ostream& diagnostics, const ReadThrough& readThrough = {}, const LateUtf8Check& lateCheck = {}) {
  const ParagraphCollator collator = collatorFor(options, diagnostics);

  // A byte order mark marks the text, it is not part of its first line.
  std::string_view text = input;
  const bool hasByteOrderMark = text.starts_with(utf8ByteOrderMark);
  if (hasByteOrderMark) text.remove_prefix(utf8ByteOrderMark.size());

  ArrangeOptions arrangeOptions = options.arrange;
  arrangeOptions.memory = &memory;
  arrangeOptions.threadCount = options.threads;
  if (readThrough) {
    const std::size_t base = hasByteOrderMark ? utf8ByteOrderMark.size() : 0;
    arrangeOptions.readThrough = [&readThrough, base](std::size_t offset, std::size_t length) {
      readThrough(base + offset, length);
    };
  }

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
    auto arranged = arrangeParagraphs(text, options.order, collator, arrangeOptions);
    if (lateCheck && !arranged.decodedWellFormedUtf8())
      if (const auto status = lateCheck()) return *status;
    arranged.keepOnlyTheOrder(memory);
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

// -c and -C: whether the one input is in the order asked for, read a piece
// at a time; the first paragraph out of it is reported as the GNU tools
// report it.
int checkInput(const FilterOptions& options, const std::string& path, const SortBudget& budget,
               std::ostream& diagnostics) {
  files::FileDescriptor opened;
  int input = STDIN_FILENO;
  if (path != "-") {
    opened = files::FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!opened) return reportProblem(options, InputProblem{errorFor(path, errno).message}, diagnostics);
    input = opened.get();
  }
  platform::LargeBlockMemory memory;
  InputChunks chunks(input, budget.textPerRun, options.arrange.terminators, memory);
  OneInputPieces source(chunks, path);
  const ParagraphCollator collator = collatorFor(options, diagnostics);
  ArrangeOptions arrangeOptions = options.arrange;
  arrangeOptions.memory = &memory;
  arrangeOptions.threadCount = options.threads;
  const auto found = firstDisorderIn(source, options.order, collator, arrangeOptions);
  if (const auto* problem = std::get_if<InputProblem>(&found)) return reportProblem(options, *problem, diagnostics);
  const std::optional<Disorder>& disorder = std::get<std::optional<Disorder>>(found);
  if (!disorder) return exitSuccess;
  if (options.check == CheckMode::diagnose) {
    // Standard input is "-" here, as in the GNU tools' disorder reports.
    const std::string file = path == "-" ? std::string("-") : displayName(path);
    diagnostics << "parasort: " << file << ':' << disorder->index + 1 << ": disorder: " << disorder->paragraph
                << '\n';
  }
  return exitDisorder;
}

// The filter's work on inputs read whole; throws std::bad_alloc (or
// std::length_error) when memory runs out, and then has written nothing.
int sortInputs(const FilterOptions& options, const std::vector<std::string>& inputs, std::ostream& diagnostics) {
  platform::LargeBlockMemory memory;
  std::pmr::string input(&memory);
  if (const auto problem = readInputs(inputs, options.arrange.terminators, input))
    return reportProblem(options, *problem, diagnostics);
  return sortText(input, options, memory, diagnostics);
}

// How much of a mapped input is checked to be UTF-8 before its pages are
// let go.
constexpr std::size_t mappedCheckBlock = std::size_t{8} << 20;

// Whether sorting decodes every byte of the text through ICU's strict
// decoder, so that a separate UTF-8 check is needed only when it met an
// ill-formed sequence (to say where): true of the orders that sort whole
// paragraphs by their sort keys.
bool sortingDecodesEveryByte(const FilterOptions& options) {
  return !options.printKeys && ordersByKeys(options.order) && ordersByWholeParagraph(options.arrange.keys);
}

// One regular file, mapped: its pages are let go behind the UTF-8 check and
// the making of the keys, and read again for the result. Where sorting
// decodes every byte, the check is left to it: a pass over the file and the
// faulting in of its pages saved.
int sortMappedInput(const FilterOptions& options, const std::string& path, const MappedInput& input,
                    std::ostream& diagnostics) {
  const ReadThrough letGo = [&input](std::size_t offset, std::size_t length) { input.letGo(offset, length); };
  const LateUtf8Check check = [&]() -> std::optional<int> {
    if (const auto invalid = findInvalidUtf8InBlocks(input.bytes(), mappedCheckBlock, letGo))
      return reportProblem(options, invalidUtf8(path, *invalid), diagnostics);
    return std::nullopt;
  };
  const bool checkLate = sortingDecodesEveryByte(options);
  if (!checkLate)
    if (const auto status = check()) return *status;
  platform::LargeBlockMemory memory;
  return sortText(input.bytes(), options, memory, diagnostics, letGo, checkLate ? check : LateUtf8Check{});
}

// The text `source` hands out a piece at a time (into `memory`): sorted in
// memory when the first piece is all there is, else through runs.
int sortPieces(PieceSource& source, std::pmr::memory_resource& memory, const FilterOptions& options,
               const SortBudget& budget, std::ostream& diagnostics) {
  std::string_view piece;
  std::size_t start = 0;
  if (const auto problem = source.next(piece, start)) return reportProblem(options, *problem, diagnostics);
  if (source.atEnd()) return sortText(piece, options, memory, diagnostics);
  const ParagraphCollator collator = collatorFor(options, diagnostics);
  if (collator.get() == nullptr) throw std::bad_alloc();
  return sortThroughRuns(source, piece, start, options, collator, budget, diagnostics);
}

// One input sorted within the memory budget: read whole when it fits (a
// regular file tells its size), else a piece at a time, each piece sorted
// into a run on disk when there is more than one.
int sortWithinBudget(const FilterOptions& options, const std::string& path, const SortBudget& budget,
                     std::ostream& diagnostics) {
  const auto failure = [&](int error) {
    diagnostics << "parasort: " << errorFor(path, error).message << '\n';
    return exitIoError;
  };

  files::FileDescriptor opened;
  int input = STDIN_FILENO;
  if (path != "-") {
    opened = files::FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!opened) return failure(errno);
    input = opened.get();
  }
  struct stat status {};
  if (::fstat(input, &status) != 0) return failure(errno);
  if (S_ISDIR(status.st_mode)) return failure(EISDIR);
  if (S_ISREG(status.st_mode) && static_cast<std::uint64_t>(status.st_size) <= budget.textPerRun) {
    if (status.st_size > 0 && mayMapInput(input, options.output)) {
      const MappedInput mapped(input, static_cast<std::size_t>(status.st_size), path);
      if (mapped.mapped()) return sortMappedInput(options, path, mapped, diagnostics);
    }
    opened = files::FileDescriptor();
    return sortInputs(options, {path}, diagnostics);
  }

  // A pipe, or a file larger than a piece.
  platform::LargeBlockMemory memory;
  InputChunks chunks(input, budget.textPerRun, options.arrange.terminators, memory);
  OneInputPieces source(chunks, path);
  return sortPieces(source, memory, options, budget, diagnostics);
}

// Whether `inputs` are regular files that together fit in a piece: they
// are then read whole, each at its size.
bool fitInOnePiece(const std::vector<std::string>& inputs, const SortBudget& budget) {
  std::uint64_t total = 0;
  for (const std::string& path : inputs) {
    struct stat status {};
    if (path == "-" || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    total += static_cast<std::uint64_t>(status.st_size);
  }
  return total <= budget.textPerRun;
}

// Several inputs, pipes among them or larger together than a piece, read
// as one text a piece at a time: sorted in memory when the first piece is
// all there is, else through runs.
int sortSeveralWithinBudget(const FilterOptions& options, const std::vector<std::string>& inputs,
                            const SortBudget& budget, std::ostream& diagnostics) {
  platform::LargeBlockMemory memory;
  SeveralInputPieces source(inputs, budget.textPerRun, options.arrange.terminators, memory);
  return sortPieces(source, memory, options, budget, diagnostics);
}

int run(const FilterOptions& options, std::ostream& diagnostics) {
  std::vector<std::string> inputs = options.inputs;
  if (options.inputsFrom) {
    auto names = inputNamesFrom(*options.inputsFrom);
    if (const auto* problem = std::get_if<InputProblem>(&names)) {
      diagnostics << "parasort: " << problem->message << '\n';
      return exitBadInput;
    }
    inputs = std::get<std::vector<std::string>>(std::move(names));
    if (options.check != CheckMode::none && inputs.size() > 1) {
      diagnostics << "parasort: extra operand " << quotedAlways(inputs[1]) << " not allowed with -c\n";
      return exitBadInput;
    }
  }
  const platform::MemoryFacts memoryFacts = platform::currentMemoryFacts();
  platform::shareOneHeapUnderAddressLimit(memoryFacts);
  if (options.merge) return mergeInputs(options, inputs, diagnostics);
  const unsigned threads = options.threads != 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
  const SortBudget budget = sortBudget(options.bufferSize, memoryFacts, threads);
  if (options.check != CheckMode::none) return checkInput(options, inputs.front(), budget, diagnostics);
  // Only the sorting orders have a road through runs; the other orders are
  // held whole.
  if (ordersByKeys(options.order)) {
    if (inputs.size() == 1) return sortWithinBudget(options, inputs.front(), budget, diagnostics);
    if (!fitInOnePiece(inputs, budget)) return sortSeveralWithinBudget(options, inputs, budget, diagnostics);
  }
  return sortInputs(options, inputs, diagnostics);
}

}  // namespace

int runFilter(const FilterOptions& options, std::ostream& diagnostics) {
  // Caught out here, where the input, the keys and the result are released.
  try {
    return run(options, diagnostics);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {  // more than a string or the sort keys can hold
  } catch (const std::system_error& error) {  // a run could not be read back
    diagnostics << "parasort: temporary file: " << error.code().message() << '\n';
    return exitIoError;
  }
  diagnostics << "parasort: " << displayName(options.inputs.front()) << ": not enough memory\n";
  return troubleStatus(options, exitIoError);
}

}  // namespace parasort::cli
