#include "input_files.h"

#include "record_text.h"
#include "utf8_validation.h"

#include "parasort/engine/paragraph.h"

#include <algorithm>
#include <string_view>

namespace parasort::cli {
std::optional<InputProblem> readInputs(const std::vector<std::string>& paths, RecordTerminators terminators,
                                       std::pmr::string& text) {
  text.clear();
  for (std::size_t index = 0; index < paths.size(); ++index) {
    // A separator goes between an unended file and the next one; it is
    // taken back when that one turns out empty.
    // (A text of only the first file's byte order mark has no paragraph to end.)
    std::string_view separator;
    if (!text.empty() && text != utf8ByteOrderMark && !endsWithTerminator(text, terminators))
      separator = separatorOf(text, terminators);
    const std::size_t unended = text.size();
    text.append(separator);
    const std::size_t start = text.size();
    if (auto error = appendWholeInput(paths[index], text)) {
      text.resize(unended);
      return InputProblem{std::move(error->message)};
    }
    const std::string_view contents = std::string_view(text).substr(start);
    if (const auto offset = findInvalidUtf8(contents))
      return invalidUtf8(paths[index], *offset);
    if (index > 0 && contents.starts_with(utf8ByteOrderMark)) text.erase(start, utf8ByteOrderMark.size());
    if (text.size() == start) text.resize(unended);
  }
  return std::nullopt;
}

std::variant<std::vector<std::string>, InputProblem> inputNamesFrom(const std::string& listPath) {
  std::pmr::string list;
  if (auto error = readWholeInput(listPath, list)) return InputProblem{"cannot read file names from " + error->message};
  std::vector<std::string> names;
  std::string_view rest = list;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\0'), rest.size());
    const std::string_view name = rest.substr(0, end);
    const std::string where = (listPath == "-" ? std::string("-") : displayName(listPath)) + ":" +
                              std::to_string(names.size() + 1) + ": ";
    if (name.empty()) return InputProblem{where + "invalid zero-length file name", true};
    if (listPath == "-" && name == "-")
      return InputProblem{where + "when reading file names from standard input, no file name of '-' allowed", true};
    names.emplace_back(name);
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  if (names.empty()) return InputProblem{"no input from " + displayName(listPath), true};
  return names;
}

}  // namespace parasort::cli
