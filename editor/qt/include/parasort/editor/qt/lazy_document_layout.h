// A document layout for the editor's plain-text documents that lays out only
// the paragraphs drawn or asked for.
//
// QTextEdit's own layout places every paragraph at an absolute position: a
// whole new text selected is laid out at once to draw its selection, and a
// typed character moves every paragraph after it. This one lays a paragraph
// out as that layout does (block margins, indents, text indents, tab stops,
// alignment, line height, wrapping at the text width, the shaping QTextLayout
// does) when it is drawn, hit or its rectangle asked for; the others count at
// an estimate (their length in average characters over the line width, in
// lines of the font of their paragraph break, looked up for one paragraph
// in 32) until then. The heights stack in a BlockHeights index, so finding a
// paragraph by height and moving those after a changed one cost O(log n). An
// edit lays out again only the paragraphs it touched.
//
// The scroll range settles as paragraphs are laid out: the size is reported
// again once the drawing that laid them out is done. Paragraphs only: frames,
// tables, lists, floats and pages (none of which the editor's documents
// hold) are not laid out, and QTextEdit's fixed column width does not apply.
#pragma once

#include "parasort/editor/block_heights.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QTextOption>

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class QTextBlock;
class QTextDocument;

namespace parasort::editor::qt {

class LazyDocumentLayout : public QAbstractTextDocumentLayout {
  Q_OBJECT
  // Read and set by QTextEdit's control for the caret it draws and scrolls to.
  Q_PROPERTY(int cursorWidth READ cursorWidth WRITE setCursorWidth)

 public:
  // A layout for `document`, which owns it once set with setDocumentLayout().
  explicit LazyDocumentLayout(QTextDocument* document);

  // Gives `document` a layout of this kind unless it has one.
  static void install(QTextDocument& document);

  void draw(QPainter* painter, const PaintContext& context) override;
  [[nodiscard]] int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
  [[nodiscard]] int pageCount() const override { return 1; }
  [[nodiscard]] QSizeF documentSize() const override;
  [[nodiscard]] QRectF frameBoundingRect(QTextFrame* frame) const override;
  [[nodiscard]] QRectF blockBoundingRect(const QTextBlock& block) const override;

  [[nodiscard]] int cursorWidth() const { return cursorWidth_; }
  void setCursorWidth(int width);

  // How many paragraphs have been laid out since the layout was made: what
  // an edit or a query costs.
  [[nodiscard]] std::size_t layoutCount() const { return layoutCount_; }
  // How many paragraphs are laid out now.
  [[nodiscard]] std::size_t laidOutCount() const;
  // Lays out every paragraph now.
  void layOutAll();

 protected:
  void documentChanged(int from, int charsRemoved, int charsAdded) override;

 private:
  // What the document's own settings give every paragraph.
  struct Settings {
    QFont font;
    qreal textWidth = 0;
    qreal margin = 0;
    qreal indentWidth = 0;
    QTextOption option;
    [[nodiscard]] bool operator==(const Settings& other) const;
  };
  [[nodiscard]] Settings currentSettings() const;

  // Whether the paragraphs known are the document's (not so while a change
  // is under way, or before the first).
  [[nodiscard]] bool isCurrent() const;
  void rebuild();
  void relayOutRange(int first, int oldLast, int last);
  // The space above `block` (the larger of its top margin and the bottom
  // margin of the one before) and its estimated height.
  [[nodiscard]] qreal gapAbove(const QTextBlock& block) const;
  [[nodiscard]] qreal estimatedHeight(const QTextBlock& block) const;
  // A line's height and an average character's width in a paragraph's font.
  struct LineMetrics {
    qreal height = 0;
    qreal characterWidth = 0;
  };
  [[nodiscard]] const LineMetrics& lineMetricsOf(const QTextBlock& block) const;
  [[nodiscard]] qreal marginScale() const;
  // The margins of a paragraph format, by the format's index in the document.
  struct Margins {
    int formatIndex = -1;
    qreal top = 0;
    qreal bottom = 0;
    qreal horizontal = 0;  // left and right margins and the indent
  };
  [[nodiscard]] const Margins& marginsOf(const QTextBlock& block) const;
  // Lays `block` (number `index`) out now; returns whether its height changed.
  bool layOut(const QTextBlock& block, std::size_t index) const;
  // Lays `block` out unless it is, and places its QTextLayout where it
  // stands now.
  void place(const QTextBlock& block, std::size_t index) const;
  [[nodiscard]] qreal layoutTop(std::size_t index) const;
  [[nodiscard]] std::size_t indexAt(qreal y) const;
  [[nodiscard]] QTextBlock laidOutBlockAt(qreal y, std::size_t& index) const;
  void drawBlock(QPainter* painter, const PaintContext& context, const QTextBlock& block) const;
  // Lays out as much again above and below what was drawn, so that
  // scrolling on from there finds its paragraphs laid out, and nothing moves
  // under the reader's eyes.
  void layOutAround(qreal top, qreal bottom) const;
  // Reports the size, and asks to draw again from `top` down, after
  // paragraphs laid out for a drawing or a query moved what follows them.
  void reportMovesLater(qreal top) const;

  Settings settings_;
  int cursorWidth_ = 1;
  // Per paragraph, by number: the space above it, and whether it is laid out.
  mutable std::vector<qreal> gaps_;
  mutable std::vector<std::uint8_t> laidOut_;
  // Per paragraph, the space above it and its height (laid out or estimated).
  mutable BlockHeights heights_;
  mutable qreal widest_ = 0;  // the widest line laid out, margins included
  mutable std::size_t layoutCount_ = 0;
  mutable std::array<Margins, 4> knownMargins_;
  mutable std::unordered_map<int, LineMetrics> lineMetrics_;  // by character format index
  mutable const LineMetrics* sampledMetrics_ = nullptr;         // the last looked up
  mutable int untilNextSample_ = 0;
  mutable std::size_t nextKnownMargins_ = 0;
  bool contentsChanged_ = false;  // since the last documentChanged()
  mutable bool reportPending_ = false;
  mutable qreal movedFrom_ = 0;
  QSizeF reportedSize_;
};

}  // namespace parasort::editor::qt
