// The contract test suite runs every case against both text views: the
// in-memory one and the QTextEdit adapter.
#pragma once

#include "parasort/editor/paragraph_style.h"
#include "parasort/editor/qt/text_edit_text_view.h"
#include "parasort/editor/testing/in_memory_text_view.h"
#include "parasort/editor/text_view_additions.h"

#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace parasort::editor {

inline void PrintTo(const Range& range, std::ostream* out) {
  *out << "(" << range.location << ", " << range.length << ")";
}

inline void PrintTo(const ParagraphStyle& style, std::ostream* out) {
  *out << "{head " << style.headIndent << ", first " << style.firstLineHeadIndent << ", tab "
       << style.defaultTabInterval << "}";
}

}  // namespace parasort::editor

namespace parasort::editor::test {

struct InMemoryImplementation {
  static constexpr const char* name = "InMemory";
  testing::InMemoryTextView view;

  void setEditable(bool editable) { view.setEditable(editable); }
  void undo() { view.undo(); }
  void redo() { view.redo(); }
  void forgetHistory() {}
};

struct QTextEditImplementation {
  static constexpr const char* name = "QTextEdit";
  QTextEdit edit;
  qt::QTextEditTextView view{edit};

  void setEditable(bool editable) { edit.setReadOnly(!editable); }
  void undo() { view.undo(); }
  void redo() { view.redo(); }
  // Setting up text through the storage is recorded by the view too; the
  // tests' undo starts after it.
  void forgetHistory() { view.clearUndoHistory(); }
};

using Implementations = ::testing::Types<InMemoryImplementation, QTextEditImplementation>;

struct ImplementationNames {
  template <class Implementation>
  static std::string GetName(int) {
    return Implementation::name;
  }
};

// A paragraph break both implementations keep as it is.
inline const std::u16string PS = u"\u2029";

inline ParagraphStyle indents(double head, double firstLine) {
  ParagraphStyle style;
  style.headIndent = head;
  style.firstLineHeadIndent = firstLine;
  return style;
}

inline ParagraphStyle tabInterval(double interval) {
  ParagraphStyle style;
  style.defaultTabInterval = interval;
  return style;
}

inline const AttributeValue kItalic = true;
inline const AttributeValue kBold = std::int64_t{700};

template <class Implementation>
class TextViewTest : public ::testing::Test {
 protected:
  // Puts `text` in place of the whole text, without approval and outside
  // the undo history.
  void setText(std::u16string_view text) {
    storage().replaceCharactersInRange({0, storage().length()}, text);
    view().setSelectedRange({0, 0});
    implementation.forgetHistory();
  }

  void setStyle(Range range, const ParagraphStyle& style) {
    storage().addAttribute(ParagraphStyleAttributeName, style, range);
    implementation.forgetHistory();
  }

  void setAttribute(std::string_view name, const AttributeValue& value, Range range) {
    storage().addAttribute(name, value, range);
    implementation.forgetHistory();
  }

  std::optional<ParagraphStyle> styleAt(Index index) const {
    return valueAs<ParagraphStyle>(
        view().textStorage().attribute(ParagraphStyleAttributeName, index, nullptr));
  }

  std::optional<ParagraphStyle> typingStyle() const {
    return valueAs<ParagraphStyle>(view().typingAttributes().objectForKey(ParagraphStyleAttributeName));
  }

  std::optional<AttributeValue> attributeAt(std::string_view name, Index index) const {
    return view().textStorage().attribute(name, index, nullptr);
  }

  AttributedString wholeText() const {
    return view().textStorage().attributedSubstringFromRange({0, view().textStorage().length()});
  }

  // Counts approvals asked, refusing those `refuse` picks.
  void countApprovals(std::function<bool(Range)> refuse = [](Range) { return false; }) {
    implementation.view.setApprovalDelegate(
        [this, refuse](Range range, std::optional<std::u16string_view> replacement) {
          approvals.push_back(range);
          replacements.push_back(replacement ? std::optional<std::u16string>(*replacement)
                                             : std::nullopt);
          return !refuse(range);
        });
  }

  TextView& view() { return implementation.view; }
  const TextView& view() const { return implementation.view; }
  TextStorage& storage() { return implementation.view.textStorage(); }

  Implementation implementation;
  std::vector<Range> approvals;
  std::vector<std::optional<std::u16string>> replacements;
};

}  // namespace parasort::editor::test
