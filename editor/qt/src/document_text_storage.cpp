#include "parasort/editor/qt/document_text_storage.h"

#include "document_settings.h"
#include "format_conversion.h"
#include "parasort/editor/paragraph_range.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <utility>

namespace parasort::editor::qt {
namespace {

constexpr char16_t kParagraphBreak = u'\u2029';

// LF, CR and CR LF each become one U+2029, the document's paragraph break,
// before the text goes in; so the text's units line up with the document's.
std::u16string withParagraphBreaks(std::u16string_view text) {
  std::u16string result;
  result.reserve(text.size());
  for (Index i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    result.push_back(isParagraphTerminatorUnit(unit) ? kParagraphBreak : unit);
  }
  return result;
}

// The same for attributed text; a CR LF break keeps the CR's attributes.
AttributedString withParagraphBreaks(const AttributedString& text) {
  AttributedString result;
  const std::u16string& units = text.string();
  for (Index i = 0; i < units.size(); ++i) {
    const AttributeDictionary attributes = text.attributesAtIndex(i);
    const char16_t unit = units[i];
    if (unit == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') ++i;
    const char16_t stored = isParagraphTerminatorUnit(unit) ? kParagraphBreak : unit;
    result.append(std::u16string_view(&stored, 1), attributes);
  }
  return result;
}

QTextBlockFormat restyled(QTextBlockFormat format, const std::optional<ParagraphStyle>& style) {
  if (style)
    setParagraphStyle(format, *style);
  else
    removeParagraphStyle(format);
  return format;
}

// Sets (or removes) the style in `block`'s format at once, leaving the
// format alone when nothing would change, so that no empty edit is recorded.
void restyleBlockNow(const QTextBlock& block, const std::optional<ParagraphStyle>& style) {
  const QTextBlockFormat current = block.blockFormat();
  const QTextBlockFormat changed = restyled(current, style);
  if (changed != current) QTextCursor(block).setBlockFormat(changed);
}

}  // namespace

const QTextBlockFormat& DocumentTextStorage::restyledFormat(
    const QTextBlockFormat& format, const std::optional<ParagraphStyle>& style) {
  if (!lastRestyle_ || !(lastRestyle_->style == style) || lastRestyle_->from != format)
    lastRestyle_ = Restyle{format, style, restyled(format, style)};
  return lastRestyle_->to;
}

// As restyleBlockNow(); a block whose format would not change does not
// join or break the pending run.
void DocumentTextStorage::restyleBlock(const Located& at,
                                       const std::optional<ParagraphStyle>& style) {
  if (pendingRun_ && at.start >= pendingRun_->firstStart && at.start <= pendingRun_->lastStart)
    applyPendingRun();
  const QTextBlockFormat current = at.block.blockFormat();
  const QTextBlockFormat& changed = restyledFormat(current, style);
  if (changed == current) return;
  if (grouping_.bracketDepth() == 0) {
    QTextCursor(at.block).setBlockFormat(changed);
    return;
  }
  if (pendingRun_ && pendingRun_->last.next() == at.block && pendingRun_->format == changed) {
    pendingRun_->last = at.block;
    pendingRun_->lastStart = at.start;
    return;
  }
  applyPendingRun();
  pendingRun_ = PendingRun{at.block, at.start, at.block, at.start, changed};
}

void DocumentTextStorage::applyPendingRun() {
  if (!pendingRun_) return;
  const PendingRun run = *std::exchange(pendingRun_, std::nullopt);
  // A selection from the first block's start to the last block's start
  // covers every block of the run, and no other.
  QTextCursor cursor(run.first);
  cursor.setPosition(toPosition(run.lastStart), QTextCursor::KeepAnchor);
  cursor.setBlockFormat(run.format);
}

DocumentTextStorage::DocumentTextStorage(QTextEdit& edit, UndoStepGrouping& grouping,
                                         DocumentHistory& history)
    : edit_(edit), grouping_(grouping), history_(history) {}

QTextDocument& DocumentTextStorage::document() const { return *edit_.document(); }

Index DocumentTextStorage::length() const {
  // The document counts one more paragraph break, after its last paragraph,
  // that is not part of the text.
  const auto count = [this] { return static_cast<Index>(document().characterCount() - 1); };
  if (grouping_.bracketDepth() == 0) return count();
  if (landmarks_.document != &document()) landmarks_ = {&document(), {}, {}};
  if (!landmarks_.length) landmarks_.length = count();
  return *landmarks_.length;
}

DocumentTextStorage::Located DocumentTextStorage::blockHolding(Index index) const {
  const auto holds = [index](const Located& at) {
    return at.block.isValid() && index >= at.start &&
           index - at.start < static_cast<Index>(at.block.length());
  };
  const bool remembering = grouping_.bracketDepth() > 0 && landmarks_.document == &document();
  if (remembering) {
    const Located& last = landmarks_.last;
    if (holds(last)) return last;
    if (last.block.isValid()) {
      const Located next{last.block.next(),
                         last.start + static_cast<Index>(last.block.length())};
      if (holds(next)) return landmarks_.last = next;
    }
  }
  const QTextBlock block = document().findBlock(toPosition(index));
  const Located found{block, block.isValid() ? static_cast<Index>(block.position()) : 0};
  if (grouping_.bracketDepth() > 0) {
    if (!remembering) landmarks_ = {&document(), {}, {}};
    landmarks_.last = found;
  }
  return found;
}

void DocumentTextStorage::forgetLandmarks() const { landmarks_ = {}; }

std::u16string DocumentTextStorage::string() const { return toU16String(document().toRawText()); }

void DocumentTextStorage::beginEditing() {
  if (grouping_.bracketDepth() == 0) forgetLandmarks();
  QTextCursor(&document()).beginEditBlock();
  grouping_.bracketOpened();
}

void DocumentTextStorage::endEditing() {
  if (grouping_.bracketDepth() == 0) return;
  if (grouping_.bracketDepth() == 1) {
    applyPendingRun();
    forgetLandmarks();
  }
  QTextCursor(&document()).endEditBlock();
  grouping_.bracketClosed();
}

QTextCursor DocumentTextStorage::cursorSelecting(Range range) const {
  const Range within = clampedRange(range, length());
  QTextCursor cursor(&document());
  cursor.setPosition(toPosition(within.location));
  cursor.setPosition(toPosition(within.end()), QTextCursor::KeepAnchor);
  return cursor;
}

DocumentTextStorage::Piece DocumentTextStorage::pieceAt(Index index) const {
  const QTextBlock block = document().findBlock(toPosition(index));
  const auto blockStart = static_cast<Index>(block.position());
  const Index breakIndex = blockStart + static_cast<Index>(block.length()) - 1;
  if (index == breakIndex) {
    // A paragraph break's format is the character format of the block after
    // it: what text typed into that block, when empty, takes.
    const QTextBlock next = block.next();
    return {{breakIndex, 1}, next.isValid() ? next.charFormat() : block.charFormat()};
  }
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment fragment = it.fragment();
    const auto start = static_cast<Index>(fragment.position());
    const auto size = static_cast<Index>(fragment.length());
    if (index >= start && index < start + size) return {{start, size}, fragment.charFormat()};
  }
  return {{index, 1}, QTextCharFormat()};
}

std::vector<DocumentTextStorage::Piece> DocumentTextStorage::piecesIn(Range range) const {
  const Range within = clampedRange(range, length());
  std::vector<Piece> pieces;
  for (Index i = within.location; i < within.end();) {
    Piece piece = pieceAt(i);
    const Index end = std::min(piece.range.end(), within.end());
    piece.range = {i, end - i};
    pieces.push_back(std::move(piece));
    i = end;
  }
  return pieces;
}

AttributeDictionary DocumentTextStorage::attributesOfPiece(const Piece& piece) const {
  AttributeDictionary attributes = characterAttributes(piece.format);
  if (const auto style = paragraphStyleAt(piece.range.location))
    attributes.setObject(*style, ParagraphStyleAttributeName);
  return attributes;
}

template <class ValueAt>
Range DocumentTextStorage::effectiveRangeAround(Index index, ValueAt valueAt) const {
  const auto value = valueAt(pieceAt(index));
  Range found = pieceAt(index).range;
  while (found.location > 0) {
    const Piece before = pieceAt(found.location - 1);
    if (!(valueAt(before) == value)) break;
    found = {before.range.location, found.end() - before.range.location};
  }
  while (found.end() < length()) {
    const Piece after = pieceAt(found.end());
    if (!(valueAt(after) == value)) break;
    found.length = after.range.end() - found.location;
  }
  return found;
}

std::optional<ParagraphStyle> DocumentTextStorage::paragraphStyleAt(Index index) const {
  const Located at = blockHolding(index);
  if (pendingRun_ && at.start >= pendingRun_->firstStart && at.start <= pendingRun_->lastStart)
    return paragraphStyle(pendingRun_->format);
  return paragraphStyle(at.block.blockFormat());
}

void DocumentTextStorage::setParagraphStyleAt(Index index,
                                              const std::optional<ParagraphStyle>& style) {
  restyleBlock(blockHolding(index), style);
}

template <class StyleFor>
void DocumentTextStorage::restyleInsertedParagraphs(Index location, Index inserted,
                                                    StyleFor styleFor,
                                                    const std::optional<ParagraphStyle>& tailStyle) {
  const std::u16string text = string();
  for (Index start = location; start <= location + inserted; ++start) {
    if (!isParagraphStart(text, start)) continue;
    setParagraphStyleAt(start, start < location + inserted ? styleFor(start - location) : tailStyle);
  }
}

void DocumentTextStorage::replaceCharactersInRange(Range range, std::u16string_view text) {
  applyPendingRun();
  const Range within = clampedRange(range, length());
  const std::u16string inserted = withParagraphBreaks(text);
  // What typing at the location would take, read before anything changes;
  // a fresh cursor so the edit's own typing format does not leak in.
  QTextCharFormat format;
  if (within.length > 0) {
    format = pieceAt(within.location).format;
  } else {
    QTextCursor at(&document());
    at.setPosition(toPosition(within.location));
    format = at.charFormat();
  }
  const auto style = paragraphStyleAt(within.location);
  const auto tailStyle = paragraphStyleAt(within.end());
  if (within.location == 0 && within.length == length()) {
    showInPlaceOfWholeText(inserted, format, tailStyle);
    return;
  }

  QTextCursor cursor = cursorSelecting(within);
  cursor.beginEditBlock();
  if (cursor.hasSelection()) cursor.removeSelectedText();
  if (!inserted.empty()) cursor.insertText(toQString(inserted), format);
  forgetLandmarks();
  restyleInsertedParagraphs(
      within.location, inserted.size(), [&](Index) { return style; }, tailStyle);
  cursor.endEditBlock();
}

void DocumentTextStorage::showInPlaceOfWholeText(const std::u16string& inserted,
                                                 const QTextCharFormat& format,
                                                 const std::optional<ParagraphStyle>& tailStyle) {
  QTextDocument& shown = document();
  auto* replacement = new QTextDocument(&history_.documentOwner());
  copyDocumentSettings(shown, *replacement);
  // Built outside any history: the history's undo shows the old document.
  replacement->setUndoRedoEnabled(false);
  QTextCursor cursor(replacement);
  // The first paragraph stays what it was (its style and the format an
  // empty one types with); every paragraph the text adds takes its style,
  // as the cursor's insertion gives it.
  cursor.setBlockFormat(shown.firstBlock().blockFormat());
  cursor.setBlockCharFormat(shown.firstBlock().charFormat());
  cursor.insertText(toQString(inserted), format);
  // A paragraph starting right after the new text (the last, empty one, or
  // the only one of an empty text) keeps the style of the old text's last.
  if (inserted.empty() || inserted.back() == kParagraphBreak)
    restyleBlockNow(replacement->lastBlock(), tailStyle);
  replacement->setUndoRedoEnabled(true);

  // The edit blocks that the brackets and the approval hold open on the old
  // document are closed there and opened again on the new one, which the
  // same brackets close.
  const int open = grouping_.bracketDepth() + (grouping_.stepOpen() ? 1 : 0);
  for (int i = 0; i < open; ++i) QTextCursor(&shown).endEditBlock();
  forgetLandmarks();
  history_.showReplacement(*replacement);
  for (int i = 0; i < open; ++i) QTextCursor(replacement).beginEditBlock();
}

void DocumentTextStorage::replaceCharactersInRange(Range range, const AttributedString& text) {
  applyPendingRun();
  const Range within = clampedRange(range, length());
  const AttributedString inserted = withParagraphBreaks(text);
  const auto tailStyle = paragraphStyleAt(within.end());

  QTextCursor cursor = cursorSelecting(within);
  cursor.beginEditBlock();
  if (cursor.hasSelection()) cursor.removeSelectedText();
  for (const auto& run : inserted.runs()) {
    const auto runText =
        std::u16string_view(inserted.string()).substr(run.range.location, run.range.length);
    cursor.insertText(toQString(runText), characterFormat(run.attributes));
  }
  forgetLandmarks();
  restyleInsertedParagraphs(
      within.location, inserted.length(),
      [&](Index offset) {
        return valueAs<ParagraphStyle>(
            inserted.attributesAtIndex(offset).objectForKey(ParagraphStyleAttributeName));
      },
      tailStyle);
  cursor.endEditBlock();
}

AttributedString DocumentTextStorage::attributedSubstringFromRange(Range range) const {
  const std::u16string text = string();
  AttributedString result;
  for (const Piece& piece : piecesIn(range))
    result.append(std::u16string_view(text).substr(piece.range.location, piece.range.length),
                  attributesOfPiece(piece));
  return result;
}

std::optional<AttributeValue> DocumentTextStorage::attribute(std::string_view name, Index index,
                                                             Range* effectiveRange) const {
  if (index >= length()) return std::nullopt;
  // The paragraph style is the block's: no need to find the piece (a
  // paragraph loop asks this once per paragraph).
  if (name == ParagraphStyleAttributeName && effectiveRange == nullptr) {
    if (auto style = paragraphStyleAt(index)) return AttributeValue(*style);
    return std::nullopt;
  }
  const auto valueAt = [&](const Piece& piece) -> std::optional<AttributeValue> {
    if (name == ParagraphStyleAttributeName) {
      if (auto style = paragraphStyleAt(piece.range.location)) return AttributeValue(*style);
      return std::nullopt;
    }
    return characterAttributes(piece.format).objectForKey(name);
  };
  if (effectiveRange != nullptr) *effectiveRange = effectiveRangeAround(index, valueAt);
  return valueAt(pieceAt(index));
}

AttributeDictionary DocumentTextStorage::attributesAtIndex(Index index,
                                                           Range* effectiveRange) const {
  if (index >= length()) return {};
  const auto valueAt = [&](const Piece& piece) { return attributesOfPiece(piece); };
  if (effectiveRange != nullptr) *effectiveRange = effectiveRangeAround(index, valueAt);
  return valueAt(pieceAt(index));
}

void DocumentTextStorage::changeCharacterFormats(
    Range range, const std::function<void(QTextCharFormat&)>& change) {
  // Piece by piece, because a format is replaced whole: each piece keeps
  // what it had besides the one change.
  for (Piece& piece : piecesIn(range)) {
    change(piece.format);
    cursorSelecting(piece.range).setCharFormat(piece.format);
  }
}

void DocumentTextStorage::changeParagraphStyles(Range within,
                                                const std::optional<ParagraphStyle>& style) {
  Located at = blockHolding(within.location);
  while (at.block.isValid() && at.start < within.end()) {
    restyleBlock(at, style);
    at = {at.block.next(), at.start + static_cast<Index>(at.block.length())};
  }
}

void DocumentTextStorage::addAttribute(std::string_view name, const AttributeValue& value,
                                       Range range) {
  const Range within = clampedRange(range, length());
  if (within.length == 0) return;
  QTextCursor group(&document());
  group.beginEditBlock();
  if (name == ParagraphStyleAttributeName) {
    if (const auto* style = std::get_if<ParagraphStyle>(&value)) changeParagraphStyles(within, *style);
  } else {
    changeCharacterFormats(range, [&](QTextCharFormat& format) {
      setCharacterAttribute(format, name, value);
    });
  }
  group.endEditBlock();
}

void DocumentTextStorage::addAttributes(const AttributeDictionary& attributes, Range range) {
  QTextCursor group(&document());
  group.beginEditBlock();
  for (const auto& [name, value] : attributes) addAttribute(name, value, range);
  group.endEditBlock();
}

void DocumentTextStorage::removeAttribute(std::string_view name, Range range) {
  const Range within = clampedRange(range, length());
  if (within.length == 0) return;
  QTextCursor group(&document());
  group.beginEditBlock();
  if (name == ParagraphStyleAttributeName) {
    changeParagraphStyles(within, std::nullopt);
  } else {
    changeCharacterFormats(range,
                           [&](QTextCharFormat& format) { removeCharacterAttribute(format, name); });
  }
  group.endEditBlock();
}

}  // namespace parasort::editor::qt
