#include "parasort/editor/qt/lazy_document_layout.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace parasort::editor::qt {
namespace {

// Qt's layouts place lines in 1/64 pixel steps.
qreal onGrid(qreal value) { return std::round(value * 64.0) / 64.0; }

// How far a layout may reach: the whole of any view.
constexpr qreal kEverywhere = 1e9;

// Changes of at most so many paragraphs are laid out at once (a typed
// character, a pasted line); larger ones as they are drawn.
constexpr int kLayOutAtOnce = 64;

// The alignment as drawn: leading and trailing swap in right-to-left text.
Qt::Alignment visualAlignment(Qt::LayoutDirection direction, Qt::Alignment alignment) {
  if (!(alignment & Qt::AlignHorizontal_Mask)) alignment |= Qt::AlignLeft;
  if (!(alignment & Qt::AlignAbsolute) && (alignment & (Qt::AlignLeft | Qt::AlignRight))) {
    if (direction == Qt::RightToLeft) alignment ^= (Qt::AlignLeft | Qt::AlignRight);
    alignment |= Qt::AlignAbsolute;
  }
  return alignment;
}

bool sameOptions(const QTextOption& a, const QTextOption& b) {
  return a.alignment() == b.alignment() && a.wrapMode() == b.wrapMode() && a.flags() == b.flags() &&
         a.tabStopDistance() == b.tabStopDistance() && a.tabs() == b.tabs() &&
         a.textDirection() == b.textDirection() && a.useDesignMetrics() == b.useDesignMetrics();
}

// The advance from one line to the next, where the line itself sits within
// it, and how far it reaches down, as the block format's line height asks.
struct LineHeights {
  qreal advance;
  qreal adjustment;
  qreal bottom;
};

LineHeights lineHeightsOf(const QTextBlockFormat& format, const QTextLine& line, qreal scaling) {
  const qreal raw = std::ceil(line.ascent() + line.descent() + line.leading());
  const qreal advance = onGrid(format.lineHeight(raw, scaling));
  const qreal bottom = onGrid(format.lineHeight(line.height(), scaling));
  switch (format.lineHeightType()) {
    case QTextBlockFormat::FixedHeight:
      return {advance, onGrid(line.ascent() + std::max(line.leading(), qreal(0))) - advance * 4 / 5, bottom};
    case QTextBlockFormat::MinimumHeight:
      return {advance, onGrid(line.height()) - advance, bottom};
    default:
      return {advance, 0, bottom};
  }
}

}  // namespace

bool LazyDocumentLayout::Settings::operator==(const Settings& other) const {
  return font == other.font && textWidth == other.textWidth && margin == other.margin &&
         indentWidth == other.indentWidth && sameOptions(option, other.option);
}

LazyDocumentLayout::LazyDocumentLayout(QTextDocument* document) : QAbstractTextDocumentLayout(document) {
  // The document tells its text and formats changed just before it tells
  // the layout; a change of settings or width comes without it.
  connect(document, &QTextDocument::contentsChange, this, [this] { contentsChanged_ = true; });
}

void LazyDocumentLayout::install(QTextDocument& document) {
  // Asking the document for its layout would make it one of Qt's first.
  if (document.findChild<LazyDocumentLayout*>(QString(), Qt::FindDirectChildrenOnly) != nullptr) return;
  document.setDocumentLayout(new LazyDocumentLayout(&document));
}

void LazyDocumentLayout::setCursorWidth(int width) { cursorWidth_ = width; }

LazyDocumentLayout::Settings LazyDocumentLayout::currentSettings() const {
  const QTextDocument& document = *this->document();
  return {document.defaultFont(), document.textWidth(), document.documentMargin(), document.indentWidth(),
          document.defaultTextOption()};
}

qreal LazyDocumentLayout::marginScale() const {
  const QPaintDevice* device = paintDevice();
  return device != nullptr ? qreal(device->logicalDpiY()) / 96.0 : 1.0;
}

