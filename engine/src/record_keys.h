// A record's ordering bytes: what every way of ordering compares, as
// unsigned bytes, to put records in order by several keys of several kinds.
// Internal to the engine.
//
// Each key gives bytes from 0x01 to 0xFF, never 0: its kind's bytes (the
// collation sort key for text, see number_keys.h and the others for the
// rest), ended by 0x01, which is below every byte that can follow in a
// longer key of the same kind; a reversed key has every byte b turned into
// 0x100 - b and is ended by 0xFF instead. Keys follow one another, so the
// bytes compare by the first key, ties by the next.
#pragma once

#include "locale_conventions.h"
#include "utf16_units.h"

#include "parasort/engine/ordering_key.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct UCollator;

namespace parasort::detail {

// What records are ordered by: the keys, with what their kinds need.
struct KeyPlan {
  std::vector<OrderingKey> keys;
  LocaleConventions conventions;  // for numbers and months
  std::uint64_t randomSeed = 0;   // for the random kind
};

// Makes the plan for `keys` (which must not be empty) in the ICU locale
// `icuLocale`; the conventions are read only when a key needs them.
std::shared_ptr<const KeyPlan> makeKeyPlan(const std::vector<OrderingKey>& keys, std::string_view icuLocale,
                                           std::uint64_t randomSeed);

// Not thread-safe (it keeps scratch buffers): one per thread.
class RecordKeyer {
 public:
  RecordKeyer(const UCollator* collator, std::shared_ptr<const KeyPlan> plan);

  // The ordering bytes of `record`, in the keyer's buffer: valid until the
  // next call.
  std::string_view keyOf(std::string_view record);
  std::string_view keyOf(std::u16string_view record);

  // Appends the ordering bytes of `record` to `out`.
  void append(std::string_view record, std::string& out) { out.append(keyOf(record)); }
  void append(std::u16string_view record, std::string& out) { out.append(keyOf(record)); }

 private:
  template <class CharT>
  std::string_view keysOf(std::basic_string_view<CharT> record);
  template <class CharT>
  void appendKind(std::basic_string_view<CharT> text, const KeyModifiers& modifiers);
  void appendCollationKey(std::u16string_view units);
  void appendBytes(std::string_view bytes);
  void reserve(std::size_t room);
  std::u16string_view transformed(std::u16string_view units, const KeyModifiers& modifiers);

  const UCollator* collator_;
  std::shared_ptr<const KeyPlan> plan_;
  Utf16Units units_;
  std::u16string transformed_;
  std::string utf8_;
  std::string segment_;  // the kinds' bytes that are not written in place
  // The key being made: written in place, never cleared (nor zeroed) as a
  // string's resize would.
  std::unique_ptr<char[]> bytes_;
  std::size_t capacity_ = 0;
  std::size_t length_ = 0;
};

}  // namespace parasort::detail
