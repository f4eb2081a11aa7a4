// The editor's document layout against QTextEdit's own: the same paragraphs
// (indents, margins, tab stops, alignment, wrapping, several scripts and
// sizes) must land at the same places, hit the same positions and make the
// same document, however much of it was laid out and after any edit.
#include "parasort/editor/qt/lazy_document_layout.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>
#include <QTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace parasort::editor::qt {
namespace {

struct Paragraph {
  QString text;
  qreal leftMargin = 0;
  int indent = 0;
  qreal textIndent = 0;
  qreal topMargin = 0;
  qreal bottomMargin = 0;
  Qt::Alignment alignment = Qt::AlignLeft;
  qreal tabInterval = 0;  // left tab stops every so many pixels
  qreal pointSize = 0;    // the default font's when 0
};

const QString kLong = QStringLiteral(
    "The quick brown fox jumps over the lazy dog while the band plays on, and on, until dawn.");

// Every kind of paragraph the editor's documents hold.
const std::vector<Paragraph> kParagraphs = {
    {QStringLiteral("AV Ta first line"), 0, 0, 0, 12},
    {kLong},
    {QStringLiteral("indented\tby\ttabs"), 0, 2, 0, 0, 0, Qt::AlignLeft, 37},
    {kLong, 48, 0, 20, 6, 3},
    {QString::fromUtf8("مرحبا بالعالم، هذا نص عربي طويل بما يكفي ليلتف على السطر التالي في المحرر")},
    {QString::fromUtf8("नमस्ते दुनिया, यह देवनागरी है"), 0, 0, 0, 0, 8, Qt::AlignRight},
    {QString::fromUtf8("emoji 👍🏽 👨‍👩‍👧 🇫🇷 whole"), 24, 1, 0, 4, 0, Qt::AlignHCenter},
    {QString()},
    {QStringLiteral("Unbreakablewordthatisfarwiderthanthelineitsitsonandmustbebrokenanywhereatall"), 10},
    {kLong, 0, 0, 0, 0, 0, Qt::AlignJustify, 0, 16},
    {QStringLiteral("last\tone"), 0, 0, 0, 5, 9, Qt::AlignLeft, 50},
};

QTextBlockFormat blockFormatOf(const Paragraph& paragraph) {
  QTextBlockFormat format;
  format.setLeftMargin(paragraph.leftMargin);
  format.setIndent(paragraph.indent);
  format.setTextIndent(paragraph.textIndent);
  format.setTopMargin(paragraph.topMargin);
  format.setBottomMargin(paragraph.bottomMargin);
  format.setAlignment(paragraph.alignment);
  if (paragraph.tabInterval > 0) {
    QList<QTextOption::Tab> tabs;
    for (int i = 1; i <= 12; ++i) tabs.append(QTextOption::Tab(paragraph.tabInterval * i, QTextOption::LeftTab));
    format.setTabPositions(tabs);
  }
  return format;
}

void insert(QTextDocument& document, const std::vector<Paragraph>& paragraphs) {
  QTextCursor cursor(&document);
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    const Paragraph& paragraph = paragraphs[i];
    if (i == 0)
      cursor.setBlockFormat(blockFormatOf(paragraph));
    else
      cursor.insertBlock(blockFormatOf(paragraph));
    QTextCharFormat characters;
    if (paragraph.pointSize > 0) characters.setFontPointSize(paragraph.pointSize);
    cursor.insertText(paragraph.text, characters);
  }
}

void build(QTextDocument& document, const std::vector<Paragraph>& paragraphs, qreal width) {
  document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 11));
  document.setTextWidth(width);
  insert(document, paragraphs);
}

// A document like `original`, paragraph for paragraph and run for run.
void copy(const QTextDocument& original, QTextDocument& document) {
  document.setDefaultFont(original.defaultFont());
  document.setTextWidth(original.textWidth());
  QTextCursor cursor(&document);
  for (QTextBlock block = original.begin(); block.isValid(); block = block.next()) {
    if (block == original.begin())
      cursor.setBlockFormat(block.blockFormat());
    else
      cursor.insertBlock(block.blockFormat(), block.charFormat());
    for (auto run = block.begin(); !run.atEnd(); ++run)
      cursor.insertText(run.fragment().text(), run.fragment().charFormat());
  }
}

struct Pair {
  QTextDocument ours;
  QTextDocument theirs;
  LazyDocumentLayout* layout = nullptr;
};

std::unique_ptr<Pair> pairOf(const std::vector<Paragraph>& paragraphs, qreal width) {
  auto pair = std::make_unique<Pair>();
  pair->layout = new LazyDocumentLayout(&pair->ours);
  pair->ours.setDocumentLayout(pair->layout);
  build(pair->ours, paragraphs, width);
  build(pair->theirs, paragraphs, width);
  return pair;
}

