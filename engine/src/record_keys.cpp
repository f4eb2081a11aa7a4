#include "record_keys.h"

#include "month_key.h"
#include "number_keys.h"
#include "version_key.h"

#include <unicode/ucol.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <limits>

namespace parasort::detail {
namespace {

bool needsConventions(const std::vector<OrderingKey>& keys) {
  return std::ranges::any_of(keys, [](const OrderingKey& key) {
    const KeyKind kind = key.modifiers.kind;
    return kind == KeyKind::numeric || kind == KeyKind::generalNumeric || kind == KeyKind::humanNumeric ||
           kind == KeyKind::month;
  });
}

// A 64-bit hash of `bytes` under `seed` (FNV-1a, then a SplitMix finish).
std::uint64_t hashOf(std::string_view bytes, std::uint64_t seed) {
  std::uint64_t hash = 0xcbf29ce484222325ULL ^ seed;
  for (const char byte : bytes) hash = (hash ^ static_cast<unsigned char>(byte)) * 0x100000001b3ULL;
  hash ^= hash >> 30;
  hash *= 0xbf58476d1ce4e5b9ULL;
  hash ^= hash >> 27;
  hash *= 0x94d049bb133111ebULL;
  return hash ^ (hash >> 31);
}

void appendSevenBitGroups(std::uint64_t value, std::string& out) {
  for (int shift = 63; shift >= 0; shift -= 7)
    out += static_cast<char>(((shift >= 7 ? value >> (shift - 6) : value << (6 - shift)) & 0x7F) + 2);
}

void appendUtf8(std::u16string_view units, std::string& out) {
  out.clear();
  for (std::size_t index = 0; index < units.size();) {
    UChar32 character = 0;
    const auto length = static_cast<std::int32_t>(units.size());
    auto position = static_cast<std::int32_t>(index);
    U16_NEXT(units.data(), position, length, character);
    index = static_cast<std::size_t>(position);
    char bytes[4];
    std::int32_t written = 0;
    UBool failed = false;
    U8_APPEND(bytes, written, 4, character, failed);
    if (!failed) out.append(bytes, static_cast<std::size_t>(written));
  }
}

}  // namespace

std::shared_ptr<const KeyPlan> makeKeyPlan(const std::vector<OrderingKey>& keys, std::string_view icuLocale,
                                           std::uint64_t randomSeed) {
  auto plan = std::make_shared<KeyPlan>();
  plan->keys = keys;
  if (needsConventions(keys)) plan->conventions = LocaleConventions::of(icuLocale);
  plan->randomSeed = randomSeed;
  return plan;
}

RecordKeyer::RecordKeyer(const UCollator* collator, std::shared_ptr<const KeyPlan> plan)
    : collator_(collator), plan_(std::move(plan)) {}

std::string_view RecordKeyer::keyOf(std::string_view record) { return keysOf(record); }
std::string_view RecordKeyer::keyOf(std::u16string_view record) { return keysOf(record); }

template <class CharT>
std::string_view RecordKeyer::keysOf(std::basic_string_view<CharT> record) {
  length_ = 0;
  for (const OrderingKey& key : plan_->keys) {
    const std::size_t start = length_;
    appendKind(keyOfParagraph(record, key.positions), key.modifiers);
    reserve(1);
    if (key.modifiers.reverse) {
      for (std::size_t index = start; index < length_; ++index)
        bytes_[index] = static_cast<char>(0x100 - static_cast<unsigned char>(bytes_[index]));
      bytes_[length_++] = static_cast<char>(0xFF);
    } else {
      bytes_[length_++] = '\x01';
    }
  }
  return {bytes_.get(), length_};
}

void RecordKeyer::reserve(std::size_t room) {
  if (capacity_ - length_ >= room) return;
  const std::size_t capacity = std::max({capacity_ * 2, length_ + room, std::size_t{256}});
  auto bytes = std::make_unique<char[]>(capacity);
  std::copy(bytes_.get(), bytes_.get() + length_, bytes.get());
  bytes_ = std::move(bytes);
  capacity_ = capacity;
}

void RecordKeyer::appendBytes(std::string_view bytes) {
  reserve(bytes.size());
  std::copy(bytes.begin(), bytes.end(), bytes_.get() + length_);
  length_ += bytes.size();
}

template <class CharT>
void RecordKeyer::appendKind(std::basic_string_view<CharT> text, const KeyModifiers& modifiers) {
  segment_.clear();
  switch (modifiers.kind) {
    case KeyKind::text:
      appendCollationKey(transformed(units_.of(text), modifiers));
      return;
    case KeyKind::numeric:
      appendNumericKey(text, plan_->conventions, segment_);
      break;
    case KeyKind::generalNumeric:
      appendGeneralNumericKey(text, plan_->conventions, segment_);
      break;
    case KeyKind::humanNumeric:
      appendHumanNumericKey(text, plan_->conventions, segment_);
      break;
    case KeyKind::month:
      appendMonthKey(text, plan_->conventions, segment_);
      break;
    case KeyKind::version:
      if constexpr (std::is_same_v<CharT, char>) {
        appendVersionKey(text, segment_);
      } else {
        appendUtf8(text, utf8_);
        appendVersionKey(utf8_, segment_);
      }
      break;
    case KeyKind::random: {
      // Equal keys hash alike, so they stay together; the key itself
      // follows the hash, so that keys that hash alike stay apart.
      const std::size_t start = length_;
      appendCollationKey(transformed(units_.of(text), modifiers));
      const std::string collationKey(bytes_.get() + start, length_ - start);
      length_ = start;
      appendSevenBitGroups(hashOf(collationKey, plan_->randomSeed), segment_);
      segment_ += collationKey;
      break;
    }
  }
  appendBytes(segment_);
}

void RecordKeyer::appendCollationKey(std::u16string_view units) {
  if (collator_ == nullptr) return;  // no collator at all: every text key ties
  reserve(units.size() * 4 + 16);
  while (true) {
    const std::size_t room = std::min<std::size_t>(capacity_ - length_, std::numeric_limits<std::int32_t>::max());
    const std::int32_t needed =
        ucol_getSortKey(collator_, units.data(), static_cast<std::int32_t>(units.size()),
                        reinterpret_cast<std::uint8_t*>(bytes_.get() + length_), static_cast<std::int32_t>(room));
    if (needed <= 0) throw std::bad_alloc();
    if (static_cast<std::size_t>(needed) <= room) {
      length_ += static_cast<std::size_t>(needed) - 1;  // without ICU's closing 0
      return;
    }
    reserve(static_cast<std::size_t>(needed));
  }
}

std::u16string_view RecordKeyer::transformed(std::u16string_view units, const KeyModifiers& modifiers) {
  if (!modifiers.dictionaryOrder && !modifiers.ignoreNonprinting && !modifiers.foldCase) return units;
  transformed_.clear();
  for (std::size_t index = 0; index < units.size();) {
    UChar32 character = 0;
    auto position = static_cast<std::int32_t>(index);
    U16_NEXT(units.data(), position, static_cast<std::int32_t>(units.size()), character);
    const std::u16string_view unitsOfCharacter = units.substr(index, static_cast<std::size_t>(position) - index);
    index = static_cast<std::size_t>(position);
    if (modifiers.dictionaryOrder && !(u_isalnum(character) || u_isblank(character))) continue;
    if (modifiers.ignoreNonprinting && !u_isprint(character)) continue;
    transformed_.append(unitsOfCharacter);
  }
  if (modifiers.foldCase) {
    std::u16string folded(transformed_.size() * 3 + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    const std::int32_t length = u_strFoldCase(reinterpret_cast<UChar*>(folded.data()),
                                              static_cast<std::int32_t>(folded.size()),
                                              reinterpret_cast<const UChar*>(transformed_.data()),
                                              static_cast<std::int32_t>(transformed_.size()), U_FOLD_CASE_DEFAULT,
                                              &status);
    if (U_SUCCESS(status)) {
      folded.resize(static_cast<std::size_t>(length));
      transformed_ = std::move(folded);
    }
  }
  return transformed_;
}

}  // namespace parasort::detail
