#include "order_check.h"

#include "utf8_validation.h"

#include <string_view>
#include <utility>
#include <vector>

namespace parasort::cli {

std::variant<std::optional<Disorder>, InputProblem> firstDisorderIn(PieceSource& source, ParagraphOrder order,
                                                                    const ParagraphCollator& collator,
                                                                    const ArrangeOptions& options) {
  // Two paragraphs as a text of their own: each ended, so that an empty one
  // still counts (a NUL ends records that may hold a line feed).
  const std::string_view terminator =
      options.terminators == RecordTerminators::nul ? std::string_view("\0", 1) : std::string_view("\n");
  std::optional<Disorder> found;
  std::optional<std::string> last;  // the last paragraph of the pieces before
  std::size_t before = 0;           // how many paragraphs they held
  bool first = true;
  while (true) {
    std::string_view piece;
    std::size_t start = 0;
    if (auto problem = source.next(piece, start)) return *std::move(problem);
    if (piece.empty()) return found;
    if (std::exchange(first, false) && piece.starts_with(utf8ByteOrderMark))
      piece.remove_prefix(utf8ByteOrderMark.size());
    if (found) continue;  // only read on
    const std::vector<std::string_view> paragraphs = paragraphsOf(piece, options.terminators);
    if (paragraphs.empty()) continue;
    if (last) {
      std::string pair = *last;
      pair.append(terminator).append(paragraphs.front()).append(terminator);
      if (firstDisorder(pair, order, collator, options)) {
        found = Disorder{before, std::string(paragraphs.front())};
        continue;
      }
    }
    if (const auto index = firstDisorder(piece, order, collator, options)) {
      found = Disorder{before + *index, std::string(paragraphs[*index])};
      continue;
    }
    before += paragraphs.size();
    last = std::string(paragraphs.back());
  }
}

}  // namespace parasort::cli
