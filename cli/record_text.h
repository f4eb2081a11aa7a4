// What the filter's readers ask of a text's records: the separator kind it
// uses first, whether it ends with a terminator, and the message for a text
// that is not UTF-8.
#pragma once

#include "input_files.h"

#include "parasort/engine/arrangement.h"
#include "parasort/engine/paragraph.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace parasort::cli {

// The separator a result joins its records with: NUL for NUL-terminated
// records, else the first paragraph terminator of `text` (LF when none).
inline std::string_view separatorOf(std::string_view text, RecordTerminators terminators) {
  return terminators == RecordTerminators::nul ? std::string_view("\0", 1) : TQParagraph::paragraphSeparater(text);
}

inline bool endsWithTerminator(std::string_view text, RecordTerminators terminators) {
  return terminators == RecordTerminators::nul ? text.ends_with('\0') : TQParagraph::endsParagraphSeparater(text);
}

// The input `name` is not UTF-8 from byte `offset` on.
inline InputProblem invalidUtf8(const std::string& name, std::size_t offset) {
  return InputProblem{displayName(name) + ": invalid UTF-8 at byte " + std::to_string(offset), true};
}

}  // namespace parasort::cli