const LazyDocumentLayout::Margins& LazyDocumentLayout::marginsOf(const QTextBlock& block) const {
  // Paragraphs in a row mostly share their format: each is read once.
  const int index = block.blockFormatIndex();
  for (Margins& known : knownMargins_)
    if (known.formatIndex == index) return known;
  const QTextBlockFormat format = block.blockFormat();
  Margins& margins = knownMargins_[nextKnownMargins_];
  nextKnownMargins_ = (nextKnownMargins_ + 1) % knownMargins_.size();
  margins = {index, format.topMargin(), format.bottomMargin(),
             format.leftMargin() + format.rightMargin() + format.indent() * settings_.indentWidth};
  return margins;
}

qreal LazyDocumentLayout::gapAbove(const QTextBlock& block) const {
  const QTextBlock previous = block.previous();
  if (!previous.isValid() || !block.isVisible()) return 0;
  // Read one after the other: a second lookup may reuse the first one's slot.
  const qreal top = marginsOf(block).top;
  const qreal bottom = marginsOf(previous).bottom;
  const qreal margin = std::max(top, bottom);
  return margin > 0 ? onGrid(margin * marginScale()) : 0;
}

const LazyDocumentLayout::LineMetrics& LazyDocumentLayout::lineMetricsOf(const QTextBlock& block) const {
  // The font of the paragraph's break (a text set in another size or family
  // sets its breaks in it too), looked up for one paragraph in so many: the
  // lookup costs more than the rest of an estimate, and runs of paragraphs
  // mostly share a font.
  constexpr int kSampleEvery = 32;
  if (sampledMetrics_ != nullptr && --untilNextSample_ > 0) return *sampledMetrics_;
  // The first paragraph's break keeps the format the document began with,
  // whatever text came in after it.
  untilNextSample_ = block.previous().isValid() ? kSampleEvery : 1;
  const auto [known, added] = lineMetrics_.try_emplace(block.charFormatIndex());
  if (added) {
    const QFontMetricsF metrics(block.charFormat().font().resolve(settings_.font), paintDevice());
    known->second = {std::ceil(metrics.ascent() + metrics.descent() + metrics.leading()),
                     metrics.averageCharWidth()};
  }
  sampledMetrics_ = &known->second;
  return known->second;
}

qreal LazyDocumentLayout::estimatedHeight(const QTextBlock& block) const {
  if (!block.isVisible()) return 0;
  const LineMetrics& metrics = lineMetricsOf(block);
  const int characters = block.length() - 1;
  if (characters <= 0 || settings_.textWidth <= 0) return metrics.height;
  const qreal width = settings_.textWidth - 2 * settings_.margin - marginsOf(block).horizontal;
  if (width <= metrics.characterWidth) return metrics.height;
  return std::ceil(characters * metrics.characterWidth / width) * metrics.height;
}

void LazyDocumentLayout::rebuild() {
  knownMargins_.fill(Margins{});
  lineMetrics_.clear();
  sampledMetrics_ = nullptr;
  const auto count = static_cast<std::size_t>(document()->blockCount());
  gaps_.assign(count, 0);
  laidOut_.assign(count, 0);
  std::vector<double> spans(count, 0);
  widest_ = 0;
  std::size_t index = 0;
  for (QTextBlock block = document()->begin(); block.isValid() && index < count; block = block.next(), ++index) {
    // What a paragraph was laid out to before is out of date now, and Qt's
    // cursor movement would use it.
    block.clearLayout();
    gaps_[index] = gapAbove(block);
    spans[index] = gaps_[index] + estimatedHeight(block);
  }
  heights_.assign(std::move(spans));
}

