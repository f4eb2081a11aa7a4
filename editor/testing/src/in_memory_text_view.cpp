#include "parasort/editor/testing/in_memory_text_view.h"

#include "parasort/editor/paragraph_range.h"

namespace parasort::editor::testing {

// The storage side of the view: forwards to the view's document and tells
// the view's undo grouping about editing brackets.
class InMemoryTextView::Storage final : public TextStorage {
 public:
  explicit Storage(InMemoryTextView& view) : view_(view) {}

  [[nodiscard]] Index length() const override { return view_.document_.length(); }
  [[nodiscard]] std::u16string string() const override { return view_.document_.text(); }

  void beginEditing() override { view_.grouping_.bracketOpened(); }
  void endEditing() override { view_.grouping_.bracketClosed(); }

  void replaceCharactersInRange(Range range, std::u16string_view text) override {
    view_.documentForChange().replace(range, text);
  }
  void replaceCharactersInRange(Range range, const AttributedString& text) override {
    view_.documentForChange().replace(range, text);
  }
  [[nodiscard]] AttributedString attributedSubstringFromRange(Range range) const override {
    return view_.document_.substring(range);
  }

  [[nodiscard]] std::optional<AttributeValue> attribute(std::string_view name, Index index,
                                                        Range* effectiveRange) const override {
    return view_.document_.attributeAt(name, index, effectiveRange);
  }
  [[nodiscard]] AttributeDictionary attributesAtIndex(Index index,
                                                      Range* effectiveRange) const override {
    return view_.document_.attributesAt(index, effectiveRange);
  }

  void addAttribute(std::string_view name, const AttributeValue& value, Range range) override {
    view_.documentForChange().setAttribute(name, value, range);
  }
  void addAttributes(const AttributeDictionary& attributes, Range range) override {
    InMemoryDocument& document = view_.documentForChange();
    for (const auto& [name, value] : attributes) document.setAttribute(name, value, range);
  }
  void removeAttribute(std::string_view name, Range range) override {
    view_.documentForChange().removeAttribute(name, range);
  }

 private:
  InMemoryTextView& view_;
};

InMemoryTextView::InMemoryTextView()
    : grouping_([this] { stepStart_ = document_; },
                [this] {
                  // A step that changed nothing leaves nothing to undo.
                  if (stepStart_ && !(*stepStart_ == document_)) {
                    undoStack_.push_back(std::move(*stepStart_));
                    redoStack_.clear();
                  }
                  stepStart_.reset();
                }),
      storage_(std::make_unique<Storage>(*this)) {}

InMemoryTextView::~InMemoryTextView() = default;

InMemoryDocument& InMemoryTextView::documentForChange() {
  typingCharacterOverride_.reset();
  return document_;
}

void InMemoryTextView::setSelectedRange(Range range) {
  selection_ = clampedRange(range, document_.length());
  typingCharacterOverride_.reset();
}

Range InMemoryTextView::rangeForUserTextChange() const {
  return editable_ ? selection_ : Range{NotFound, 0};
}

Range InMemoryTextView::rangeForUserCharacterAttributeChange() const {
  return editable_ ? selection_ : Range{NotFound, 0};
}

Range InMemoryTextView::rangeForUserParagraphAttributeChange() const {
  return editable_ ? paragraphRangeForRange(document_.text(), selection_) : Range{NotFound, 0};
}

bool InMemoryTextView::shouldChangeTextInRange(
    Range range, std::optional<std::u16string_view> replacementString) {
  if (!editable_) return false;
  if (range.location == NotFound || range.location > document_.length() ||
      range.length > document_.length() - range.location)
    return false;
  if (approvalDelegate_ && !approvalDelegate_(range, replacementString)) return false;
  grouping_.approvalGranted();
  return true;
}

void InMemoryTextView::didChangeText() { grouping_.changeAnnounced(); }

TextStorage& InMemoryTextView::textStorage() { return *storage_; }
const TextStorage& InMemoryTextView::textStorage() const { return *storage_; }

AttributeDictionary InMemoryTextView::typingAttributes() const {
  AttributeDictionary typing = document_.typingAttributesAt(selection_.location);
  if (typingCharacterOverride_ && selection_.length == 0) {
    AttributeDictionary overridden = *typingCharacterOverride_;
    if (auto style = typing.objectForKey(ParagraphStyleAttributeName))
      overridden.setObject(*style, ParagraphStyleAttributeName);
    return overridden;
  }
  return typing;
}

void InMemoryTextView::setTypingAttributes(const AttributeDictionary& attributes) {
  AttributeDictionary characters = documentForChange().setTypingAttributesAt(selection_.location, attributes);
  // Typed text takes the character attributes set here only at an insertion
  // point; a selection keeps giving its own.
  if (selection_.length == 0) typingCharacterOverride_ = std::move(characters);
}

void InMemoryTextView::restore(const InMemoryDocument& document) {
  documentForChange() = document;
  selection_ = clampedRange(selection_, document_.length());
}

bool InMemoryTextView::undo() {
  if (undoStack_.empty()) return false;
  redoStack_.push_back(document_);
  restore(undoStack_.back());
  undoStack_.pop_back();
  return true;
}

bool InMemoryTextView::redo() {
  if (redoStack_.empty()) return false;
  undoStack_.push_back(document_);
  restore(redoStack_.back());
  redoStack_.pop_back();
  return true;
}

}  // namespace parasort::editor::testing