constexpr qreal kTolerance = 1.0 / 64;

void expectNear(const QRectF& ours, const QRectF& theirs, const std::string& what) {
  EXPECT_NEAR(ours.x(), theirs.x(), kTolerance) << what;
  EXPECT_NEAR(ours.y(), theirs.y(), kTolerance) << what;
  EXPECT_NEAR(ours.width(), theirs.width(), kTolerance) << what;
  EXPECT_NEAR(ours.height(), theirs.height(), kTolerance) << what;
}

// Where the caret at `position` stands, as QTextEdit places it.
QRectF caretAt(const QTextDocument& document, int position) {
  const QTextBlock block = document.findBlock(position);
  const QRectF box = document.documentLayout()->blockBoundingRect(block);
  const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
  return {box.x() + line.cursorToX(position - block.position()), box.y() + line.y(), 1, line.height()};
}

// Every paragraph's box, every caret place, and hits on a grid over the
// whole document, as Qt's own layout gives them.
void expectSameAsQt(QTextDocument& ours, QTextDocument& theirs, const std::string& when) {
  ASSERT_EQ(ours.blockCount(), theirs.blockCount()) << when;
  for (int i = 0; i < ours.blockCount(); ++i)
    expectNear(ours.documentLayout()->blockBoundingRect(ours.findBlockByNumber(i)),
               theirs.documentLayout()->blockBoundingRect(theirs.findBlockByNumber(i)),
               when + ", paragraph " + std::to_string(i));
  for (int position = 0; position < ours.characterCount(); ++position)
    expectNear(caretAt(ours, position), caretAt(theirs, position), when + ", caret " + std::to_string(position));
  const QSizeF size = theirs.documentLayout()->documentSize();
  EXPECT_NEAR(ours.documentLayout()->documentSize().width(), size.width(), kTolerance) << when;
  EXPECT_NEAR(ours.documentLayout()->documentSize().height(), size.height(), kTolerance) << when;
  for (qreal y = -8; y < size.height() + 8; y += 3)
    for (qreal x = -4; x < size.width() + 4; x += 9)
      for (const auto accuracy : {Qt::FuzzyHit, Qt::ExactHit})
        ASSERT_EQ(ours.documentLayout()->hitTest({x, y}, accuracy),
                  theirs.documentLayout()->hitTest({x, y}, accuracy))
            << when << ", hit at " << x << "," << y << (accuracy == Qt::ExactHit ? " exact" : "");
}

TEST(DocumentLayout, PlacesAndHitsAsQtsOwnAtEveryWidth) {
  for (const qreal width : {180.0, 320.0, 900.0}) {
    const auto pair = pairOf(kParagraphs, width);
    expectSameAsQt(pair->ours, pair->theirs, "width " + std::to_string(width));
  }
}

TEST(DocumentLayout, HitsBeforeAnyParagraphIsLaidOut) {
  const auto pair = pairOf(kParagraphs, 320);
  // Asked for the hits first, then for the boxes.
  const QSizeF size = pair->theirs.documentLayout()->documentSize();
  for (qreal y = -8; y < size.height() + 8; y += 5)
    EXPECT_EQ(pair->ours.documentLayout()->hitTest({50, y}, Qt::FuzzyHit),
              pair->theirs.documentLayout()->hitTest({50, y}, Qt::FuzzyHit))
        << y;
}

// The same paragraphs in two text views, one on each layout, a selection
// across several of them and the view scrolled part way: the same pixels.
TEST(DocumentLayout, DrawsWhatQtsOwnDraws) {
  std::array<QTextEdit, 2> views;
  for (QTextEdit& view : views) {
    if (&view == &views[0]) LazyDocumentLayout::install(*view.document());
    view.resize(320, 240);
    view.document()->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    insert(*view.document(), kParagraphs);
    QTextCursor selection(view.document());
    selection.setPosition(view.document()->findBlockByNumber(1).position() + 5);
    selection.setPosition(view.document()->findBlockByNumber(6).position() + 3, QTextCursor::KeepAnchor);
    view.setTextCursor(selection);
  }
  // The scroll range is the whole document's once every paragraph is laid
  // out (an estimate before).
  views[0].document()->findChild<LazyDocumentLayout*>()->layOutAll();
  QCoreApplication::processEvents();
  for (const int scrolled : {0, 90}) {
    std::array<QImage, 2> drawn;
    for (std::size_t i = 0; i < views.size(); ++i) {
      views[i].verticalScrollBar()->setValue(scrolled);
      drawn[i] = views[i].grab().toImage();
    }
    EXPECT_EQ(views[0].verticalScrollBar()->maximum(), views[1].verticalScrollBar()->maximum());
    EXPECT_TRUE(drawn[0] == drawn[1]) << "scrolled by " << scrolled;
  }
}

