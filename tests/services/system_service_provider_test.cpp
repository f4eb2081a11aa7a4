// The three entry points as a requesting application sees them: what its
// pasteboard holds afterwards, and what its error location says.
#include "parasort/services/memory_pasteboard.h"
#include "parasort/services/system_service_provider.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Entries = std::vector<parasort::MemoryPasteboard::Entry>;
namespace provider = parasort::SystemServiceProvider;

// Which transform each entry point runs (the transforms are the engine's);
// the result replaces every type offered. Without plain text each one fails,
// says why when it is given where, and touches nothing.
TEST(ParagraphServices, EachEntryPointsResultOrRefusal) {
  const Entries rich{{"text/html", u"<i>b</i>"}, {"text/plain", u"b\na\nb"}};
  const Entries image{{"image/png", u"\u0089PNG"}};
  const Entries unreadable{{"text/html", u"<i>b</i>"}, {"text/plain", std::nullopt}};
  using EntryPoint = void (*)(parasort::Pasteboard&, std::u16string_view, parasort::ServiceError*);
  const struct { EntryPoint service; Entries before; std::u16string error; Entries after; } cases[] = {
      {&provider::sspSortParagraphsAscending, rich, u"unchanged", {{"text/plain", u"a\nb\nb"}}},
      {&provider::sspSortParagraphsDescending, rich, u"unchanged", {{"text/plain", u"b\nb\na"}}},
      {&provider::sspUniqueParagraphs, rich, u"unchanged", {{"text/plain", u"a\nb"}}},
      {&provider::sspSortParagraphsAscending, image, u"Unsupported data type", image},
      {&provider::sspSortParagraphsDescending, {}, u"Unsupported data type", {}},
      {&provider::sspUniqueParagraphs, unreadable, u"No String Data", unreadable}};
  for (const auto& [service, before, message, after] : cases) {
    parasort::MemoryPasteboard pasteboard(before), quiet(before);
    parasort::ServiceError error = u"unchanged";
    service(pasteboard, u"user data", &error);
    service(quiet, u"", nullptr);  // no error location
    EXPECT_EQ(error, message);
    EXPECT_EQ(pasteboard.entries(), after);
    EXPECT_EQ(quiet.entries(), after);
    EXPECT_EQ(pasteboard.changeCount() == 0, before == after);
  }
}

// A pasteboard that lists and gives text but will not take a result, as a
// clipboard whose new owner could not be started.
class RefusingPasteboard final : public parasort::Pasteboard {
 public:
  std::vector<std::string> types() const override { return {"text/plain"}; }
  std::optional<std::u16string> stringForType(std::string_view) const override { return u"b\na"; }
  void declareTypes(std::span<const std::string>) override {}
  bool setString(std::u16string_view, std::string_view) override { return false; }
};

// A result that was not taken is a failure the caller hears of, never a
// success with the clipboard emptied behind its back.
TEST(ParagraphServices, AResultThePasteboardRefusesIsReported) {
  for (const auto service : {&provider::sspSortParagraphsAscending, &provider::sspSortParagraphsDescending,
                             &provider::sspUniqueParagraphs}) {
    RefusingPasteboard pasteboard;
    parasort::ServiceError error;
    service(pasteboard, u"", &error);
    EXPECT_EQ(error, u"Could not set the clipboard");
  }
}

}  // namespace
