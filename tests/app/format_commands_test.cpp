// The Format menu's character edits on the text view contract: what the
// selection (or the text typed next) looks like afterwards, and undo.
#include "format_commands.h"
#include "parasort/editor/testing/in_memory_text_view.h"
#include "parasort/editor/text_view_additions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

namespace {

using parasort::FormatCommands::Emphasis;
using parasort::editor::Font;
using parasort::editor::valueAs;
namespace TQ = parasort::TQAdditions;

class FormatCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    view.textStorage().replaceCharactersInRange({0, 0}, std::u16string_view(u"one two"));
  }
  template <class T>
  std::optional<T> at(std::string_view name, std::size_t index) const {
    return valueAs<T>(TQ::attribute(view, name, index, nullptr));
  }

  parasort::editor::testing::InMemoryTextView view;
};

TEST_F(FormatCommands, BoldTogglesOnTheSelectionAsOneUndoableEdit) {
  view.setSelectedRange({0, 3});
  ASSERT_TRUE(parasort::FormatCommands::toggleEmphasis(view, Emphasis::Bold));
  EXPECT_EQ(at<std::int64_t>(parasort::editor::FontWeightAttributeName, 0), 700);
  EXPECT_EQ(at<std::int64_t>(parasort::editor::FontWeightAttributeName, 4), std::nullopt);
  EXPECT_TRUE(parasort::FormatCommands::hasEmphasis(view, Emphasis::Bold));

  ASSERT_TRUE(parasort::FormatCommands::toggleEmphasis(view, Emphasis::Bold));
  EXPECT_FALSE(parasort::FormatCommands::hasEmphasis(view, Emphasis::Bold));
  ASSERT_TRUE(view.undo());
  EXPECT_TRUE(parasort::FormatCommands::hasEmphasis(view, Emphasis::Bold));
  ASSERT_TRUE(view.undo());
  EXPECT_EQ(at<std::int64_t>(parasort::editor::FontWeightAttributeName, 0), std::nullopt);
}

TEST_F(FormatCommands, ItalicAndUnderlineAreSetAndCleared) {
  view.setSelectedRange({4, 3});
  parasort::FormatCommands::toggleEmphasis(view, Emphasis::Italic);
  parasort::FormatCommands::toggleEmphasis(view, Emphasis::Underline);
  EXPECT_EQ(at<bool>(parasort::editor::ItalicAttributeName, 5), true);
  EXPECT_EQ(at<std::int64_t>(parasort::editor::UnderlineStyleAttributeName, 5), 1);
  EXPECT_EQ(at<bool>(parasort::editor::ItalicAttributeName, 0), std::nullopt);
  parasort::FormatCommands::toggleEmphasis(view, Emphasis::Underline);
  EXPECT_EQ(at<std::int64_t>(parasort::editor::UnderlineStyleAttributeName, 5), std::nullopt);
}

TEST_F(FormatCommands, AtAnInsertionPointOnlyTheTextTypedNextChanges) {
  view.setSelectedRange({3, 0});
  ASSERT_TRUE(parasort::FormatCommands::toggleEmphasis(view, Emphasis::Italic));
  EXPECT_EQ(valueAs<bool>(view.typingAttributes().objectForKey(parasort::editor::ItalicAttributeName)), true);
  EXPECT_TRUE(parasort::FormatCommands::hasEmphasis(view, Emphasis::Italic));
  EXPECT_EQ(at<bool>(parasort::editor::ItalicAttributeName, 2), std::nullopt);
  EXPECT_FALSE(view.undo());
}

TEST_F(FormatCommands, AFontGoesToTheSelection) {
  view.setSelectedRange({0, 3});
  ASSERT_TRUE(parasort::FormatCommands::applyFont(view, Font{u"DejaVu Serif", 15.0}));
  EXPECT_EQ(at<Font>(parasort::editor::FontAttributeName, 1), (Font{u"DejaVu Serif", 15.0}));
  EXPECT_EQ(at<Font>(parasort::editor::FontAttributeName, 4), std::nullopt);
}

TEST_F(FormatCommands, ARefusedEditChangesNothing) {
  view.setSelectedRange({0, 3});
  view.setEditable(false);
  EXPECT_FALSE(parasort::FormatCommands::toggleEmphasis(view, Emphasis::Bold));
  EXPECT_EQ(at<std::int64_t>(parasort::editor::FontWeightAttributeName, 0), std::nullopt);
}

TEST(FormatCommandsOnAnEmptyText, TheTypingAttributesTakeTheChange) {
  parasort::editor::testing::InMemoryTextView view;
  ASSERT_TRUE(parasort::FormatCommands::toggleEmphasis(view, Emphasis::Bold));
  EXPECT_EQ(valueAs<std::int64_t>(view.typingAttributes().objectForKey(parasort::editor::FontWeightAttributeName)),
            700);
}

}  // namespace
