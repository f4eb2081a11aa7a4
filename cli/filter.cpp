#include "filter.h"

#include "file_io.h"
#include "parasort/platform/large_block_memory.h"
#include "utf8_validation.h"

#include "parasort/engine/collation_locale.h"

#include <exception>
#include <optional>
#include <ostream>

namespace parasort::cli {

int runFilter(const FilterOptions& options, std::ostream& diagnostics) {
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

  const ParagraphCollator collator(options.locale.value_or(userCollationLocaleName()));
  if (options.locale && !collator.knowsRequestedLocale()) {
    diagnostics << "parasort: warning: no collation is known for locale '" << *options.locale
                << "'; using the root collation\n";
  }

  // A byte order mark marks the text, it is not part of its first line.
  std::string_view text = input;
  const bool hasByteOrderMark = text.starts_with(utf8ByteOrderMark);
  if (hasByteOrderMark) text.remove_prefix(utf8ByteOrderMark.size());

  std::optional<ArrangedParagraphs<char>> arranged;
  try {
    arranged.emplace(arrangeParagraphs(text, options.order, collator, {.memory = &memory}));
  } catch (const std::exception&) {  // memory for the sort keys ran out
    diagnostics << "parasort: " << displayName(options.input) << ": not enough memory to sort it\n";
    return exitIoError;
  }
  const auto error = writeOutput(options.output, [&](BufferedWriter& writer) {
    if (hasByteOrderMark) writer.write(utf8ByteOrderMark);
    arranged->forEachPiece([&writer](std::string_view piece) { writer.write(piece); });
  });
  if (error) {
    diagnostics << "parasort: " << error->message << '\n';
    return exitIoError;
  }
  return exitSuccess;
}

}  // namespace parasort::cli
