// The three services as a requesting application sees them: what its
// pasteboard holds afterwards, and what its error location says.
#include "parasort/services/memory_pasteboard.h"
#include "parasort/services/system_service_provider.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using parasort::MemoryPasteboard;
using parasort::ServiceError;
using Entries = std::vector<MemoryPasteboard::Entry>;
namespace provider = parasort::SystemServiceProvider;

using EntryPoint = void (*)(parasort::Pasteboard&, std::u16string_view, ServiceError*);
const std::vector<EntryPoint> everyService{&provider::sspSortParagraphsAscending,
                                           &provider::sspSortParagraphsDescending,
                                           &provider::sspUniqueParagraphs};

Entries plainText(std::u16string text) { return {{"text/plain", std::move(text)}}; }

// The pasteboard after a request that must succeed and keep the caller's error.
Entries afterService(EntryPoint service, const Entries& before, std::u16string_view userData = u"") {
  MemoryPasteboard pasteboard(before);
  ServiceError error = u"set by the caller";
  service(pasteboard, userData, &error);
  EXPECT_EQ(error, u"set by the caller");
  return pasteboard.entries();
}

// Which transform each service runs (the transforms themselves are the
// engine's, tested there); the result replaces every type offered, even
// when the text comes back as it was.
TEST(ParagraphServices, EachServiceReplacesTheTextWithItsResultAsPlainTextOnly) {
  const Entries richAndPlain{{"text/html", u"<i>b</i><br><i>a</i>"}, {"text/plain", u"b\na"}};
  EXPECT_EQ(afterService(&provider::sspSortParagraphsAscending, richAndPlain), plainText(u"a\nb"));
  EXPECT_EQ(afterService(&provider::sspSortParagraphsDescending, richAndPlain), plainText(u"b\na"));
  EXPECT_EQ(afterService(&provider::sspUniqueParagraphs, plainText(u"b\na\nb"), u"any user data"), plainText(u"a\nb"));
  for (const EntryPoint service : everyService)
    EXPECT_EQ(afterService(service, {{"text/rtf", u"{\\rtf1 abc}"}, {"text/plain", u"abc\n"}}), plainText(u"abc\n"));
}

TEST(ParagraphServices, WithoutPlainTextEachServiceFailsAndTouchesNothing) {
  struct Case {
    Entries contents;
    std::u16string_view message;
  };
  const std::vector<Case> cases{
      {{{"image/png", u"\u0089PNG"}}, u"Unsupported data type"},
      {{}, u"Unsupported data type"},
      {{{"text/html", u"<i>b</i>"}, {"text/plain", std::nullopt}}, u"No String Data"},
  };
  for (const Case& failing : cases) {
    for (const EntryPoint service : everyService) {
      MemoryPasteboard pasteboard(failing.contents);
      ServiceError error = u"set by the caller";
      service(pasteboard, u"", &error);
      EXPECT_EQ(error, failing.message);
      service(pasteboard, u"", nullptr);  // no error location: fails quietly
      EXPECT_EQ(pasteboard.entries(), failing.contents);
      EXPECT_EQ(pasteboard.changeCount(), 0u);
    }
  }
}

}  // namespace
