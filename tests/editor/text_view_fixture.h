// The text view tests' fixture: the QTextEdit adapter, set up from short
// ASCII texts, whose whole state a case reads as one line of text (see
// state()).
#pragma once

#include "random_operations.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>

namespace parasort::editor::test {

inline ParagraphStyle indents(double head, double firstLine, double tab = 0) {
  return {.firstLineHeadIndent = firstLine, .headIndent = head, .defaultTabInterval = tab};
}

inline const AttributeValue kItalic = true;
inline const AttributeValue kBold = std::int64_t{700};

// Text as the tests write it: ASCII, with '|' for the paragraph break both
// views keep as it is (U+2029).
inline std::u16string u16(std::string_view text) {
  std::u16string result;
  for (char c : text) result += c == '|' ? u'\u2029' : static_cast<char16_t>(c);
  return result;
}

inline std::string ascii(std::u16string_view text) {
  std::string result;
  for (char16_t unit : text) result += unit == u'\u2029' ? '|' : static_cast<char>(unit);
  return result;
}

// Attributes in short: i (italic), w700 (weight), P10/20 (paragraph style with
// head and first-line indents; /t36 a tab interval, c centred, + any other
// field set), any other name as it is.
inline std::string shortly(const AttributeDictionary& attributes) {
  std::ostringstream out;
  for (const auto& [name, value] : attributes) {
    out << (out.tellp() > 0 ? "," : "");
    if (const auto* style = std::get_if<ParagraphStyle>(&value)) {
      out << "P" << style->headIndent << "/" << style->firstLineHeadIndent;
      if (style->defaultTabInterval != 0) out << "/t" << style->defaultTabInterval;
      if (style->alignment == TextAlignment::Center) out << "c";
      if (style->tailIndent != 0 || style->paragraphSpacing != 0) out << "+";
    } else if (name == ItalicAttributeName && value == kItalic) {
      out << "i";
    } else if (const auto* weight = std::get_if<std::int64_t>(&value)) {
      out << "w" << *weight;
    } else {
      out << name;
    }
  }
  return out.str();
}

// The whole state of a view: the text ('|' for a paragraph break), each run
// with attributes as (text:attributes), "@" the selection and "T" the typing
// attributes.
inline std::string describe(const TextView& view) {
  std::string out;
  const AttributedString text = wholeText(view);
  for (const auto& run : text.runs()) {
    const std::string units = ascii(text.string().substr(run.range.location, run.range.length));
    out += run.attributes.empty() ? units : "(" + units + ":" + shortly(run.attributes) + ")";
  }
  const Range selection = view.selectedRange();
  out += " @" + std::to_string(selection.location) + "," + std::to_string(selection.length);
  const AttributeDictionary typing = view.typingAttributes();
  return typing.empty() ? out : out + " T{" + shortly(typing) + "}";
}

class TextViewTest : public ::testing::Test {
 protected:
  TextViewTest() { setText(""); }

  // A fresh view holding `text`, with `style` on the paragraphs touching
  // `styled`; set up without approval and outside the undo history.
  void setText(std::string_view text, Range styled = {}, const ParagraphStyle& style = {}) {
    implementation = std::make_unique<EditorUnderTest>();
    asked.clear();
    implementation->view.setApprovalDelegate(
        [this](Range range, std::optional<std::u16string_view> replacement) {
          asked += " ?" + std::to_string(range.location) + "," + std::to_string(range.length);
          if (replacement) asked += "'" + ascii(*replacement) + "'";
          return !refuse(range);
        });
    storage().replaceCharactersInRange({0, 0}, u16(text));
    storage().addAttribute(ParagraphStyleAttributeName, style, styled);
    view().setSelectedRange({0, 0});
    implementation->view.clearUndoHistory();  // the tests' undo starts here
  }

  // The state, and each approval asked since the last call
  // ("?location,length", with the new text in quotes).
  std::string state() { return describe(view()) + std::exchange(asked, ""); }

  void setAttribute(std::string_view name, const AttributeValue& value, Range range) {
    storage().addAttribute(name, value, range);
    implementation->view.clearUndoHistory();
  }

  // Undo and redo leave the selection where each view likes: at the start.
  void undo() { implementation->view.undo(), view().setSelectedRange({0, 0}); }

  TextView& view() { return implementation->view; }
  TextStorage& storage() { return implementation->view.textStorage(); }

  std::unique_ptr<EditorUnderTest> implementation;
  std::function<bool(Range)> refuse = [](Range) { return false; };
  std::string asked;
};

}  // namespace parasort::editor::test
