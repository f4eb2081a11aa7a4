// Random sequences of the text view operations on the in-memory view: no
// crash, every editing bracket closed within the call that opened it, the
// storage changed only inside a bracket, and undo of an approved
// replacement bringing back exactly the text before it.
#include "recording_text_view.h"

#include "parasort/editor/testing/in_memory_text_view.h"
#include "parasort/editor/text_view_additions.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace parasort;
using editor::AttributeValue;
using editor::Index;
using editor::Range;

[[noreturn]] void violated(const char* what) {
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

// Brackets open and close within each operation, and the storage changes
// only inside one.
void checkCalls(const std::vector<std::string>& calls) {
  int depth = 0;
  for (const std::string& call : calls) {
    if (call == "beginEditing") ++depth;
    if (call == "endEditing" && --depth < 0) violated("endEditing without beginEditing");
    const bool changesStorage = call.rfind("replace ", 0) == 0 || call.rfind("addAttribute", 0) == 0 ||
                                call.rfind("removeAttribute", 0) == 0;
    if (changesStorage && depth == 0) violated("storage changed outside an editing bracket");
  }
  if (depth != 0) violated("an editing bracket left open");
}

std::u16string someText(FuzzedDataProvider& data) {
  static constexpr char16_t units[] = {u'a', u'B', u'\u00E9', u' ', u'\n', u'\r', u'\u2029', u'1', u'\xD800'};
  std::u16string text(data.ConsumeIntegralInRange<std::size_t>(0, 6), u'a');
  for (char16_t& unit : text) unit = units[data.ConsumeIntegralInRange<std::size_t>(0, std::size(units) - 1)];
  return text;
}

Range someRange(FuzzedDataProvider& data, Index length) {
  // Mostly inside the text, sometimes past it or at NotFound, which the
  // operations must survive.
  switch (data.ConsumeIntegralInRange(0, 9)) {
    case 0:
      return {editor::NotFound, 0};
    case 1:
      return {length + data.ConsumeIntegralInRange<Index>(0, 3), data.ConsumeIntegralInRange<Index>(0, 3)};
    default: {
      const Index location = data.ConsumeIntegralInRange<Index>(0, length);
      return {location, data.ConsumeIntegralInRange<Index>(0, length - location)};
    }
  }
}

AttributeValue someValue(FuzzedDataProvider& data, std::string_view name) {
  if (name == editor::ParagraphStyleAttributeName) {
    editor::ParagraphStyle style;
    style.headIndent = data.ConsumeFloatingPoint<double>();
    style.firstLineHeadIndent = data.ConsumeFloatingPoint<double>();
    style.defaultTabInterval = data.ConsumeFloatingPoint<double>();
    return style;
  }
  if (name == editor::FontAttributeName) return editor::Font{u"Serif", data.ConsumeFloatingPoint<double>()};
  return data.ConsumeBool();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  editor::testing::InMemoryTextView inner;
  editor::test::RecordingTextView view(inner);
  bool refuse = false;
  inner.setApprovalDelegate([&refuse](Range, std::optional<std::u16string_view>) { return !refuse; });
  static constexpr std::string_view names[] = {editor::ParagraphStyleAttributeName, editor::FontAttributeName,
                                               editor::ItalicAttributeName, "Unknown"};

  for (int step = 0; step < 64 && data.remaining_bytes() > 0; ++step) {
    const Index length = inner.textStorage().length();
    const std::string_view name = names[data.ConsumeIntegralInRange<std::size_t>(0, std::size(names) - 1)];
    view.calls.clear();
    switch (data.ConsumeIntegralInRange(0, 9)) {
      case 0:
        view.setSelectedRange(someRange(data, length));
        break;
      case 1: {
        const std::u16string before = inner.string();
        if (TQAdditions::actionReplaceCharactersInRange(view, someRange(data, length), someText(data))) {
          // A replacement that changed the text is one step back and forth.
          // (One that changed nothing, the empty by the empty, may leave no
          // step at all.)
          const std::u16string after = inner.string();
          if (after != before) {
            if (!inner.undo()) violated("an approved replacement left nothing to undo");
            if (inner.string() != before) violated("undo did not bring back the text");
            if (!inner.redo() || inner.string() != after) violated("redo did not bring back the edit");
          }
        } else if (inner.string() != before) {
          violated("a refused replacement changed the text");
        }
        break;
      }
      case 2:
        (void)TQAdditions::actionAddAttribute(view, name, someValue(data, name), someRange(data, length));
        break;
      case 3:
        (void)TQAdditions::actionRemoveAttribute(view, name, someRange(data, length));
        break;
      case 4:
        (void)TQAdditions::setDefaultTabInterval(view, data.ConsumeFloatingPoint<double>());
        break;
      case 5:
        (void)TQAdditions::actionShiftParagraphInSelectedRangeByDelta(view, data.ConsumeFloatingPoint<double>());
        break;
      case 6:
        TQAdditions::addAttribute(view, name, someValue(data, name), someRange(data, length));
        break;
      case 7:
        refuse = data.ConsumeBool();
        inner.setEditable(data.ConsumeBool() || data.ConsumeBool());
        break;
      case 8:
        (void)(data.ConsumeBool() ? inner.undo() : inner.redo());
        break;
      default: {
        Range effective;
        (void)TQAdditions::attribute(view, name, data.ConsumeIntegralInRange<Index>(0, length + 2), &effective);
        (void)TQAdditions::attributesAtIndex(view, data.ConsumeIntegralInRange<Index>(0, length + 2), &effective);
        (void)TQAdditions::currentSelectionAttributesEffectiveRange(view, &effective);
        (void)TQAdditions::defaultTabInterval(view);
        (void)TQAdditions::selectedAttributedString(view);
        break;
      }
    }
    checkCalls(view.calls);
  }
  return 0;
}
