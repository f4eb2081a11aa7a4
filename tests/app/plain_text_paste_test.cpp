// Paste into the editor window: whatever the clipboard brings (a web page's
// tables, images and styles, Markdown), the text view takes its plain text,
// with the attributes of the text typed next.
#include "main_interface.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

struct PasteCase {
  const char* name;
  const char* html;      // nullptr: none offered
  const char* markdown;  // nullptr: none offered, else offered first
  const char* plain;
  QString expected;  // the text view's text after the paste, breaks as LF
};

void PrintTo(const PasteCase& tested, std::ostream* out) { *out << tested.name; }

std::unique_ptr<QMimeData> clipboardContents(const PasteCase& c) {
  auto data = std::make_unique<QMimeData>();
  if (c.markdown != nullptr) data->setData(QStringLiteral("text/markdown"), c.markdown);
  if (c.html != nullptr) data->setHtml(QString::fromUtf8(c.html));
  data->setText(QString::fromUtf8(c.plain));
  return data;
}

class PlainTextPaste : public ::testing::TestWithParam<PasteCase> {};

TEST_P(PlainTextPaste, InsertsThePlainTextWithTheTypingAttributesOnly) {
  const PasteCase& c = GetParam();
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  QTextCharFormat typing;
  typing.setFontItalic(true);
  edit.setCurrentCharFormat(typing);
  QApplication::clipboard()->setMimeData(clipboardContents(c).release());

  interface.ui().actionPaste->trigger();

  const QTextDocument& document = *edit.document();
  EXPECT_EQ(edit.toPlainText(), c.expected);
  EXPECT_TRUE(document.rootFrame()->childFrames().isEmpty()) << "a table or frame came in";
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    EXPECT_EQ(block.blockFormat(), QTextBlockFormat()) << "a foreign paragraph format came in";
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      EXPECT_FALSE(format.isImageFormat()) << "an image came in";
      EXPECT_EQ(format, typing) << "not the typing attributes: "
                                << it.fragment().text().toStdString();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    FromTheClipboard, PlainTextPaste,
    ::testing::Values(
        PasteCase{"WebTable",
                  "<table><tr><td>pear</td><td>apple</td></tr><tr><td>fig</td><td>kiwi</td></tr></table>",
                  nullptr, "pear\tapple\nfig\tkiwi", QStringLiteral("pear\tapple\nfig\tkiwi")},
        PasteCase{"Image", "<p>before<img src=\"data:image/png;base64,iVBORw0KGgo=\">after</p>", nullptr,
                  "beforeafter", QStringLiteral("beforeafter")},
        PasteCase{"StyledText",
                  "<h1 style=\"margin-left:40px\">Title</h1><p><b style=\"color:red\">big</b> "
                  "<span style=\"font-family:serif;font-size:30pt\">words</span></p>",
                  nullptr, "Title\nbig words", QStringLiteral("Title\nbig words")},
        PasteCase{"MarkdownTableFirst", nullptr, "| a | b |\n|---|---|\n| 1 | 2 |\n",
                  "| a | b |\n|---|---|\n| 1 | 2 |\n", QStringLiteral("| a | b |\n|---|---|\n| 1 | 2 |\n")},
        PasteCase{"PlainTextCrLf", nullptr, nullptr, "b\r\na\r\n", QStringLiteral("b\na\n")}),
    [](const ::testing::TestParamInfo<PasteCase>& tested) { return std::string(tested.param.name); });

}  // namespace
