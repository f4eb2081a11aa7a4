// The paragraph model: what a paragraph is, and how a text is taken apart
// into paragraphs and put back together.
//
// A paragraph is a maximal run of code units without a paragraph terminator,
// together with the terminator that ends it (the last paragraph may have
// none). Exactly four terminators exist: LF, CR (not followed by LF), CR LF
// and U+2029 PARAGRAPH SEPARATOR. Nothing else ends a paragraph: not U+2028,
// not U+0085, not a form feed.
//
// Every operation comes in two code unit flavours with one meaning: UTF-16
// (std::u16string_view, the editor's and the services' text) and UTF-8
// (std::string_view, the command-line filter's text, where U+2029 is the
// three bytes E2 80 A9). Indexes and lengths count code units of the flavour.
// The functions are pure, never throw and never allocate except for the
// returned vector.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace parasort::TQParagraph {

// The contents of every paragraph, in text order, each without its
// terminator, as views into `text`. A terminator at the very end of the text
// adds no empty element; an empty line inside it does. Empty for an empty
// text.
std::vector<std::u16string_view> paragraphStrings(std::u16string_view text);
std::vector<std::string_view> paragraphStrings(std::string_view text);

// A new one-unit string holding U+2029.
std::u16string unicodeParaSepString();

// The separator kind of the text: the first terminator found scanning from
// the start ("\n", "\r", "\r\n" or U+2029), or "\n" when there is none. The
// result views a static string, never `text`.
std::u16string_view paragraphSeparater(std::u16string_view text);
std::string_view paragraphSeparater(std::string_view text);

// Whether the text ends with a terminator of any kind.
bool endsParagraphSeparater(std::u16string_view text);
bool endsParagraphSeparater(std::string_view text);

}  // namespace parasort::TQParagraph
