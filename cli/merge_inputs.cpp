#include "merge_inputs.h"

#include "file_io.h"
#include "filter.h"
#include "filter_reports.h"
#include "output_file.h"
#include "record_reader.h"
#include "utf8_validation.h"

#include "parasort/engine/sorted_merge.h"

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <ostream>
#include <utility>

namespace parasort::cli {
namespace {

// The inputs of -m, open, each read a record at a time.
struct MergeInputs {
  std::vector<std::unique_ptr<FileRecords>> files;
  std::vector<RecordStream*> streams;

  MergeInputs(const std::vector<std::string>& paths, RecordTerminators terminators) {
    for (const std::string& path : paths) {
      files.push_back(std::make_unique<FileRecords>(path, terminators));
      streams.push_back(files.back().get());
    }
  }
  const InputProblem* problem() const {
    for (const auto& file : files)
      if (file->problem()) return &*file->problem();
    return nullptr;
  }
};

// Thrown out of the safe write when an input fails while the result is
// made: the output file stays as it was.
struct MergeAbandoned {};

// Whether the result of -m can go to the file `output` while it is made:
// every input can be read again (the safe write may ask for the contents
// more than once), and none is the output file itself.
bool mergesStraightInto(const std::string& output, const std::vector<std::string>& inputs) {
  struct stat target {};
  const bool targetExists = ::stat(output.c_str(), &target) == 0;
  for (const std::string& path : inputs) {
    struct stat status {};
    if (path == "-" || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    if (targetExists && status.st_dev == target.st_dev && status.st_ino == target.st_ino) return false;
  }
  return true;
}

}  // namespace

// -m: the inputs merged a paragraph at a time. The result goes out as it
// is made, also into a file, unless the file is one of the inputs or an
// input cannot be read twice: then it is held until complete.
int mergeInputs(const FilterOptions& options, const std::vector<std::string>& inputs, std::ostream& diagnostics) {
  auto opened = std::make_unique<MergeInputs>(inputs, options.arrange.terminators);
  if (const InputProblem* problem = opened->problem()) return reportProblem(options, *problem, diagnostics);
  const ParagraphCollator collator = collatorFor(options, diagnostics);

  const auto merge = [&](MergeInputs& in, const PieceSink& sink) {
    bool first = true;
    std::string_view separator;
    mergeSortedRecords(in.streams, options.order, collator, options.arrange, [&](std::string_view record) {
      if (first) {
        // Every stream's first record is read before any goes out.
        if (options.arrange.terminators == RecordTerminators::nul) separator = std::string_view("\0", 1);
        for (const auto& file : in.files)
          if (separator.empty() && !file->firstTerminator().empty()) separator = file->firstTerminator();
        if (separator.empty()) separator = "\n";
        if (in.files.front()->hadByteOrderMark()) sink(utf8ByteOrderMark);
      } else {
        sink(separator);
      }
      first = false;
      sink(record);
    });
    // As for the inputs read as one text: the result ends with a separator
    // when the last input that held anything did.
    for (auto file = in.files.rbegin(); file != in.files.rend(); ++file) {
      if ((*file)->wasEmpty()) continue;
      if ((*file)->endedWithTerminator() && !first) sink(separator);
      break;
    }
  };
  std::optional<IoError> error;
  std::optional<InputProblem> problem;
  if (options.output && mergesStraightInto(*options.output, inputs)) {
    // The first pass writes the temporary file (or only counts, before a
    // file is written in place): trouble then abandons the write. A later
    // pass reads the inputs again; trouble there (an input changed
    // meanwhile) is reported once the write is done.
    bool firstPass = true;
    try {
      error = writeOutput(options.output, [&](const PieceSink& sink) {
        std::unique_ptr<MergeInputs> in =
            firstPass ? std::move(opened) : std::make_unique<MergeInputs>(inputs, options.arrange.terminators);
        const bool throwing = std::exchange(firstPass, false);
        if (!in->problem()) merge(*in, sink);
        if (const InputProblem* trouble = in->problem()) {
          problem = *trouble;
          if (throwing) throw MergeAbandoned{};
        }
      });
    } catch (const MergeAbandoned&) {
      return reportProblem(options, *problem, diagnostics);
    }
  } else if (options.output) {
    std::string result;
    merge(*opened, [&result](std::string_view piece) { result.append(piece); });
    if (const InputProblem* trouble = opened->problem()) return reportProblem(options, *trouble, diagnostics);
    error = writeOutput(options.output, [&result](const PieceSink& sink) { sink(result); });
  } else {
    bool merged = false;
    error = writeOutput(std::nullopt, [&](const PieceSink& sink) {
      if (!merged) merge(*opened, sink);
      merged = true;
    });
    if (const InputProblem* trouble = opened->problem()) problem = *trouble;
  }
  if (problem) return reportProblem(options, *problem, diagnostics);
  if (error) {
    diagnostics << "parasort: " << error->message << '\n';
    return exitIoError;
  }
  return exitSuccess;
}

}  // namespace parasort::cli
