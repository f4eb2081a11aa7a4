// Random sequences of the text view operations, read from bytes, and the
// properties every step must keep. Shared by the fuzz target (in-memory view
// only) and the test that plays one sequence on both text views at once.
#pragma once

#include "parasort/editor/testing/in_memory_text_view.h"
#include "parasort/editor/text_view_additions.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace parasort::editor::test {

struct InMemoryImplementation {
  static constexpr const char* name = "InMemory";
  testing::InMemoryTextView view;
  bool refuse = false;

  InMemoryImplementation() {
    view.setApprovalDelegate([this](Range, std::optional<std::u16string_view>) { return !refuse; });
  }
  void setEditable(bool editable) { view.setEditable(editable); }
  void forgetHistory() {}
};

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  [[nodiscard]] bool empty() const { return size_ == 0; }
  // A number below `bound`; 0 once the bytes run out.
  std::size_t below(std::size_t bound) {
    if (size_ == 0) return 0;
    --size_;
    return *data_++ % bound;
  }
  template <class T, std::size_t N>
  T pick(const T (&choices)[N]) { return choices[below(N)]; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

enum Kind { Select, Replace, AddAttribute, RemoveAttribute, ActionAdd, ActionRemove, TabInterval,
            Shift, SetTyping, Permissions, Undo, Redo, KindCount };

struct Operation {
  int kind = Select;
  Range range;
  std::u16string text;
  std::string name;
  AttributeValue value;
  double number = 0.0;
  bool attributed = false;
};

inline AttributeValue someValue(Bytes& in, std::string_view name) {
  const double lengths[] = {0.0, 4.0, 12.0, 36.0};
  if (in.below(6) == 0) name = in.below(2) ? "Italic" : "Note";  // a value of another type
  if (name == ParagraphStyleAttributeName) {
    ParagraphStyle style;
    style.headIndent = in.pick(lengths);
    style.firstLineHeadIndent = in.pick(lengths);
    style.defaultTabInterval = in.pick(lengths);
    style.alignment = in.below(2) ? TextAlignment::Center : TextAlignment::Natural;
    return style;
  }
  if (name == FontAttributeName) return Font{u"Serif", in.pick(lengths)};
  if (name == FontWeightAttributeName) return std::int64_t{in.below(2) ? 700 : 400};
  if (name == ItalicAttributeName) return in.below(2) == 1;
  return std::u16string(in.below(2) ? u"x" : u"y");
}

// `lineBreaks`: LF and CR too, which the Qt adapter turns into U+2029.
inline Operation someOperation(Bytes& in, Index length, bool lineBreaks) {
  const std::string_view names[] = {ParagraphStyleAttributeName, FontAttributeName,
                                    FontWeightAttributeName, ItalicAttributeName, "Note"};
  const char16_t units[] = {u'a', u'b', u' ', u'\u2029', u'\n', u'\r'};
  // No NaN: a style holding one equals nothing, not even itself.
  const double numbers[] = {0.0, -5.0, 3.0, 36.0, 18.0, std::numeric_limits<double>::infinity()};
  Operation op;
  op.kind = static_cast<int>(in.below(KindCount));
  // Mostly inside the text, sometimes past it or at NotFound.
  const std::size_t where = in.below(12);
  op.range.location = where == 0 ? NotFound : where == 1 ? length + 1 : in.below(length + 1);
  op.range.length = op.range.location >= length ? in.below(3) : in.below(length - op.range.location + 1);
  for (std::size_t n = in.below(6); n > 0; --n) op.text += units[in.below(lineBreaks ? 6 : 4)];
  op.name = names[in.below(5)];
  op.value = someValue(in, op.name);
  op.number = in.pick(numbers);
  op.attributed = in.below(2) == 1;
  return op;
}

inline AttributedString wholeText(const TextView& view) {
  return view.textStorage().attributedSubstringFromRange({0, view.textStorage().length()});
}

// Plays `op` on `impl` and returns its result (false for operations that
// have none). Reports to `violated` each property the step broke.
template <class Implementation, class Report>
bool play(Implementation& impl, const Operation& op, Report violated) {
  using namespace TQAdditions;
  TextView& view = impl.view;
  const AttributedString before = wholeText(view);
  const Range selection = view.selectedRange();
  switch (op.kind) {
    case Select: view.setSelectedRange(op.range); return false;
    case Replace: {
      const Range target = clampedRange(op.range, before.length());
      AttributedString attributed(op.text, {{AttributeName(op.name), op.value}});
      const bool replaced =
          op.attributed ? actionReplaceCharactersInRange(view, op.range, attributed)
                        : actionReplaceCharactersInRange(view, op.range, op.text);
      const std::u16string text = view.string();
      std::u16string expected = before.string();
      if (!replaced) {
        if (text != expected || view.selectedRange() != target)
          violated("a refused replacement changed the text or selected another range");
        return false;
      }
      expected.replace(target.location, target.length, op.text);
      if (text != expected) violated("the replaced text is not the old one spliced with the new");
      if (view.selectedRange() != Range{target.location, op.text.size()})
        violated("the new text is not selected");
      const AttributedString after = wholeText(view);
      if (after != before) {
        // One step back and forth, attributes and all.
        if (!impl.view.undo() || wholeText(view) != before) violated("undo did not restore");
        if (!impl.view.redo() || wholeText(view) != after) violated("redo did not restore");
        view.setSelectedRange({target.location, op.text.size()});
      }
      return true;
    }
    case AddAttribute: addAttribute(view, op.name, op.value, op.range); return false;
    case RemoveAttribute: removeAttribute(view, op.name, op.range); return false;
    case ActionAdd:
    case ActionRemove: {
      const bool changed = op.kind == ActionAdd ? actionAddAttribute(view, op.name, op.value, op.range)
                                                : actionRemoveAttribute(view, op.name, op.range);
      if (!changed && wholeText(view) != before) violated("a refused attribute edit changed the text");
      return changed;
    }
    case TabInterval: {
      const bool changed = setDefaultTabInterval(view, op.number);
      if (!changed && wholeText(view) != before) violated("a tab interval refused changed the text");
      if (view.selectedRange() != selection) violated("the tab interval moved the selection");
      return changed;
    }
    case Shift: {
      const bool shifted = actionShiftParagraphInSelectedRangeByDelta(view, op.number);
      if (view.string() != before.string() || view.selectedRange() != selection)
        violated("the shift changed the text or the selection");
      return shifted;
    }
    case SetTyping: view.setTypingAttributes({{AttributeName(op.name), op.value}}); return false;
    case Permissions:
      impl.refuse = op.attributed;
      impl.setEditable(op.range.length != 1);
      return false;
    default: {
      // Undo and redo leave the selection where each view likes: put it back.
      const bool done = op.kind == Undo ? impl.view.undo() : impl.view.redo();
      view.setSelectedRange(selection);
      return done;
    }
  }
}

// Every editing bracket is closed within the call that opened it, and the
// storage changes only inside one.
template <class Report>
void checkBrackets(const std::vector<std::string>& calls, Report violated) {
  int depth = 0;
  for (const std::string& call : calls) {
    if (call == "beginEditing") ++depth;
    if (call == "endEditing" && --depth < 0) violated("endEditing without beginEditing");
    const bool changes = call.starts_with("replace ") || call.starts_with("addAttribute") ||
                         call.starts_with("removeAttribute");
    if (changes && depth == 0) violated("storage changed outside an editing bracket");
  }
  if (depth != 0) violated("an editing bracket left open");
}

}  // namespace parasort::editor::test