bool LazyDocumentLayout::layOut(const QTextBlock& block, std::size_t index) const {
  ++layoutCount_;
  laidOut_[index] = 1;
  QTextLayout& layout = *block.layout();
  const qreal oldSlot = heights_.height(index);
  if (!block.isVisible()) {
    layout.clearLayout();
    heights_.set(index, 0);
    return oldSlot != 0;
  }
  const QTextBlockFormat format = block.blockFormat();
  const Qt::LayoutDirection direction = block.textDirection();
  const qreal margin = settings_.margin;
  const qreal indent = onGrid(format.indent() * settings_.indentWidth * marginScale());
  const bool rightToLeft = direction == Qt::RightToLeft;
  const qreal leftMargin = onGrid(format.leftMargin()) + (rightToLeft ? 0 : indent);
  const qreal rightMargin = onGrid(format.rightMargin()) + (rightToLeft ? indent : 0);
  const bool wraps = settings_.textWidth > 0;
  const qreal left = margin + leftMargin;
  const qreal right = (wraps ? settings_.textWidth - margin : kEverywhere) - rightMargin;

  QTextOption option = settings_.option;
  option.setTextDirection(direction);
  option.setTabs(format.tabPositions());
  const Qt::Alignment alignment =
      format.hasProperty(QTextFormat::BlockAlignment) ? format.alignment() : settings_.option.alignment();
  option.setAlignment(visualAlignment(direction, alignment));
  if (format.nonBreakableLines() || settings_.textWidth < 0) option.setWrapMode(QTextOption::ManualWrap);
  layout.setTextOption(option);
  const bool wrapsAnywhere = option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;

  const qreal scaling = paintDevice() != nullptr && paintDevice()->logicalDpiY() != 96 ? marginScale() : 1.0;
  qreal y = 0;
  qreal bottom = 0;
  bool firstLine = true;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLeadingIncluded(true);
    qreal lineLeft = left;
    qreal lineRight = right;
    if (firstLine) {
      const qreal textIndent = onGrid(format.textIndent());
      (rightToLeft ? lineRight : lineLeft) += rightToLeft ? -textIndent : textIndent;
      firstLine = false;
    }
    line.setLineWidth(lineRight - lineLeft);
    // A word wider than the line: Qt's own layout breaks it anywhere, and
    // words only from then on.
    if (onGrid(line.naturalTextWidth()) > lineRight - lineLeft) {
      if (wrapsAnywhere) {
        option.setWrapMode(QTextOption::WrapAnywhere);
        layout.setTextOption(option);
      }
      line.setLineWidth(std::max(line.naturalTextWidth(), lineRight - lineLeft));
      if (wrapsAnywhere) {
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
      }
    }
    const LineHeights heights = lineHeightsOf(format, line, scaling);
    line.setPosition(QPointF(lineLeft - margin, y - heights.adjustment));
    bottom = y + heights.bottom;
    y += heights.advance;
    widest_ = std::max(widest_, line.x() + line.naturalTextWidth() + rightMargin);
  }
  layout.endLayout();
  const qreal slot = gaps_[index] + std::max(y, bottom);
  heights_.set(index, slot);
  return slot != oldSlot;
}

qreal LazyDocumentLayout::layoutTop(std::size_t index) const {
  return settings_.margin + heights_.top(index) + gaps_[index];
}

void LazyDocumentLayout::place(const QTextBlock& block, std::size_t index) const {
  if (laidOut_[index] == 0 && layOut(block, index)) reportMovesLater(layoutTop(index));
  block.layout()->setPosition(QPointF(settings_.margin, layoutTop(index)));
}

std::size_t LazyDocumentLayout::indexAt(qreal y) const { return heights_.indexAt(y - settings_.margin); }

QTextBlock LazyDocumentLayout::laidOutBlockAt(qreal y, std::size_t& index) const {
  // Laying out the paragraph found may change which one holds y; the ones
  // before it stay where they are.
  for (int tries = 0;; ++tries) {
    index = indexAt(y);
    const QTextBlock block = document()->findBlockByNumber(static_cast<int>(index));
    if (laidOut_[index] != 0 || tries == 4) {
      place(block, index);
      return block;
    }
    if (layOut(block, index)) reportMovesLater(layoutTop(index));
  }
}

void LazyDocumentLayout::reportMovesLater(qreal top) const {
  movedFrom_ = reportPending_ ? std::min(movedFrom_, top) : top;
  if (reportPending_) return;
  reportPending_ = true;
  auto* self = const_cast<LazyDocumentLayout*>(this);
  QTimer::singleShot(0, self, [self] {
    self->reportPending_ = false;
    const QSizeF size = self->documentSize();
    if (size != self->reportedSize_) {
      self->reportedSize_ = size;
      emit self->documentSizeChanged(size);
    }
    emit self->update(QRectF(0, self->movedFrom_, kEverywhere, kEverywhere));
  });
}

