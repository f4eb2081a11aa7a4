// The three services as a requesting application sees them: what its
// pasteboard holds afterwards, and what its error location says.
#include "parasort/services/memory_pasteboard.h"
#include "parasort/services/system_service_provider.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using parasort::MemoryPasteboard;
using Entries = std::vector<MemoryPasteboard::Entry>;
namespace provider = parasort::SystemServiceProvider;

// Which transform each entry point runs (the transforms are the engine's);
// the result replaces every type offered. Without plain text each one fails,
// says why when it is given where, and touches nothing.
TEST(ParagraphServices, EachEntryPointsResultOrRefusal) {
  const Entries richAndPlain{{"text/html", u"<i>b</i><br><i>a</i>"}, {"text/plain", u"b\na\nb"}};
  const struct {
    void (*service)(parasort::Pasteboard&, std::u16string_view, parasort::ServiceError*);
    Entries before;
    std::u16string_view error;  // empty: succeeds, giving `after`
    std::u16string after;
  } cases[] = {
      {&provider::sspSortParagraphsAscending, richAndPlain, u"", u"a\nb\nb"},
      {&provider::sspSortParagraphsDescending, richAndPlain, u"", u"b\nb\na"},
      {&provider::sspUniqueParagraphs, richAndPlain, u"", u"a\nb"},
      {&provider::sspSortParagraphsAscending, {{"image/png", u"\u0089PNG"}}, u"Unsupported data type", {}},
      {&provider::sspSortParagraphsDescending, {}, u"Unsupported data type", {}},
      {&provider::sspUniqueParagraphs, {{"text/html", u"<i>b</i>"}, {"text/plain", std::nullopt}}, u"No String Data", {}},
  };
  for (const auto& [service, before, message, after] : cases) {
    SCOPED_TRACE(testing::Message() << before.size() << " types, " << after.size());
    MemoryPasteboard pasteboard(before);
    parasort::ServiceError error = u"set by the caller";
    service(pasteboard, u"user data", &error);
    if (message.empty()) {
      EXPECT_EQ(error, u"set by the caller");
      EXPECT_EQ(pasteboard.entries(), (Entries{{"text/plain", after}}));
    } else {
      EXPECT_EQ(error, message);
      service(pasteboard, u"", nullptr);  // no error location: fails quietly
      EXPECT_EQ(pasteboard.entries(), before);
      EXPECT_EQ(pasteboard.changeCount(), 0u);
    }
  }
}

}  // namespace
