// File, locale and option names as messages show them: quoted the way the
// GNU tools quote them for a shell, so that whatever bytes a name holds the
// message stays on one line, cannot drive the terminal, and can be pasted
// back into a command.
#pragma once

#include <string>
#include <string_view>

namespace parasort::cli {

// The name as it is when a shell would read it as it is ("notes.txt",
// "café"); otherwise quotedAlways(name). For names that open a message:
// "parasort: notes.txt: No such file or directory".
std::string quotedIfNeeded(std::string_view name);

// The name in quotes: 'my notes.txt', "it's" (double quotes when an
// apostrophe is the only reason), and control characters, characters that
// do not print and bytes that are not UTF-8 as $'...' escapes:
// 'a'$'\n''b', ''$'\377'. For names inside a sentence: "unrecognized option
// '--bogus'".
std::string quotedAlways(std::string_view name);

}  // namespace parasort::cli
