// What a text file is besides its text: the encoding, the byte order mark,
// the line ending and whether the last line has one. Reading finds them and
// hands back the text with LF line endings; writing puts them back, so that
// a file opened and saved unchanged comes out byte for byte the same.
// ICU and the standard library only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace parasort::files {

enum class LineEnding { lf, crLf, cr };

struct TextFileFormat {
  // The encoding, by ICU's converter name ("UTF-8", "UTF-16LE",
  // "windows-1252", "Shift_JIS"...).
  std::string encoding = "UTF-8";
  bool byteOrderMark = false;
  // The first line ending the file has (LF when it has none); the others are
  // written the same way.
  LineEnding lineEnding = LineEnding::lf;
  // Whether the last line ends with a line ending.
  bool finalLineEnding = true;

  friend bool operator==(const TextFileFormat&, const TextFileFormat&) = default;
};

struct DecodedTextFile {
  // Lines separated by LF, without the last line's ending (kept in `format`).
  std::u16string text;
  TextFileFormat format;
};

// Why a file's bytes are not text.
enum class NotText {
  // NUL, or control characters that no text has: a binary file.
  binary,
  // No encoding ICU knows explains the bytes.
  unknownEncoding,
};

// The text of a file's `bytes`: UTF-8 (with or without a byte order mark)
// when the bytes are valid UTF-8, UTF-16 or UTF-32 when they start with a
// byte order mark, else the encoding ICU's detector finds most likely among
// those whose conversion succeeds. Never throws but std::bad_alloc.
std::variant<DecodedTextFile, NotText> decodeTextFile(std::string_view bytes);

// The bytes of `text` (lines separated by LF, U+2029 or CR LF) in `format`.
// Returns false, leaving `bytes` unspecified, when a character of the text
// has no form in the encoding; `unencodable` is then that character.
bool encodeTextFile(std::u16string_view text, const TextFileFormat& format, std::string& bytes,
                    char32_t& unencodable);

// "LF", "CR LF" or "CR".
std::string_view nameOf(LineEnding lineEnding);

}  // namespace parasort::files
