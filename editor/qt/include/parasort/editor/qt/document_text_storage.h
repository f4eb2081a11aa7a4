// The TextStorage contract over the QTextDocument of a QTextEdit.
//
// Positions are the document's own (UTF-16 code units, as in QTextCursor).
// The document keeps every paragraph break as one U+2029 unit, and string()
// shows it so, so that ranges line up one to one; text put in with LF, CR or
// CR LF is stored with U+2029 in their place. Every change is one document
// edit block; an editing bracket makes one edit block of all the changes in
// it. A replacement of the whole text builds a new document and shows it in
// place of the old one (see DocumentHistory), which Qt does many times
// faster than a change of every paragraph in place.
#pragma once

#include "parasort/editor/qt/document_history.h"
#include "parasort/editor/text_storage.h"
#include "parasort/editor/undo_step_grouping.h"

#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextFormat>

#include <functional>
#include <optional>
#include <vector>

class QTextCursor;
class QTextDocument;
class QTextEdit;

namespace parasort::editor::qt {

class DocumentTextStorage final : public TextStorage {
 public:
  // Works on whatever document `edit` shows at the time of each call,
  // reports its editing brackets to `grouping` and shows new documents
  // through `history`. All three must outlive it.
  DocumentTextStorage(QTextEdit& edit, UndoStepGrouping& grouping, DocumentHistory& history);

  [[nodiscard]] Index length() const override;
  [[nodiscard]] std::u16string string() const override;
  void beginEditing() override;
  void endEditing() override;
  void replaceCharactersInRange(Range range, std::u16string_view text) override;
  void replaceCharactersInRange(Range range, const AttributedString& text) override;
  [[nodiscard]] AttributedString attributedSubstringFromRange(Range range) const override;
  [[nodiscard]] std::optional<AttributeValue> attribute(std::string_view name, Index index,
                                                        Range* effectiveRange) const override;
  [[nodiscard]] AttributeDictionary attributesAtIndex(Index index,
                                                      Range* effectiveRange) const override;
  void addAttribute(std::string_view name, const AttributeValue& value, Range range) override;
  void addAttributes(const AttributeDictionary& attributes, Range range) override;
  void removeAttribute(std::string_view name, Range range) override;

  // The paragraph style of the paragraph holding `index` (<= length()).
  [[nodiscard]] std::optional<ParagraphStyle> paragraphStyleAt(Index index) const;
  // Sets (or, with nothing, removes) the style of the paragraph holding
  // `index`; a format that would not change is left alone, so no empty edit
  // reaches the undo history.
  void setParagraphStyleAt(Index index, const std::optional<ParagraphStyle>& style);

 private:
  // A stretch of one block with one character format: a fragment of its
  // text, or its terminating paragraph break.
  struct Piece {
    Range range;
    QTextCharFormat format;
  };

  [[nodiscard]] QTextDocument& document() const;
  // The block holding `index` and where it starts.
  struct Located {
    QTextBlock block;
    Index start = 0;
  };
  [[nodiscard]] Located blockHolding(Index index) const;
  // Anything remembered about where the text's parts lie is stale once the
  // text changes or the outermost editing bracket closes.
  void forgetLandmarks() const;
  [[nodiscard]] QTextCursor cursorSelecting(Range range) const;
  [[nodiscard]] Piece pieceAt(Index index) const;
  [[nodiscard]] AttributeDictionary attributesOfPiece(const Piece& piece) const;
  // The pieces that `range` covers, cut to it.
  [[nodiscard]] std::vector<Piece> piecesIn(Range range) const;
  // The longest range around `index` over which `valueAt` stays the same.
  template <class ValueAt>
  [[nodiscard]] Range effectiveRangeAround(Index index, ValueAt valueAt) const;
  // After `inserted` units went in at `location`: gives every paragraph
  // starting inside them the style `styleFor` tells (by offset), and one
  // starting right after them `tailStyle`, the style of the paragraph that
  // text came from.
  template <class StyleFor>
  void restyleInsertedParagraphs(Index location, Index inserted, StyleFor styleFor,
                                 const std::optional<ParagraphStyle>& tailStyle);
  void changeCharacterFormats(Range range, const std::function<void(QTextCharFormat&)>& change);
  // Over `within`, already clamped to the text.
  void changeParagraphStyles(Range within, const std::optional<ParagraphStyle>& style);
  // The whole text replaced by `inserted` (paragraph breaks as U+2029), as
  // the cursor would do it, in a new document shown in place of this one.
  void showInPlaceOfWholeText(const std::u16string& inserted, const QTextCharFormat& format,
                              const std::optional<ParagraphStyle>& tailStyle);

  // Sets (or removes) the style in the format of the block `at`; see
  // setParagraphStyleAt. Inside a bracket the change may wait in the
  // pending run.
  void restyleBlock(const Located& at, const std::optional<ParagraphStyle>& style);
  // `format` with the style set (or removed), built once for a run of
  // paragraphs that share a format.
  [[nodiscard]] const QTextBlockFormat& restyledFormat(const QTextBlockFormat& format,
                                                       const std::optional<ParagraphStyle>& style);
  // Gives the blocks of the pending run their format.
  void applyPendingRun();

  QTextEdit& edit_;
  UndoStepGrouping& grouping_;
  DocumentHistory& history_;

  // A paragraph loop asks for the length and for the paragraph at an index
  // several times a paragraph, and Qt answers each by walking its block tree.
  // While a bracket is open the text changes only through this storage's
  // replacements, which forget them; until then the length and the block
  // last found are remembered here, and the next paragraph is found as the
  // block after it.
  struct Landmarks {
    const QTextDocument* document = nullptr;
    std::optional<Index> length;
    Located last;
  };
  mutable Landmarks landmarks_;
  // The last restyle's formats before and after: the paragraphs of a loop
  // mostly share a format and take the same style, and building the new
  // format (tab stops and all) costs more than comparing.
  struct Restyle {
    QTextBlockFormat from;
    std::optional<ParagraphStyle> style;
    QTextBlockFormat to;
  };
  std::optional<Restyle> lastRestyle_;
  // Restyles made inside a bracket wait here while they continue a run of
  // consecutive blocks taking the same format: Qt sets a run of blocks in
  // one change for much less than a change per block. The run is applied
  // before the text changes and when the outermost bracket closes; until
  // then paragraphStyleAt() reads its blocks' styles from here.
  struct PendingRun {
    QTextBlock first;
    Index firstStart = 0;
    QTextBlock last;
    Index lastStart = 0;
    QTextBlockFormat format;
  };
  std::optional<PendingRun> pendingRun_;
};

}  // namespace parasort::editor::qt
