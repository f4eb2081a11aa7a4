// Random sequences of the text view operations, read from bytes, and the
// properties every step must keep.
#pragma once

#include "parasort/editor/qt/text_edit_text_view.h"
#include "parasort/editor/text_view_additions.h"

#include <QTextEdit>

#include <cstdint>
#include <limits>
#include <string>

namespace parasort::editor::test {

// The QTextEdit adapter with an approval that says yes unless told to refuse.
struct EditorUnderTest {
  QTextEdit edit;
  qt::QTextEditTextView view{edit};
  bool refuse = false;

  EditorUnderTest() {
    view.setApprovalDelegate([this](Range, std::optional<std::u16string_view>) { return !refuse; });
  }
  void setEditable(bool editable) { edit.setReadOnly(!editable); }
};

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), end_(data + size) {}
  [[nodiscard]] bool empty() const { return data_ == end_; }
  // A number below `bound`; 0 once the bytes run out.
  std::size_t below(std::size_t bound) { return empty() ? 0 : *data_++ % bound; }
  template <class T, std::size_t N>
  T pick(const T (&choices)[N]) { return choices[below(N)]; }

 private:
  const std::uint8_t* data_;
  const std::uint8_t* end_;
};

inline AttributedString wholeText(const TextView& view) {
  return view.textStorage().attributedSubstringFromRange({0, view.textStorage().length()});
}

// Plays the operation the next bytes tell on `impl` and checks what it
// promises, reporting each broken promise to `violated`; returns its result
// (false for those without one).
template <class Report>
bool playOne(EditorUnderTest& impl, Bytes& in, Report violated) {
  using namespace TQAdditions;
  const double lengths[] = {0.0, 4.0, 12.0, 36.0};
  const double numbers[] = {0.0, -5.0, 3.0, 36.0, std::numeric_limits<double>::infinity()};
  const std::string_view names[] = {ParagraphStyleAttributeName, FontAttributeName, FontWeightAttributeName,
                                    ItalicAttributeName, UnderlineStyleAttributeName,
                                    ForegroundColorAttributeName, "Note"};
  TextView& view = impl.view;
  const AttributedString before = wholeText(view);
  const Range selection = view.selectedRange();
  const Index length = before.length();
  // Mostly inside the text, sometimes past it or at NotFound.
  const std::size_t where = in.below(12);
  Range range{where == 0 ? NotFound : where == 1 ? length + 1 : in.below(length + 1), 0};
  range.length = range.location >= length ? in.below(3) : in.below(length - range.location + 1);
  std::u16string text;
  for (std::size_t n = in.below(6); n > 0; --n) text += u"ab \u2029"[in.below(4)];
  const std::string_view name = in.pick(names);
  AttributeValue value = std::u16string(u"note");  // sometimes of another type than the name's
  if (name == ParagraphStyleAttributeName && in.below(6) != 0) {
    value = ParagraphStyle{.alignment = in.below(2) ? TextAlignment::Center : TextAlignment::Natural,
                           .firstLineHeadIndent = in.pick(lengths), .headIndent = in.pick(lengths),
                           .defaultTabInterval = in.pick(lengths)};
  } else if (name == FontAttributeName) {
    value = Font{u"Serif", in.pick(lengths)};
  } else if (name == FontWeightAttributeName || name == UnderlineStyleAttributeName) {
    const auto level = static_cast<std::int64_t>(in.below(2));  // weight 400 or 700, underline 0 or 1
    value = name == FontWeightAttributeName ? 400 + 300 * level : level;
  } else if (name == ForegroundColorAttributeName) {
    value = Color{.red = static_cast<std::uint8_t>(in.below(256)), .alpha = 128};
  } else if (name == ItalicAttributeName) {
    value = in.below(2) == 1;
  }
  // No NaN: a style holding one equals nothing, not even itself.
  const double number = in.pick(numbers);
  const bool flag = in.below(2) == 1;

  switch (in.below(10)) {
    case 0: view.setSelectedRange(range); return false;
    case 1: {
      const Range target = clampedRange(range, length);
      const bool replaced =
          flag ? actionReplaceCharactersInRange(view, range, AttributedString(text, {{AttributeName(name), value}}))
               : actionReplaceCharactersInRange(view, range, text);
      std::u16string expected = before.string();
      if (replaced) expected.replace(target.location, target.length, text);
      if (view.string() != expected) violated("the text is not the old one with the new spliced in");
      if (view.selectedRange() != Range{target.location, replaced ? text.size() : target.length})
        violated("the new text, or the range refused, is not selected");
      const AttributedString after = wholeText(view);
      if (replaced && after != before) {  // one step back and forth, attributes and all
        if (!impl.view.undo() || wholeText(view) != before) violated("undo did not restore");
        if (!impl.view.redo() || wholeText(view) != after) violated("redo did not restore");
        view.setSelectedRange({target.location, text.size()});
      }
      return replaced;
    }
    case 2: addAttribute(view, name, value, range); return false;
    case 3: removeAttribute(view, name, range); return false;
    case 4: view.setTypingAttributes({{AttributeName(name), value}}); return false;
    case 5:
      impl.refuse = flag;
      impl.setEditable(range.length != 1);
      return false;
    default: {
      const int kind = static_cast<int>(in.below(4));
      const bool changed = kind == 0   ? actionAddAttribute(view, name, value, range)
                           : kind == 1 ? actionRemoveAttribute(view, name, range)
                           : kind == 2 ? setDefaultTabInterval(view, number)
                                       : actionShiftParagraphInSelectedRangeByDelta(view, number);
      const AttributedString after = wholeText(view);
      if (!changed && after != before) violated("an edit refused changed the text");
      if (kind >= 2 && view.selectedRange() != selection) violated("the selection moved");
      if (kind == 3 && view.string() != before.string()) violated("the shift changed the text");
      if (after != before) {  // however many paragraphs it touched, one step
        if (!impl.view.undo() || wholeText(view) != before) violated("undo did not restore the edit");
        if (!impl.view.redo() || wholeText(view) != after) violated("redo did not restore the edit");
        view.setSelectedRange(selection);
      }
      return changed;
    }
  }
}

}  // namespace parasort::editor::test