std::size_t LazyDocumentLayout::laidOutCount() const {
  return static_cast<std::size_t>(std::count(laidOut_.begin(), laidOut_.end(), std::uint8_t{1}));
}

void LazyDocumentLayout::layOutAll() {
  std::size_t index = 0;
  for (QTextBlock block = document()->begin(); block.isValid() && index < laidOut_.size();
       block = block.next(), ++index)
    if (laidOut_[index] == 0) layOut(block, index);
  reportMovesLater(0);
}

void LazyDocumentLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
  QTextDocument& document = *this->document();
  const Settings now = currentSettings();
  const auto count = static_cast<std::size_t>(document.blockCount());
  // QTextEdit asks again for the whole document whenever it shows one or
  // its width may have changed; the same settings leave every paragraph
  // where it is, but the view still has it to draw (as Qt's own layout
  // asks it to).
  const bool whole = !std::exchange(contentsChanged_, false) && from == 0 && charsRemoved == 0 &&
                     charsAdded == document.characterCount();
  if (!(now == settings_) || gaps_.empty() || (gaps_.size() != count && whole)) {
    settings_ = now;
    rebuild();
    reportedSize_ = documentSize();
    emit update();
    emit documentSizeChanged(reportedSize_);
    return;
  }
  if (whole) {
    emit update();
    return;
  }

  QTextBlock firstBlock = document.findBlock(from);
  if (!firstBlock.isValid()) firstBlock = document.lastBlock();
  QTextBlock lastBlock = document.findBlock(from + charsAdded);
  if (!lastBlock.isValid()) lastBlock = document.lastBlock();
  const int first = firstBlock.blockNumber();
  const int last = lastBlock.blockNumber();
  const int oldLast = last - (static_cast<int>(count) - static_cast<int>(gaps_.size()));
  if (oldLast < first - 1 || oldLast >= static_cast<int>(gaps_.size())) {
    // Not a change this layout can follow: start again.
    rebuild();
    emit update();
  } else {
    relayOutRange(first, oldLast, last);
  }
  const QSizeF size = documentSize();
  if (size != reportedSize_) {
    reportedSize_ = size;
    emit documentSizeChanged(size);
  }
}

void LazyDocumentLayout::relayOutRange(int first, int oldLast, int last) {
  const auto at = static_cast<std::size_t>(first);
  const auto removed = static_cast<std::size_t>(oldLast - first + 1);
  const auto added = static_cast<std::size_t>(last - first + 1);
  const qreal top = settings_.margin + heights_.top(at);
  const qreal oldBottom = settings_.margin + heights_.top(at + removed);
  const double oldTotal = heights_.total();

  knownMargins_.fill(Margins{});
  sampledMetrics_ = nullptr;
  std::vector<double> spans;
  std::vector<qreal> gaps;
  spans.reserve(added);
  gaps.reserve(added);
  QTextBlock block = document()->findBlockByNumber(first);
  for (int i = first; i <= last && block.isValid(); ++i, block = block.next()) {
    block.clearLayout();
    gaps.push_back(gapAbove(block));
    spans.push_back(gaps.back() + estimatedHeight(block));
  }
  const auto offset = static_cast<std::ptrdiff_t>(at);
  if (removed == spans.size()) {
    // As many paragraphs as before (typing within one): O(log n) each.
    std::copy(gaps.begin(), gaps.end(), gaps_.begin() + offset);
    std::fill_n(laidOut_.begin() + offset, removed, std::uint8_t{0});
  } else {
    const auto removedEnd = static_cast<std::ptrdiff_t>(at + removed);
    gaps_.erase(gaps_.begin() + offset, gaps_.begin() + removedEnd);
    gaps_.insert(gaps_.begin() + offset, gaps.begin(), gaps.end());
    laidOut_.erase(laidOut_.begin() + offset, laidOut_.begin() + removedEnd);
    laidOut_.insert(laidOut_.begin() + offset, spans.size(), 0);
  }
  heights_.splice(at, removed, spans);

  // The paragraph after the change keeps its height; the space above it
  // follows the bottom margin of the one before.
  const std::size_t next = at + spans.size();
  if (next < gaps_.size() && block.isValid()) {
    const qreal gap = gapAbove(block);
    heights_.set(next, heights_.height(next) - gaps_[next] + gap);
    gaps_[next] = gap;
  }
  if (spans.size() <= static_cast<std::size_t>(kLayOutAtOnce)) {
    block = document()->findBlockByNumber(first);
    for (std::size_t i = at; i < next && block.isValid(); ++i, block = block.next()) layOut(block, i);
  }
  const qreal bottom = settings_.margin + heights_.top(next);
  if (heights_.total() != oldTotal)
    emit update(QRectF(0, top, kEverywhere, kEverywhere));
  else
    emit update(QRectF(0, top, kEverywhere, std::max(oldBottom, bottom) - top));
}

