// A text view kept entirely in memory: the TextView contract, and the
// TextStorage under it, with nothing drawn, for testing code written against
// the contract. It follows the rules the Qt adapter follows and records every
// approved edit for undo. A paragraph break may be any of the four
// terminators; nothing is rewritten.
#pragma once

#include "parasort/editor/paragraph_range.h"
#include "parasort/editor/text_storage.h"
#include "parasort/editor/text_view.h"
#include "parasort/editor/undo_step_grouping.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace parasort::editor::testing {

class InMemoryTextView final : public TextView, public TextStorage {
 public:
  // Asked after the view's own rules allow an edit; false refuses it.
  using ApprovalDelegate =
      std::function<bool(Range range, std::optional<std::u16string_view> replacementString)>;

  InMemoryTextView();
  InMemoryTextView(const InMemoryTextView&) = delete;
  InMemoryTextView& operator=(const InMemoryTextView&) = delete;

  [[nodiscard]] Range selectedRange() const override { return selection_; }
  void setSelectedRange(Range range) override;
  [[nodiscard]] Range rangeForUserTextChange() const override {
    return editable_ ? selection_ : Range{NotFound, 0};
  }
  [[nodiscard]] Range rangeForUserCharacterAttributeChange() const override {
    return rangeForUserTextChange();
  }
  [[nodiscard]] Range rangeForUserParagraphAttributeChange() const override {
    return editable_ ? paragraphRangeForRange(document_.text, selection_) : Range{NotFound, 0};
  }
  [[nodiscard]] bool shouldChangeTextInRange(
      Range range, std::optional<std::u16string_view> replacementString) override;
  void didChangeText() override { calls.emplace_back("didChangeText"), grouping_.changeAnnounced(); }
  [[nodiscard]] TextStorage& textStorage() override { return *this; }
  [[nodiscard]] const TextStorage& textStorage() const override { return *this; }
  [[nodiscard]] std::u16string string() const override { return document_.text; }
  [[nodiscard]] AttributeDictionary typingAttributes() const override;
  void setTypingAttributes(const AttributeDictionary& attributes) override;

  [[nodiscard]] Index length() const override { return document_.text.size(); }
  void beginEditing() override { calls.emplace_back("beginEditing"), grouping_.bracketOpened(); }
  void endEditing() override { calls.emplace_back("endEditing"), grouping_.bracketClosed(); }
  void replaceCharactersInRange(Range range, std::u16string_view text) override;
  void replaceCharactersInRange(Range range, const AttributedString& text) override;
  [[nodiscard]] AttributedString attributedSubstringFromRange(Range range) const override;
  [[nodiscard]] std::optional<AttributeValue> attribute(std::string_view name, Index index,
                                                        Range* effectiveRange) const override;
  [[nodiscard]] AttributeDictionary attributesAtIndex(Index index,
                                                      Range* effectiveRange) const override;
  void addAttribute(std::string_view name, const AttributeValue& value, Range range) override;
  void addAttributes(const AttributeDictionary& attributes, Range range) override {
    for (const auto& [name, value] : attributes) addAttribute(name, value, range);
  }
  void removeAttribute(std::string_view name, Range range) override;

  // A view that is not editable refuses every edit and reports NotFound
  // user-change ranges.
  void setEditable(bool editable) { editable_ = editable; }
  void setApprovalDelegate(ApprovalDelegate delegate) { approvalDelegate_ = std::move(delegate); }

  // Undo and redo of approved edits; false when there is nothing to undo or
  // redo. Text and attributes come back exactly.
  bool undo() { return restore(undoStack_, redoStack_); }
  bool redo() { return restore(redoStack_, undoStack_); }

  // The calls that select, approve or refuse, bracket, change the storage or
  // announce, in order ("approved 0,2", "beginEditing", ...), for tests where
  // the order of the calls is the behaviour.
  std::vector<std::string> calls;

 private:
  struct Document {
    std::u16string text;
    // One dictionary per code unit, and one more for the end of the text
    // that carries only the last paragraph's style (so an empty last
    // paragraph has one).
    std::vector<AttributeDictionary> units{AttributeDictionary{}};
    // What text typed into an empty first paragraph takes; an empty
    // paragraph further on takes the attributes of the terminator before it.
    AttributeDictionary firstParagraphCharacters;

    friend bool operator==(const Document&, const Document&) = default;
  };

  void record(const char* call, Range range) {
    calls.push_back(std::string(call) + " " + std::to_string(range.location) + "," +
                    std::to_string(range.length));
  }
  // The units that make up the paragraphs `range` touches, the end-of-text
  // unit included when the last paragraph is.
  [[nodiscard]] Range paragraphUnits(Range range) const;
  void splice(Range range, std::u16string_view text, std::vector<AttributeDictionary> units);
  [[nodiscard]] AttributeDictionary typingAttributesAt(Index location) const;
  bool restore(std::vector<Document>& from, std::vector<Document>& to);

  Document document_;
  Range selection_;
  // Character attributes set for typing at an insertion point in a
  // non-empty paragraph; forgotten when the selection moves.
  std::optional<AttributeDictionary> typingCharacterOverride_;
  bool editable_ = true;
  ApprovalDelegate approvalDelegate_;
  std::optional<Document> stepStart_;
  std::vector<Document> undoStack_;
  std::vector<Document> redoStack_;
  UndoStepGrouping grouping_;
};

}  // namespace parasort::editor::testing