// An edit, and the paragraphs it lays out again at most (a change that ends
// where a paragraph starts counts that one too).
struct Edit {
  const char* name;
  std::function<void(QTextDocument&)> apply;
  std::size_t relaidAtMost;
};

QTextCursor at(QTextDocument& document, int block, int offset) {
  QTextCursor cursor(&document);
  cursor.setPosition(document.findBlockByNumber(block).position() + offset);
  return cursor;
}

const std::vector<Edit> kEdits = {
    {"a character typed", [](QTextDocument& d) { at(d, 1, 10).insertText("x"); }, 1},
    {"a paragraph broken in two", [](QTextDocument& d) { at(d, 3, 20).insertText("\n"); }, 2},
    {"two paragraphs joined",
     [](QTextDocument& d) {
       QTextCursor c = at(d, 2, 0);
       c.movePosition(QTextCursor::EndOfBlock);
       c.deleteChar();
     },
     1},
    {"a paragraph with a bottom margin joined with the next",
     [](QTextDocument& d) {
       QTextBlock devanagari = d.begin();
       while (!devanagari.text().startsWith(QString::fromUtf8("नमस्ते"))) devanagari = devanagari.next();
       QTextCursor c(devanagari);
       c.movePosition(QTextCursor::EndOfBlock);
       c.deleteChar();
     },
     1},
    {"paragraphs removed",
     [](QTextDocument& d) {
       QTextCursor c = at(d, 4, 3);
       c.setPosition(d.findBlockByNumber(6).position() + 2, QTextCursor::KeepAnchor);
       c.removeSelectedText();
     },
     1},
    {"an indent added",
     [](QTextDocument& d) {
       QTextCursor c = at(d, 0, 0);
       QTextBlockFormat format = c.blockFormat();
       format.setIndent(format.indent() + 1);
       c.setBlockFormat(format);
     },
     2},
    {"a bottom margin that moves the next",
     [](QTextDocument& d) {
       QTextCursor c = at(d, 5, 0);
       QTextBlockFormat format = c.blockFormat();
       format.setBottomMargin(30);
       c.setBlockFormat(format);
     },
     2},
    {"a long text pasted", [](QTextDocument& d) { at(d, 7, 0).insertText(kLong + "\n" + kLong); }, 2},
};

TEST(DocumentLayout, AnEditLaysOutOnlyWhatItChangedAndEndsAsAFreshLayout) {
  const auto pair = pairOf(kParagraphs, 320);
  pair->layout->layOutAll();
  for (const Edit& edit : kEdits) {
    const std::size_t before = pair->layout->layoutCount();
    edit.apply(pair->ours);
    EXPECT_LE(pair->layout->layoutCount() - before, edit.relaidAtMost) << edit.name;
    QTextDocument fresh;
    copy(pair->ours, fresh);
    expectSameAsQt(pair->ours, fresh, edit.name);
  }
}

TEST(DocumentLayout, ALongTextIsLaidOutOnlyWhereAsked) {
  // Inserted at once, as a paste or a new document takes it, in the
  // document's font and in a larger one.
  QStringList lines(20000, QStringLiteral("a line of text"));
  lines[12345] = kLong + kLong;
  for (const qreal pointSize : {0.0, 20.0}) {
    SCOPED_TRACE(pointSize);
    const auto pair = pairOf({}, 320);
    QTextCharFormat format;
    if (pointSize > 0) format.setFontPointSize(pointSize);
    QTextCursor(&pair->ours).insertText(lines.join(u'\n'), format);
    QTextCursor(&pair->theirs).insertText(lines.join(u'\n'), format);
    const std::size_t before = pair->layout->layoutCount();
    // What QTextEdit asks to show a selection of all of it, and its caret.
    const QRectF last = pair->ours.documentLayout()->blockBoundingRect(pair->ours.lastBlock());
    (void)pair->ours.documentLayout()->blockBoundingRect(pair->ours.firstBlock());
    EXPECT_LE(pair->layout->layoutCount() - before, 2u);
    // The estimate is off by the wrapped paragraph's lines at most.
    const QRectF theirs = pair->theirs.documentLayout()->blockBoundingRect(pair->theirs.lastBlock());
    EXPECT_NEAR(theirs.y(), last.y(), 2 * last.height());
    // Laid out, the wrapped one moves what follows to where Qt puts it.
    (void)pair->ours.documentLayout()->blockBoundingRect(pair->ours.findBlockByNumber(12345));
    expectNear(pair->ours.documentLayout()->blockBoundingRect(pair->ours.lastBlock()), theirs, "the last");
    EXPECT_LE(pair->layout->layoutCount() - before, 3u);
  }
}

}  // namespace
}  // namespace parasort::editor::qt