QSizeF LazyDocumentLayout::documentSize() const {
  const qreal margins = 2 * settings_.margin;
  const qreal contents = settings_.textWidth > 0 ? std::max(settings_.textWidth - margins, widest_) : widest_;
  return {contents + margins, heights_.total() + margins};
}

QRectF LazyDocumentLayout::frameBoundingRect(QTextFrame* frame) const {
  if (frame != document()->rootFrame()) return {};
  return {QPointF(0, 0), documentSize()};
}

QRectF LazyDocumentLayout::blockBoundingRect(const QTextBlock& block) const {
  if (!block.isValid() || !block.isVisible()) return {};
  const auto index = static_cast<std::size_t>(block.blockNumber());
  // Asked while the document is changing, before the change reaches this
  // layout (by a slot of contentsChange): the paragraph where it stood.
  if (!isCurrent() || index >= gaps_.size()) {
    const std::size_t known = std::min(index, gaps_.size());
    const qreal top = settings_.margin + heights_.top(known);
    return {QPointF(settings_.margin, top), QSizeF(0, known < gaps_.size() ? heights_.height(known) : 0)};
  }
  place(block, index);
  const QTextLayout& layout = *block.layout();
  QRectF rect = layout.boundingRect();
  rect.moveTopLeft(layout.position());
  return rect;
}

bool LazyDocumentLayout::isCurrent() const {
  return !gaps_.empty() && gaps_.size() == static_cast<std::size_t>(document()->blockCount());
}

int LazyDocumentLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const {
  // Asked while the document is changing, before the change reaches this
  // layout: no place is known yet.
  if (!isCurrent()) return -1;
  std::size_t index = 0;
  QTextBlock block = laidOutBlockAt(point.y(), index);
  // A height on the bottom edge of the paragraph before is in that one.
  if (index > 0 && point.y() <= layoutTop(index)) {
    const QTextBlock previous = block.previous();
    place(previous, index - 1);
    if (point.y() <= previous.layout()->position().y() + previous.layout()->boundingRect().height())
      block = previous;
  }
  const QTextLayout& layout = *block.layout();
  QRectF rect = layout.boundingRect();
  rect.translate(layout.position());
  int position = block.position();
  bool exact = false;
  if (point.y() > rect.bottom()) {
    position += block.length();
  } else if (point.y() >= rect.top()) {
    // As Qt's own layout hits a paragraph: the line at that height, the
    // nearest place between characters in it.
    const QPointF within = point - layout.position();
    int offset = 0;
    for (int i = 0; i < layout.lineCount(); ++i) {
      const QTextLine line = layout.lineAt(i);
      const QRectF lineRect = line.naturalTextRect();
      if (lineRect.top() > within.y()) {
        offset = std::min(offset, line.textStart());
      } else if (lineRect.bottom() <= within.y()) {
        offset = std::max(offset, line.textStart() + line.textLength());
      } else {
        exact = lineRect.left() <= within.x() && lineRect.right() >= within.x();
        offset = line.xToCursor(within.x(), accuracy == Qt::ExactHit ? QTextLine::CursorOnCharacter
                                                                     : QTextLine::CursorBetweenCharacters);
        break;
      }
    }
    position += offset;
  }
  if (accuracy == Qt::ExactHit && !exact) return -1;
  int lastPosition = document()->rootFrame()->lastPosition();
  if (!layout.preeditAreaText().isEmpty()) lastPosition += static_cast<int>(layout.preeditAreaText().size());
  return std::clamp(position, 0, lastPosition);
}

