// A text view that passes every call on to another and writes down the
// calls that change something, for tests where the order of the calls is the
// behaviour (approval before change, brackets closed, the selection nudge).
#pragma once

#include "parasort/editor/text_view.h"

#include <string>
#include <vector>

namespace parasort::editor::test {

class RecordingTextView final : public TextView {
 public:
  explicit RecordingTextView(TextView& inner) : inner_(inner), storage_(*this) {}

  std::vector<std::string> calls;

  Range selectedRange() const override { return inner_.selectedRange(); }
  void setSelectedRange(Range range) override { record("select", range), inner_.setSelectedRange(range); }
  Range rangeForUserTextChange() const override { return inner_.rangeForUserTextChange(); }
  Range rangeForUserCharacterAttributeChange() const override { return inner_.rangeForUserCharacterAttributeChange(); }
  Range rangeForUserParagraphAttributeChange() const override { return inner_.rangeForUserParagraphAttributeChange(); }
  bool shouldChangeTextInRange(Range range, std::optional<std::u16string_view> text) override {
    const bool approved = inner_.shouldChangeTextInRange(range, text);
    record(approved ? "approved" : "refused", range);
    return approved;
  }
  void didChangeText() override { calls.emplace_back("didChangeText"), inner_.didChangeText(); }
  TextStorage& textStorage() override { return storage_; }
  const TextStorage& textStorage() const override { return storage_; }
  std::u16string string() const override { return inner_.string(); }
  AttributeDictionary typingAttributes() const override { return inner_.typingAttributes(); }
  void setTypingAttributes(const AttributeDictionary& attributes) override {
    calls.emplace_back("setTypingAttributes"), inner_.setTypingAttributes(attributes);
  }

 private:
  class Storage final : public TextStorage {
   public:
    explicit Storage(RecordingTextView& view) : view_(view) {}
    TextStorage& inner() const { return view_.inner_.textStorage(); }

    Index length() const override { return inner().length(); }
    std::u16string string() const override { return inner().string(); }
    void beginEditing() override { view_.calls.emplace_back("beginEditing"), inner().beginEditing(); }
    void endEditing() override { view_.calls.emplace_back("endEditing"), inner().endEditing(); }
    void replaceCharactersInRange(Range range, std::u16string_view text) override {
      view_.record("replace", range), inner().replaceCharactersInRange(range, text);
    }
    void replaceCharactersInRange(Range range, const AttributedString& text) override {
      view_.record("replace", range), inner().replaceCharactersInRange(range, text);
    }
    AttributedString attributedSubstringFromRange(Range range) const override {
      return inner().attributedSubstringFromRange(range);
    }
    std::optional<AttributeValue> attribute(std::string_view name, Index index, Range* effective) const override {
      return inner().attribute(name, index, effective);
    }
    AttributeDictionary attributesAtIndex(Index index, Range* effective) const override {
      return inner().attributesAtIndex(index, effective);
    }
    void addAttribute(std::string_view name, const AttributeValue& value, Range range) override {
      view_.record("addAttribute", range), inner().addAttribute(name, value, range);
    }
    void addAttributes(const AttributeDictionary& attributes, Range range) override {
      view_.record("addAttributes", range), inner().addAttributes(attributes, range);
    }
    void removeAttribute(std::string_view name, Range range) override {
      view_.record("removeAttribute", range), inner().removeAttribute(name, range);
    }

   private:
    RecordingTextView& view_;
  };

  void record(const std::string& call, Range range) {
    calls.push_back(call + " " + std::to_string(range.location) + "," + std::to_string(range.length));
  }

  TextView& inner_;
  Storage storage_;
};

}  // namespace parasort::editor::test
