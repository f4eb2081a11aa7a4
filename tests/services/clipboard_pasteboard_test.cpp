#include "parasort/services/qt/clipboard_pasteboard.h"
#include "parasort/services/system_service_provider.h"
#include "text_listed_but_not_given.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Types = std::vector<std::string>;

class ClipboardPasteboard : public ::testing::Test {
 protected:
  void SetUp() override { clipboard.clear(); }

  // What another application puts on the clipboard (which owns the data).
  void offer(const QString& format, const QByteArray& contents) {
    auto* data = new QMimeData;
    data->setData(format, contents);
    clipboard.setMimeData(data);
  }

  QClipboard& clipboard = *QGuiApplication::clipboard();
  parasort::ClipboardPasteboard pasteboard{clipboard};
};

TEST_F(ClipboardPasteboard, GivesTheClipboardsFormatsAndOnlyTheTextItReallyHas) {
  EXPECT_EQ(pasteboard.types(), Types{});
  EXPECT_EQ(pasteboard.stringForType("text/plain"), std::nullopt);

  clipboard.setText(QStringLiteral("\u00E9t\u00E9 \U0001F600"));
  EXPECT_EQ(pasteboard.types(), Types{"text/plain"});
  EXPECT_EQ(pasteboard.stringForType("text/plain"), u"\u00E9t\u00E9 \U0001F600");

  offer(QStringLiteral("image/png"), QByteArray("\x89PNG", 4));
  EXPECT_EQ(pasteboard.types(), Types{"image/png"});
  EXPECT_EQ(pasteboard.stringForType("text/plain"), std::nullopt);

  clipboard.setMimeData(new TextListedButNotGiven);
  EXPECT_EQ(pasteboard.types(), Types{"text/plain"});
  EXPECT_EQ(pasteboard.stringForType("text/plain"), std::nullopt);
}

TEST_F(ClipboardPasteboard, SetsOnlyADeclaredTypeAndDeclaringDropsEverythingElse) {
  offer(QStringLiteral("text/html"), "<b>old</b>");
  EXPECT_FALSE(pasteboard.setString(u"x", "text/plain"));
  EXPECT_EQ(clipboard.mimeData()->html(), QStringLiteral("<b>old</b>"));

  const Types plainOnly{"text/plain"};
  pasteboard.declareTypes(plainOnly);
  EXPECT_EQ(pasteboard.types(), plainOnly);
  EXPECT_TRUE(pasteboard.setString(u"new\u2029\U0001F600", "text/plain"));
  EXPECT_EQ(pasteboard.types(), plainOnly);
  EXPECT_EQ(clipboard.text(), QStringLiteral("new\u2029\U0001F600"));

  EXPECT_TRUE(pasteboard.setString(u"", "text/plain"));
  EXPECT_EQ(pasteboard.stringForType("text/plain"), u"");  // empty, yet a string
}

// A failing service leaving the clipboard alone is checked on the bus
// (paragraph_services_bus_test.cpp), through this same pasteboard.
TEST_F(ClipboardPasteboard, AServiceLeavesPlainTextOnly) {
  auto* rich = new QMimeData;
  rich->setHtml(QStringLiteral("<i>b</i><br><i>a</i><br><i>b</i>"));
  rich->setText(QStringLiteral("b\na\nb"));
  clipboard.setMimeData(rich);
  parasort::SystemServiceProvider::sspUniqueParagraphs(pasteboard, u"", nullptr);
  EXPECT_EQ(clipboard.mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
  EXPECT_EQ(clipboard.text(), QStringLiteral("a\nb"));
}

}  // namespace