void LazyDocumentLayout::draw(QPainter* painter, const PaintContext& context) {
  if (!isCurrent()) return;
  const bool clipped = context.clip.isValid();
  const qreal top = clipped ? context.clip.top() : 0;
  const qreal bottom = clipped ? context.clip.bottom() : std::numeric_limits<qreal>::max();
  std::size_t index = 0;
  for (QTextBlock block = laidOutBlockAt(top, index); block.isValid() && index < gaps_.size();
       block = block.next(), ++index) {
    place(block, index);
    if (layoutTop(index) > bottom) break;
    drawBlock(painter, context, block);
  }
  if (clipped) layOutAround(top, bottom);
}

void LazyDocumentLayout::layOutAround(qreal top, qreal bottom) const {
  const qreal reach = bottom - top;
  std::size_t index = indexAt(top - reach);
  QTextBlock block = document()->findBlockByNumber(static_cast<int>(index));
  for (; block.isValid() && index < gaps_.size() && layoutTop(index) < top; block = block.next(), ++index)
    if (laidOut_[index] == 0 && layOut(block, index)) reportMovesLater(layoutTop(index));
  index = indexAt(bottom);
  block = document()->findBlockByNumber(static_cast<int>(index));
  for (; block.isValid() && index < gaps_.size() && layoutTop(index) < bottom + reach; block = block.next(), ++index)
    if (laidOut_[index] == 0 && layOut(block, index)) reportMovesLater(layoutTop(index));
}

void LazyDocumentLayout::drawBlock(QPainter* painter, const PaintContext& context, const QTextBlock& block) const {
  const QTextLayout& layout = *block.layout();
  QRectF rect = layout.boundingRect();
  rect.translate(layout.position());
  if (!block.isVisible() ||
      (context.clip.isValid() && (rect.bottom() < context.clip.y() || rect.top() > context.clip.bottom())))
    return;
  const QTextBlockFormat format = block.blockFormat();
  const QBrush background = format.background();
  if (background != Qt::NoBrush) {
    painter->save();
    painter->setBrushOrigin(rect.topLeft());
    painter->fillRect(rect, background);
    painter->restore();
  }

  // The selections as ranges of this paragraph, as Qt's own layout draws
  // them: a selection reaching past the paragraph's end covers its break.
  QList<QTextLayout::FormatRange> selections;
  const int start = block.position();
  const int length = block.length();
  for (const Selection& range : context.selections) {
    const int selectionStart = range.cursor.selectionStart() - start;
    const int selectionEnd = range.cursor.selectionEnd() - start;
    if (selectionStart < length && selectionEnd > 0 && selectionEnd > selectionStart) {
      selections.append({selectionStart, selectionEnd - selectionStart, range.format});
    } else if (!range.cursor.hasSelection() && range.format.hasProperty(QTextFormat::FullWidthSelection) &&
               block.contains(range.cursor.position())) {
      // A full-width selection needs only a position to mark its line.
      const QTextLine line = layout.lineForTextPosition(range.cursor.position() - start);
      QTextLayout::FormatRange whole{line.textStart(), line.textLength(), range.format};
      if (whole.start + whole.length == length - 1) ++whole.length;
      selections.append(whole);
    }
  }

  const QPen pen = painter->pen();
  painter->setPen(context.palette.color(QPalette::Text));
  // Nothing is drawn into the document's side margins (a selection's mark
  // for a paragraph's end would reach into them), as in Qt's own layout.
  const QSizeF size = documentSize();
  const QRectF page(settings_.margin, 0, size.width() - 2 * settings_.margin, size.height());
  layout.draw(painter, QPointF(0, 0), selections, context.clip.isValid() ? context.clip & page : page);
  const int cursor = context.cursorPosition;
  if ((cursor >= start && cursor < start + length) || (cursor < -1 && !layout.preeditAreaText().isEmpty())) {
    const int within = cursor < -1 ? layout.preeditAreaPosition() - (cursor + 2) : cursor - start;
    layout.drawCursor(painter, QPointF(0, 0), within, cursorWidth_);
  }
  painter->setPen(pen);
}

}  // namespace parasort::editor::qt
