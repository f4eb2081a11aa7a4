// The Format menu's emphasis on the text view contract: on a selection, an
// approved edit undone in one step; at an insertion point (in a text or an
// empty one), the text typed next. The fonts it applies are checked where the
// font is saved (font_memory_test.cpp).
#include "format_commands.h"
#include "parasort/editor/testing/in_memory_text_view.h"
#include "parasort/editor/text_view_additions.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

namespace FC = parasort::FormatCommands;
namespace editor = parasort::editor;

TEST(FormatCommands, EmphasisTogglesOnTheSelectionOrForTheTextTypedNext) {
  const std::tuple<FC::Emphasis, std::string_view, editor::AttributeValue> toggled[] = {
      {FC::Emphasis::Bold, editor::FontWeightAttributeName, std::int64_t{700}},
      {FC::Emphasis::Italic, editor::ItalicAttributeName, true},
      {FC::Emphasis::Underline, editor::UnderlineStyleAttributeName, std::int64_t{1}}};
  for (const auto& [emphasis, name, on] : toggled) {
    SCOPED_TRACE(std::string(name));
    editor::testing::InMemoryTextView view;
    view.textStorage().replaceCharactersInRange({0, 0}, std::u16string_view(u"one two"));
    const auto at = [&view, name](std::size_t index) { return parasort::TQAdditions::attribute(view, name, index, nullptr); };
    view.setSelectedRange({4, 3});
    ASSERT_TRUE(FC::toggleEmphasis(view, emphasis));
    EXPECT_TRUE(at(5) == on && at(0) == std::nullopt && FC::hasEmphasis(view, emphasis));
    ASSERT_TRUE(FC::toggleEmphasis(view, emphasis));
    EXPECT_TRUE(at(5) == std::nullopt && !FC::hasEmphasis(view, emphasis));
    ASSERT_TRUE(view.undo());
    EXPECT_EQ(at(5), on);
    for (const std::size_t length : {7, 0}) {
      view.textStorage().replaceCharactersInRange({0, view.textStorage().length()}, std::u16string(length, u'x'));
      view.setSelectedRange({length / 2, 0});
      ASSERT_TRUE(FC::toggleEmphasis(view, emphasis));
      EXPECT_TRUE(view.typingAttributes().objectForKey(name) == on && FC::hasEmphasis(view, emphasis)) << length;
    }
    view.setEditable(false);
    EXPECT_FALSE(FC::toggleEmphasis(view, emphasis));
  }
}

}  // namespace
