// Where the order of calls on the text view is the behaviour: approval comes
// before any change, every editing bracket is closed in the call that opened
// it, and the indent shift moves the selection away and back.
#include "recording_text_view.h"
#include "text_view_fixture.h"

namespace parasort::editor::test {
namespace {

using namespace TQAdditions;
using Calls = std::vector<std::string>;

template <class Implementation>
class CallOrder : public TextViewTest<Implementation> {
 protected:
  RecordingTextView recorder{this->view()};
};
TYPED_TEST_SUITE(CallOrder, Implementations, ImplementationNames);

TYPED_TEST(CallOrder, AReplacementIsApprovedThenBracketedThenSelectedThenAnnounced) {
  this->setText(u"abcdef");
  actionReplaceCharactersInRange(this->recorder, {1, 2}, std::u16string(u"XYZ"));
  EXPECT_EQ(this->recorder.calls,
            (Calls{"select 1,2", "approved 1,2", "beginEditing", "replace 1,2", "endEditing",
                   "select 1,3", "didChangeText"}));
}

TYPED_TEST(CallOrder, ARefusedReplacementOnlySelects) {
  this->setText(u"abcdef");
  this->countApprovals([](Range) { return true; });
  actionReplaceCharactersInRange(this->recorder, {1, 2}, std::u16string(u"XYZ"));
  EXPECT_EQ(this->recorder.calls, (Calls{"select 1,2", "refused 1,2"}));
}

TYPED_TEST(CallOrder, TheTabLoopAnnouncesEachParagraphInsideOneBracket) {
  this->setText(u"a" + PS + u"b");
  this->countApprovals([](Range range) { return range.location == 2; });
  setDefaultTabInterval(this->recorder, 30);
  EXPECT_EQ(this->recorder.calls,
            (Calls{"beginEditing", "approved 0,2", "addAttribute 0,2", "didChangeText",
                   "refused 2,1", "endEditing"}));
}

TYPED_TEST(CallOrder, TheShiftLoopAsksBeforeEachParagraphChanges) {
  this->setText(u"a" + PS + u"b");
  this->view().setSelectedRange({0, 3});
  actionShiftParagraphInSelectedRangeByDelta(this->recorder, 4);
  EXPECT_EQ(this->recorder.calls,
            (Calls{"beginEditing", "approved 0,2", "addAttribute 0,2", "didChangeText",
                   "approved 2,1", "addAttribute 2,1", "didChangeText", "endEditing",
                   "select 0,2", "select 0,3"}));
}

TYPED_TEST(CallOrder, AnApprovedAttributeEditWritesInsideOneBracket) {
  this->setText(u"abcdef");
  actionRemoveAttribute(this->recorder, ItalicAttributeName, {2, 2});
  EXPECT_EQ(this->recorder.calls,
            (Calls{"select 2,2", "approved 2,2", "beginEditing", "removeAttribute 2,2",
                   "endEditing", "didChangeText"}));
}

TYPED_TEST(CallOrder, TheShiftNudgesTheSelectionToANeighbourAndBack) {
  const auto nudge = [this](Range selection) {
    this->view().setSelectedRange(selection);
    this->recorder.calls.clear();
    actionShiftParagraphInSelectedRangeByDelta(this->recorder, 1);
    Calls selections;
    for (const auto& call : this->recorder.calls)
      if (call.starts_with("select")) selections.push_back(call);
    return selections;
  };
  this->setText(u"abcdefghij");
  EXPECT_EQ(nudge({5, 3}), (Calls{"select 5,2", "select 5,3"}));
  EXPECT_EQ(nudge({4, 0}), (Calls{"select 3,0", "select 4,0"}));
  EXPECT_EQ(nudge({0, 0}), (Calls{"select 1,0", "select 0,0"}));
  this->setText(u"");
  EXPECT_EQ(nudge({0, 0}), (Calls{"select 0,0", "select 0,0"}));
}

TYPED_TEST(CallOrder, ARefusedTypingShiftStillNudgesAndSucceeds) {
  this->countApprovals([](Range) { return true; });
  EXPECT_TRUE(actionShiftParagraphInSelectedRangeByDelta(this->recorder, 3));
  EXPECT_EQ(this->recorder.calls, (Calls{"refused 0,0", "select 0,0", "select 0,0"}));
}

}  // namespace
}  // namespace parasort::editor::test
