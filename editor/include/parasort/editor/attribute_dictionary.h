// An attribute dictionary: a map from attribute name to value, as the text
// system keeps it for each run of text and for the typing attributes. A
// value type: a copy is the "mutable copy" that is changed and stored back.
#pragma once

#include "parasort/editor/attribute_value.h"

#include <initializer_list>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

namespace parasort::editor {

class AttributeDictionary {
 public:
  using Entries = std::map<AttributeName, AttributeValue, std::less<>>;

  AttributeDictionary() = default;
  AttributeDictionary(std::initializer_list<Entries::value_type> entries) : entries_(entries) {}

  // The value under `name`, or nothing.
  [[nodiscard]] std::optional<AttributeValue> objectForKey(std::string_view name) const {
    const auto found = entries_.find(name);
    if (found == entries_.end()) return std::nullopt;
    return found->second;
  }

  // Sets `value` under `name`, replacing any value there.
  void setObject(AttributeValue value, std::string_view name) {
    entries_.insert_or_assign(AttributeName(name), std::move(value));
  }

  void removeObjectForKey(std::string_view name) {
    const auto found = entries_.find(name);
    if (found != entries_.end()) entries_.erase(found);
  }

  // Adds every entry of `other`, replacing entries of the same name.
  void addEntriesFromDictionary(const AttributeDictionary& other) {
    for (const auto& [name, value] : other.entries_) entries_.insert_or_assign(name, value);
  }

  [[nodiscard]] bool empty() const noexcept { return entries_.empty(); }
  [[nodiscard]] std::size_t count() const noexcept { return entries_.size(); }
  [[nodiscard]] Entries::const_iterator begin() const noexcept { return entries_.begin(); }
  [[nodiscard]] Entries::const_iterator end() const noexcept { return entries_.end(); }

  friend bool operator==(const AttributeDictionary&, const AttributeDictionary&) = default;

 private:
  Entries entries_;
};

}  // namespace parasort::editor
