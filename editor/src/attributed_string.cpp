#include "parasort/editor/attributed_string.h"

#include <algorithm>
#include <utility>

namespace parasort::editor {

AttributedString::AttributedString(std::u16string text, const AttributeDictionary& attributes) {
  append(text, attributes);
}

AttributeDictionary AttributedString::attributesAtIndex(Index index, Range* effectiveRange) const {
  const auto run = std::find_if(runs_.begin(), runs_.end(),
                                [index](const Run& r) { return index < r.range.end(); });
  if (run == runs_.end()) return {};
  if (effectiveRange != nullptr) *effectiveRange = run->range;
  return run->attributes;
}

AttributedString AttributedString::attributedSubstringFromRange(Range range) const {
  const Range within = clampedRange(range, length());
  AttributedString result;
  for (const Run& run : runs_) {
    const Index start = std::max(run.range.location, within.location);
    const Index end = std::min(run.range.end(), within.end());
    if (start < end)
      result.append(std::u16string_view(string_).substr(start, end - start), run.attributes);
  }
  return result;
}

void AttributedString::append(std::u16string_view text, const AttributeDictionary& attributes) {
  if (text.empty()) return;
  // Extending the last run instead of adding an equal one keeps the runs
  // canonical, which is what makes equality mean "same text, same attributes".
  if (!runs_.empty() && runs_.back().attributes == attributes) {
    runs_.back().range.length += text.size();
  } else {
    runs_.push_back({{string_.size(), text.size()}, attributes});
  }
  string_.append(text);
}

void AttributedString::append(const AttributedString& other) {
  for (const Run& run : other.runs_)
    append(std::u16string_view(other.string_).substr(run.range.location, run.range.length),
           run.attributes);
}

}  // namespace parasort::editor
