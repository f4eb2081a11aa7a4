// The editor's reading and writing of text files, against the golden table
// in text_files.golden: what each file's bytes are read as, and that saving
// the text unchanged gives the same bytes back.
#include "parasort/files/text_file_format.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace parasort::files {
namespace {

struct GoldenRow {
  std::string name;
  std::vector<std::string> fields;
};

std::vector<GoldenRow> goldenRows() {
  std::ifstream golden(PARASORT_TEXT_FILES_GOLDEN);
  std::vector<GoldenRow> rows;
  for (std::string line; std::getline(golden, line);) {
    if (line.empty() || line.starts_with('#')) continue;
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
      const std::size_t bar = line.find('|', start);
      std::string field = line.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
      if (field.starts_with(' ')) field.erase(0, 1);
      if (field.ends_with(' ')) field.pop_back();
      fields.push_back(field);
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
    rows.push_back({fields.front(), {fields.begin() + 1, fields.end()}});
  }
  return rows;
}

// The escapes of the table: \n \r \\ \xHH (a byte) \uHHHH (a UTF-16 unit).
template <class String>
String unescaped(const std::string& escaped) {
  String result;
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] != '\\') {
      result += static_cast<typename String::value_type>(static_cast<unsigned char>(escaped[i]));
      continue;
    }
    const char kind = escaped[++i];
    if (kind == 'n') result += '\n';
    else if (kind == 'r') result += '\r';
    else if (kind == '\\') result += '\\';
    else {
      const std::size_t digits = kind == 'x' ? 2 : 4;
      result += static_cast<typename String::value_type>(std::stoul(escaped.substr(i + 1, digits), nullptr, 16));
      i += digits;
    }
  }
  return result;
}

LineEnding lineEndingNamed(const std::string& name) {
  for (const LineEnding ending : {LineEnding::lf, LineEnding::crLf, LineEnding::cr})
    if (nameOf(ending) == name) return ending;
  ADD_FAILURE() << "no line ending " << name;
  return LineEnding::lf;
}

TEST(TextFileFormat, ReadsAndWritesBackEveryFileOfTheGoldenTable) {
  const std::vector<GoldenRow> rows = goldenRows();
  ASSERT_GE(rows.size(), 20u);
  for (const GoldenRow& row : rows) {
    SCOPED_TRACE(row.name);
    const auto bytes = unescaped<std::string>(row.fields[0]);
    const auto read = decodeTextFile(bytes);
    if (row.fields[1] == "binary") {
      ASSERT_TRUE(std::holds_alternative<NotText>(read));
      EXPECT_EQ(std::get<NotText>(read), NotText::binary);
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<DecodedTextFile>(read));
    const DecodedTextFile& file = std::get<DecodedTextFile>(read);
    const TextFileFormat expected{row.fields[1], row.fields[2] == "mark", lineEndingNamed(row.fields[3]),
                                  row.fields[4] == "final"};
    EXPECT_EQ(file.format, expected) << file.format.encoding << " mark " << file.format.byteOrderMark
                                     << " final " << file.format.finalLineEnding;
    EXPECT_EQ(file.text, unescaped<std::u16string>(row.fields[5]));

    std::string written;
    char32_t unencodable = 0;
    ASSERT_TRUE(encodeTextFile(file.text, file.format, written, unencodable));
    EXPECT_EQ(written, row.fields.size() > 6 ? unescaped<std::string>(row.fields[6]) : bytes);
  }
}

// A character that the file's encoding has no bytes for is named, and
// nothing is written; the editor's own paragraph separators become the
// file's line ending.
TEST(TextFileFormat, WritesWhatTheEncodingHoldsAndNamesWhatItDoesNot) {
  struct Case {
    std::u16string text;
    TextFileFormat format;
    std::string written;  // empty: refused
    char32_t unencodable;
  };
  const Case cases[] = {
      {u"5 \u20AC", {"ISO-8859-1", false, LineEnding::lf, true}, "", U'\u20AC'},
      {u"a\U0001F600b", {"windows-1252", false, LineEnding::lf, false}, "", U'\U0001F600'},
      {u"5 \u20AC", {"windows-1252", false, LineEnding::lf, false}, "5 \x80", 0},
      {u"a\u2029b\r\nc", {"UTF-8", false, LineEnding::crLf, true}, "a\r\nb\r\nc\r\n", 0},
      {u"\u00E9", {"UTF-16BE", true, LineEnding::cr, true}, std::string("\xFE\xFF\x00\xE9\x00\r", 6), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format.encoding);
    std::string written;
    char32_t unencodable = 0;
    EXPECT_EQ(encodeTextFile(c.text, c.format, written, unencodable), !c.written.empty());
    if (c.written.empty())
      EXPECT_EQ(unencodable, c.unencodable);
    else
      EXPECT_EQ(written, c.written);
  }
}

}  // namespace
}  // namespace parasort::files
