#include "run_sort.h"

#include "file_io.h"
#include "filter.h"
#include "output_file.h"
#include "record_text.h"
#include "run_file.h"
#include "utf8_validation.h"

#include "parasort/engine/keyed_records.h"
#include "parasort/engine/paragraph.h"
#include "parasort/files/file_size_limit_as_error.h"
#include "parasort/platform/large_block_memory.h"

#include <cstdlib>
#include <memory>
#include <random>
#include <ostream>
#include <variant>

namespace parasort::cli {
namespace {

// What the result's pieces need to know of the whole text.
struct TextShape {
  bool hasByteOrderMark = false;
  std::string_view separator;      // between paragraphs in the result
  bool endsWithSeparator = false;  // whether the text ended with a terminator
};

// The runs made so far, and where the next one goes.
class Runs {
 public:
  explicit Runs(std::vector<std::string> directories) : directories_(std::move(directories)) {}

  // A new run in the next directory in turn (as GNU sort takes -T's).
  std::variant<RunFile*, IoError> add() {
    auto created = RunFile::create(directories_[runs_.size() % directories_.size()]);
    if (auto* error = std::get_if<IoError>(&created)) return std::move(*error);
    runs_.push_back(std::make_unique<RunFile>(std::move(std::get<RunFile>(created))));
    return runs_.back().get();
  }

  std::vector<std::unique_ptr<RunFile>>& all() noexcept { return runs_; }

 private:
  std::vector<std::string> directories_;
  std::vector<std::unique_ptr<RunFile>> runs_;
};

// Merges `runs` into `visit`, each read through a buffer of `bufferSize`.
void merge(std::span<const std::unique_ptr<RunFile>> runs, ParagraphOrder order, std::size_t bufferSize,
           const KeyedRecordVisit& visit) {
  std::vector<std::unique_ptr<KeyedRecordSource>> readers;
  std::vector<KeyedRecordSource*> sources;
  for (const auto& run : runs) {
    readers.push_back(run->read(bufferSize));
    sources.push_back(readers.back().get());
  }
  mergeKeyedRuns(sources, order, visit);
}

// Merges runs, `width` consecutive ones at a time (so equal keys keep their
// input order), into fewer runs until at most `width` are left.
std::optional<IoError> narrowRuns(Runs& runs, std::vector<std::string> directories, ParagraphOrder order,
                                  const SortBudget& budget) {
  while (runs.all().size() > budget.mergeWidth) {
    Runs merged(directories);
    auto& all = runs.all();
    for (std::size_t first = 0; first < all.size(); first += budget.mergeWidth) {
      auto target = merged.add();
      if (auto* error = std::get_if<IoError>(&target)) return std::move(*error);
      RunFile* run = std::get<RunFile*>(target);
      const std::size_t count = std::min(budget.mergeWidth, all.size() - first);
      merge(std::span(all).subspan(first, count), order, budget.readBufferPerRun,
            [run](const KeyedRecord& record) { run->append(record); });
      if (auto error = run->finish()) return error;
    }
    runs = std::move(merged);
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::string> temporaryDirectories(const FilterOptions& options) {
  if (!options.temporaryDirectories.empty()) return options.temporaryDirectories;
  const char* fromEnvironment = std::getenv("TMPDIR");
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') return {fromEnvironment};
  return {"/tmp"};
}

void writeRecordWithKey(const KeyedRecord& record, const FilterOptions& options,
                        const std::function<void(std::string_view)>& sink) {
  sink(printableKey(record.key, options.order, record.start));
  sink("\t");
  sink(record.paragraph);
  sink(options.arrange.terminators == RecordTerminators::nul ? std::string_view("\0", 1) : std::string_view("\n"));
}

int sortThroughRuns(PieceSource& source, std::string_view firstPiece, std::size_t firstStart,
                    const FilterOptions& options, const ParagraphCollator& collator, const SortBudget& budget,
                    std::ostream& diagnostics) {
  // A byte order mark marks the text; it is not part of its first paragraph.
  const bool hasByteOrderMark = firstPiece.starts_with(utf8ByteOrderMark);
  if (hasByteOrderMark) {
    firstPiece.remove_prefix(utf8ByteOrderMark.size());
    firstStart += utf8ByteOrderMark.size();
  }
  const auto directories = temporaryDirectories(options);
  platform::LargeBlockMemory largeBlocks;
  ArrangeOptions arrangeOptions = options.arrange;
  arrangeOptions.memory = &largeBlocks;
  arrangeOptions.threadCount = options.threads;
  // Random keys must be the same in every run.
  if (!arrangeOptions.randomSeed) arrangeOptions.randomSeed = std::random_device()();
  const RecordTerminators terminators = options.arrange.terminators;
  TextShape shape{.hasByteOrderMark = hasByteOrderMark,
                  .separator = separatorOf(firstPiece, terminators),
                  .endsWithSeparator = false};
  const auto fail = [&diagnostics](const IoError& error) {
    diagnostics << "parasort: " << error.message << '\n';
    return exitIoError;
  };

  // Runs beyond the file size limit (ulimit -f) are an error, not death.
  const files::FileSizeLimitAsError fileSizeLimit;
  Runs runs(directories);
  std::string_view piece = firstPiece;
  // Offsets of records in the piece, from the text's start.
  std::size_t pieceBase = firstStart;
  while (!piece.empty()) {
    auto target = runs.add();
    if (auto* error = std::get_if<IoError>(&target)) return fail(*error);
    RunFile* run = std::get<RunFile*>(target);
    forEachKeyedRecord(piece, options.order, collator, arrangeOptions, [&](const KeyedRecord& record) {
      KeyedRecord placed = record;
      placed.start += pieceBase;
      run->append(placed);
    });
    if (auto error = run->finish()) return fail(*error);
    shape.endsWithSeparator = endsWithTerminator(piece, terminators);

    if (const auto problem = source.next(piece, pieceBase)) {
      diagnostics << "parasort: " << problem->message << '\n';
      return problem->invalidInput ? exitBadInput : exitIoError;
    }
  }
  if (const auto separator = source.separator()) shape.separator = *separator;
  if (auto error = narrowRuns(runs, directories, options.order, budget)) return fail(*error);

  const auto written = writeOutput(options.output, [&](const PieceSink& sink) {
    if (options.printKeys) {
      merge(runs.all(), options.order, budget.readBufferPerRun,
            [&](const KeyedRecord& record) { writeRecordWithKey(record, options, sink); });
      return;
    }
    if (shape.hasByteOrderMark) sink(utf8ByteOrderMark);
    bool first = true;
    merge(runs.all(), options.order, budget.readBufferPerRun, [&](const KeyedRecord& record) {
      if (!first) sink(shape.separator);
      first = false;
      sink(record.paragraph);
    });
    if (shape.endsWithSeparator) sink(shape.separator);
  });
  if (written) return fail(*written);
  return exitSuccess;
}

}  // namespace parasort::cli
