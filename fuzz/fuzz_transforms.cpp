// Fuzzes the two transforms and the arrangement under them with arbitrary
// UTF-16: every pair of bytes is one code unit (little-endian), so unpaired
// surrogates, NUL and all four terminators turn up. Every output is held
// against the reference model (reference_model.h).
// The collation is the root one or a tailored one, picked by the input's
// size, never the machine's locale, so that a run is repeatable anywhere.
#include "reference_model.h"

#include "parasort/engine/transforms.h"


#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace {

using namespace parasort;
using namespace parasort::fuzzing;

std::u16string codeUnitsOf(const std::uint8_t* data, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  for (std::size_t index = 0; index < text.size(); ++index)
    text[index] = static_cast<char16_t>(data[2 * index] | (data[2 * index + 1] << 8));
  return text;
}

std::u16string transformed(std::u16string_view text, ParagraphOrder order, const ParagraphCollator& collator) {
  switch (order) {
    case ParagraphOrder::ascending:
      return sortedParagraphOfString(text, true, collator);
    case ParagraphOrder::descending:
      return sortedParagraphOfString(text, false, collator);
    case ParagraphOrder::unique:
      return uniqueParagraphOfString(text, collator);
    case ParagraphOrder::byLength:
    case ParagraphOrder::reverse:
    case ParagraphOrder::shuffle:
    case ParagraphOrder::adjacentUnique:
      break;  // no transform of their own: the arrangement's test covers them
  }
  fail("an order that does not exist");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ParagraphCollator& collator = collatorFor(size);
  const std::u16string text = codeUnitsOf(data, size);
  const std::u16string_view view = text;
  const std::optional<std::string> utf8Text = utf8Of(view);

  checkParagraphModel(view);
  if (utf8Text) checkParagraphModel(std::string_view(*utf8Text));
  for (const ParagraphOrder order : allOrders) {
    const std::u16string result = transformed(view, order, collator);
    require(result == referenceArrangement(view, order, collator), "the transform gives the reference arrangement");
    require(arranged(view, order, collator, OrderingStrategy::comparison) == result &&
                arranged(view, order, collator, OrderingStrategy::sortKeys) == result,
            "both strategies give the transform's result, unit for unit");
    // Well-formed text arranged as UTF-8 gives the UTF-16 result in UTF-8.
    if (utf8Text) {
      const auto expected = utf8Of(result);
      require(expected && arranged(std::string_view(*utf8Text), order, collator, OrderingStrategy::comparison) == *expected &&
                  arranged(std::string_view(*utf8Text), order, collator, OrderingStrategy::sortKeys) == *expected,
              "UTF-8 text arranged either way gives the UTF-16 result in UTF-8");
    }
  }
  return 0;
}
