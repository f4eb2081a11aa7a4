// Fuzzes the two transforms and the arrangement under them with arbitrary
// UTF-16: every pair of bytes is one code unit (little-endian), so unpaired
// surrogates, NUL and all four terminators turn up. The outputs are not
// known in advance; their properties are (see paragraph_properties.h).
// The collation is the root one or a tailored one, picked by the input's
// size, never the machine's locale, so that a run is repeatable anywhere.
#include "paragraph_properties.h"

#include "parasort/engine/transforms.h"

#include <unicode/ustring.h>

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

// The UTF-8 form of well-formed UTF-16; nothing for unpaired surrogates.
std::optional<std::string> utf8Of(std::u16string_view text) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  u_strToUTF8(nullptr, 0, &length, text.data(), static_cast<int32_t>(text.size()), &status);
  if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) return std::nullopt;
  std::string utf8(static_cast<std::size_t>(length), '\0');
  status = U_ZERO_ERROR;
  u_strToUTF8(utf8.data(), length, nullptr, text.data(), static_cast<int32_t>(text.size()), &status);
  if (U_FAILURE(status)) return std::nullopt;
  return utf8;
}

std::u16string transformed(std::u16string_view text, ParagraphOrder order, const ParagraphCollator& collator) {
  switch (order) {
    case ParagraphOrder::ascending:
      return sortedParagraphOfString(text, true, collator);
    case ParagraphOrder::descending:
      return sortedParagraphOfString(text, false, collator);
    case ParagraphOrder::unique:
      return uniqueParagraphOfString(text, collator);
  }
  fail("an order that does not exist");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ParagraphCollator& collator = collatorFor(size);
  const std::u16string text = codeUnitsOf(data, size);
  const std::u16string_view view = text;

  checkParagraphModel(view, referenceParagraphs(view));
  const std::optional<std::string> utf8Text = utf8Of(view);
  if (utf8Text) checkParagraphModel(std::string_view(*utf8Text), referenceParagraphs(std::string_view(*utf8Text)));

  for (const ParagraphOrder order : allOrders) {
    const std::u16string result = transformed(view, order, collator);
    checkArrangement(view, order, std::u16string_view(result), collator);

    require(transformed(result, order, collator) == result,
            "a transform applied to its own result changes nothing");

    const auto byComparison = arranged(view, order, collator, OrderingStrategy::comparison);
    const auto bySortKeys = arranged(view, order, collator, OrderingStrategy::sortKeys);
    require(byComparison == result, "the transform is the comparison strategy's result");
    require(bySortKeys == byComparison, "sort keys and comparisons give the same result, unit for unit");

    // The UTF-8 flavour means the same: its result is the UTF-16 result's
    // UTF-8 form, for either strategy.
    if (utf8Text) {
      const std::string_view utf8View = *utf8Text;
      const auto expected = utf8Of(result);
      require(expected.has_value(), "the result of well-formed text is well-formed");
      require(arranged(utf8View, order, collator, OrderingStrategy::comparison) == *expected,
              "UTF-8 text arranged by comparisons gives the UTF-16 result in UTF-8");
      require(arranged(utf8View, order, collator, OrderingStrategy::sortKeys) == *expected,
              "UTF-8 text arranged by sort keys gives the UTF-16 result in UTF-8");
    }
  }
  return 0;
}
