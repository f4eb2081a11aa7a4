// The Format menu's character edits on the text view contract: on a
// selection, approved edits undone one at a time; at an insertion point, the
// text typed next.
#include "format_commands.h"
#include "parasort/editor/testing/in_memory_text_view.h"
#include "parasort/editor/text_view_additions.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

namespace FC = parasort::FormatCommands;
namespace editor = parasort::editor;
using FC::Emphasis;

struct Toggled {
  Emphasis emphasis;
  std::string_view attribute;
  editor::AttributeValue on;
};
const Toggled toggled[] = {{Emphasis::Bold, editor::FontWeightAttributeName, std::int64_t{700}},
                           {Emphasis::Italic, editor::ItalicAttributeName, true},
                           {Emphasis::Underline, editor::UnderlineStyleAttributeName, std::int64_t{1}}};

TEST(FormatCommands, EmphasisTogglesOnTheSelectionAsOneUndoableEdit) {
  for (const auto& [emphasis, attribute, on] : toggled) {
    SCOPED_TRACE(std::string(attribute));
    editor::testing::InMemoryTextView view;
    view.textStorage().replaceCharactersInRange({0, 0}, std::u16string_view(u"one two"));
    const auto at = [&](std::size_t index) { return parasort::TQAdditions::attribute(view, attribute, index, nullptr); };
    view.setSelectedRange({4, 3});
    ASSERT_TRUE(FC::toggleEmphasis(view, emphasis));
    EXPECT_EQ(at(5), on);
    EXPECT_EQ(at(0), std::nullopt);
    EXPECT_TRUE(FC::hasEmphasis(view, emphasis));
    ASSERT_TRUE(FC::toggleEmphasis(view, emphasis));
    EXPECT_EQ(at(5), std::nullopt);
    ASSERT_TRUE(view.undo());
    EXPECT_EQ(at(5), on);
    ASSERT_TRUE(FC::applyFont(view, editor::Font{u"DejaVu Serif", 15.0}));
    EXPECT_EQ(parasort::TQAdditions::attribute(view, editor::FontAttributeName, 6, nullptr),
              editor::AttributeValue(editor::Font{u"DejaVu Serif", 15.0}));
    // At an insertion point, in a text or an empty one: the text typed next.
    for (const std::size_t length : {7, 0}) {
      view.textStorage().replaceCharactersInRange({0, view.textStorage().length()}, std::u16string(length, u'x'));
      view.setSelectedRange({length / 2, 0});
      ASSERT_TRUE(FC::toggleEmphasis(view, emphasis));
      EXPECT_EQ(view.typingAttributes().objectForKey(attribute), on);
      EXPECT_TRUE(FC::hasEmphasis(view, emphasis));
    }
    view.setEditable(false);
    EXPECT_FALSE(FC::toggleEmphasis(view, emphasis));
  }
}

}  // namespace
