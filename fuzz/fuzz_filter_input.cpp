// Fuzzes the filter's path from raw input bytes to output: the UTF-8 check
// that decides whether anything is written, then the byte order mark and the
// arrangement of the UTF-8 text, as runFilter does them (minus the files).
//
// The check must stop exactly at the first ill-formed sequence by an
// independent table of well-formed ones; well-formed text must be arranged
// as the reference model arranges it, by either strategy.
#include "reference_model.h"

#include "parasort/platform/large_block_memory.h"
#include "utf8_validation.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace parasort;
using namespace parasort::fuzzing;

// The well-formed byte sequences of the Unicode Standard (chapter 3,
// table 3-7), written out rather than borrowed from ICU: for each range of
// lead bytes, the sequence length and the range the second byte must be in.
// Every further byte is 80..BF.
struct LeadBytes {
  std::uint8_t first, last;
  std::size_t length;
  std::uint8_t secondLow, secondHigh;
};
constexpr LeadBytes wellFormedLeads[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},  // no overlong forms
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},  // no surrogates
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},  // no overlong forms
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},  // nothing beyond U+10FFFF
};

// The length of the well-formed sequence at `index`, or 0 when it is
// ill-formed there.
std::size_t wellFormedSequenceLength(std::string_view bytes, std::size_t index) {
  const auto byteAt = [&](std::size_t offset) { return static_cast<std::uint8_t>(bytes[index + offset]); };
  if (byteAt(0) <= 0x7F) return 1;
  for (const LeadBytes& lead : wellFormedLeads) {
    if (byteAt(0) < lead.first || byteAt(0) > lead.last) continue;
    if (index + lead.length > bytes.size()) return 0;
    if (byteAt(1) < lead.secondLow || byteAt(1) > lead.secondHigh) return 0;
    for (std::size_t offset = 2; offset < lead.length; ++offset)
      if (byteAt(offset) < 0x80 || byteAt(offset) > 0xBF) return 0;
    return lead.length;
  }
  return 0;  // 80..C1 (continuations, overlong leads) and F5..FF
}

std::optional<std::size_t> referenceFirstIllFormed(std::string_view bytes) {
  for (std::size_t index = 0; index < bytes.size();) {
    const std::size_t length = wellFormedSequenceLength(bytes, index);
    if (length == 0) return index;
    index += length;
  }
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ParagraphCollator& collator = collatorFor(size);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const auto invalidAt = cli::findInvalidUtf8(bytes);
  require(invalidAt == referenceFirstIllFormed(bytes),
          "the UTF-8 check stops at the first ill-formed sequence and nowhere else");
  if (invalidAt) return 0;

  // As the filter does it: the byte order mark stays in front, unsorted.
  std::string_view text = bytes;
  if (text.starts_with(cli::utf8ByteOrderMark)) text.remove_prefix(cli::utf8ByteOrderMark.size());
  checkParagraphModel(text);

  platform::LargeBlockMemory memory;
  for (const ParagraphOrder order : allOrders) {
    std::string result;
    arrangeParagraphs(text, order, collator, {.memory = &memory}).forEachPiece([&](std::string_view piece) {
      result.append(piece);
    });
    require(result == referenceArrangement(text, order, collator), "the filter gives the reference arrangement");
    require(arranged(text, order, collator, OrderingStrategy::sortKeys) == result &&
                arranged(text, order, collator, OrderingStrategy::comparison) == result,
            "both strategies give the filter's result, byte for byte");
  }
  return 0;
}
