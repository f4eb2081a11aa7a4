#include "parasort/engine/sorted_merge.h"

#include "record_keys.h"

#include <random>
#include <string>
#include <vector>

namespace parasort {
namespace {

struct Head {
  std::optional<std::string_view> record;
  std::string key;  // its ordering bytes
};

std::uint64_t seedOf(const ArrangeOptions& options) {
  if (options.randomSeed) return *options.randomSeed;
  std::random_device device;
  return (std::uint64_t{device()} << 32) ^ std::uint64_t{device()};
}

}  // namespace

void mergeSortedRecords(std::span<RecordStream* const> streams, ParagraphOrder order,
                        const ParagraphCollator& collator, const ArrangeOptions& options,
                        const std::function<void(std::string_view)>& emit) {
  const bool wholeParagraph = ordersByWholeParagraph(options.keys);
  const std::vector<OrderingKey> keys = wholeParagraph ? std::vector<OrderingKey>{OrderingKey{}} : options.keys;
  detail::RecordKeyer keyer(collator.get(), detail::makeKeyPlan(keys, collator.icuLocaleName(), seedOf(options)));
  const bool descending = order == ParagraphOrder::descending;
  const bool unique = order == ParagraphOrder::unique;
  const bool lastResort = options.lastResort && !wholeParagraph && !unique;

  std::vector<Head> heads(streams.size());
  const auto advance = [&](std::size_t index) {
    Head& head = heads[index];
    head.record = streams[index]->next();
    head.key.clear();
    if (head.record) keyer.append(*head.record, head.key);
  };
  for (std::size_t index = 0; index < streams.size(); ++index) advance(index);

  // Whether head `a` goes out before head `b` of a later stream.
  const auto precedes = [&](const Head& a, const Head& b) {
    int byKeys = a.key.compare(b.key);
    if (byKeys == 0 && lastResort) byKeys = collator.compare(*a.record, *b.record);
    return descending ? byKeys > 0 : byKeys < 0;
  };
  std::optional<std::string> keptKey;  // for unique: the key of the last record out
  while (true) {
    std::optional<std::size_t> best;
    for (std::size_t index = 0; index < heads.size(); ++index)
      if (heads[index].record && (!best || precedes(heads[index], heads[*best]))) best = index;
    if (!best) return;
    Head& head = heads[*best];
    if (!unique || !keptKey || *keptKey != head.key) {
      emit(*head.record);
      if (unique) keptKey = head.key;
    }
    advance(*best);
  }
}

}  // namespace parasort
