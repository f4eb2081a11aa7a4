// The clipboard adapter, on the offscreen platform's in-process clipboard.
#include "parasort/services/qt/clipboard_pasteboard.h"
#include "text_listed_but_not_given.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

using Types = std::vector<std::string>;

// The clipboard's formats, and only the text it really gives; a string is
// set only for a declared type, and declaring drops everything else.
TEST(ClipboardPasteboard, ReadsAndWritesTheClipboardsPlainTextOnly) {
  QClipboard& clipboard = *QGuiApplication::clipboard();
  parasort::ClipboardPasteboard pasteboard{clipboard};
  clipboard.clear();
  EXPECT_EQ(pasteboard.types(), Types{});
  clipboard.setText(QStringLiteral("\u00E9t\u00E9 \U0001F600"));
  EXPECT_EQ(pasteboard.stringForType("text/plain"), u"\u00E9t\u00E9 \U0001F600");
  auto* image = new QMimeData;
  image->setData(QStringLiteral("image/png"), "\x89PNG");
  clipboard.setMimeData(image);
  EXPECT_EQ(pasteboard.types(), Types{"image/png"});
  EXPECT_EQ(pasteboard.stringForType("text/plain"), std::nullopt);
  clipboard.setMimeData(new TextListedButNotGiven);
  EXPECT_EQ(pasteboard.types(), Types{"text/plain"});
  EXPECT_EQ(pasteboard.stringForType("text/plain"), std::nullopt);

  auto* rich = new QMimeData;
  rich->setHtml(QStringLiteral("<b>old</b>"));
  clipboard.setMimeData(rich);
  EXPECT_FALSE(pasteboard.setString(u"x", "text/plain"));
  EXPECT_EQ(clipboard.mimeData()->html(), QStringLiteral("<b>old</b>"));
  pasteboard.declareTypes(Types{"text/plain"});
  EXPECT_TRUE(pasteboard.setString(u"new\u2029\U0001F600", "text/plain"));
  EXPECT_EQ(clipboard.mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
  EXPECT_EQ(clipboard.text(), QStringLiteral("new\u2029\U0001F600"));
  EXPECT_TRUE(pasteboard.setString(u"", "text/plain"));
  EXPECT_EQ(pasteboard.stringForType("text/plain"), u"");  // empty, yet a string
}

}  // namespace

int main(int argc, char** argv) {
  // The offscreen platform's clipboard lives in this process only.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
