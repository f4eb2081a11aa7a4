#include "filter.h"

#include "file_io.h"
#include "input_files.h"
#include "name_quoting.h"
#include "output_file.h"
#include "parasort/platform/large_block_memory.h"
#include "record_reader.h"
#include "utf8_validation.h"

#include "parasort/engine/collation_locale.h"
#include "parasort/engine/sorted_merge.h"

#include <memory>
#include <new>
#include <ostream>
#include <stdexcept>

namespace parasort::cli {
namespace {

// With --check, any trouble is told apart from a disorder (1): it is 2.
int troubleStatus(const FilterOptions& options, int status) {
  return options.check != CheckMode::none ? exitBadInput : status;
}

int reportProblem(const FilterOptions& options, const InputProblem& problem, std::ostream& diagnostics) {
  diagnostics << "parasort: " << problem.message << '\n';
  return troubleStatus(options, problem.invalidInput ? exitBadInput : exitIoError);
}

ParagraphCollator collatorFor(const FilterOptions& options, std::ostream& diagnostics) {
  ParagraphCollator collator(options.locale.value_or(userCollationLocaleName()), options.collation);
  if (options.locale && !collator.knowsRequestedLocale()) {
    diagnostics << "parasort: warning: no collation is known for locale " << quotedAlways(*options.locale)
                << "; using the root collation\n";
  }
  return collator;
}

// -c and -C: whether `text` is already in the order asked for; the first
// paragraph out of it is reported as the GNU tools report it.
int checkOrder(std::string_view text, const std::string& input, const FilterOptions& options,
               const ParagraphCollator& collator, const ArrangeOptions& arrangeOptions, std::ostream& diagnostics) {
  const auto disorder = firstDisorder(text, options.order, collator, arrangeOptions);
  if (!disorder) return exitSuccess;
  if (options.check == CheckMode::diagnose) {
    const std::string_view paragraph = paragraphsOf(text, arrangeOptions.terminators)[*disorder];
    // Standard input is "-" here, as in the GNU tools' disorder reports.
    const std::string file = input == "-" ? std::string("-") : displayName(input);
    diagnostics << "parasort: " << file << ':' << *disorder + 1 << ": disorder: " << paragraph << '\n';
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

  const ParagraphCollator collator = collatorFor(options, diagnostics);

  // A byte order mark marks the text, it is not part of its first line.
  std::string_view text = input;
  const bool hasByteOrderMark = text.starts_with(utf8ByteOrderMark);
  if (hasByteOrderMark) text.remove_prefix(utf8ByteOrderMark.size());

  ArrangeOptions arrangeOptions = options.arrange;
  arrangeOptions.memory = &memory;
  if (options.check != CheckMode::none)
    return checkOrder(text, inputs.front(), options, collator, arrangeOptions, diagnostics);

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

// -m: the inputs merged a paragraph at a time. The result goes out as it
// is made, unless it goes to a file (which may be one of the inputs): then
// it is held until complete.
int mergeInputs(const FilterOptions& options, const std::vector<std::string>& inputs, std::ostream& diagnostics) {
  std::vector<std::unique_ptr<FileRecords>> files;
  std::vector<RecordStream*> streams;
  for (const std::string& path : inputs) {
    files.push_back(std::make_unique<FileRecords>(path, options.arrange.terminators));
    if (files.back()->problem()) return reportProblem(options, *files.back()->problem(), diagnostics);
    streams.push_back(files.back().get());
  }
  const ParagraphCollator collator = collatorFor(options, diagnostics);

  const auto merge = [&](const PieceSink& sink) {
    bool first = true;
    std::string_view separator;
    mergeSortedRecords(streams, options.order, collator, options.arrange, [&](std::string_view record) {
      if (first) {
        // Every stream's first record is read before any goes out.
        if (options.arrange.terminators == RecordTerminators::nul) separator = std::string_view("\0", 1);
        for (const auto& file : files)
          if (separator.empty() && !file->firstTerminator().empty()) separator = file->firstTerminator();
        if (separator.empty()) separator = "\n";
        if (files.front()->hadByteOrderMark()) sink(utf8ByteOrderMark);
      } else {
        sink(separator);
      }
      first = false;
      sink(record);
    });
    // As for the inputs read as one text: the result ends with a separator
    // when the last input that held anything did.
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
      if ((*file)->wasEmpty()) continue;
      if ((*file)->endedWithTerminator() && !first) sink(separator);
      break;
    }
  };
  std::optional<IoError> error;
  if (options.output) {
    std::string result;
    merge([&result](std::string_view piece) { result.append(piece); });
    for (const auto& file : files)
      if (file->problem()) return reportProblem(options, *file->problem(), diagnostics);
    error = writeOutput(options.output, [&result](const PieceSink& sink) { sink(result); });
  } else {
    bool merged = false;
    error = writeOutput(std::nullopt, [&](const PieceSink& sink) {
      if (!merged) merge(sink);
      merged = true;
    });
  }
  for (const auto& file : files)
    if (file->problem()) return reportProblem(options, *file->problem(), diagnostics);
  if (error) {
    diagnostics << "parasort: " << error->message << '\n';
    return exitIoError;
  }
  return exitSuccess;
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
  return options.merge ? mergeInputs(options, inputs, diagnostics) : sortInputs(options, inputs, diagnostics);
}

}  // namespace

int runFilter(const FilterOptions& options, std::ostream& diagnostics) {
  // Caught out here, where the input, the keys and the result are released.
  try {
    return run(options, diagnostics);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {  // more than a string or the sort keys can hold
  }
  diagnostics << "parasort: " << displayName(options.inputs.front()) << ": not enough memory\n";
  return troubleStatus(options, exitIoError);
}

}  // namespace parasort::cli
