#include "frozen_document.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace parasort::editor::qt {

void FrozenDocument::extend(std::vector<Run>& runs, qsizetype length, int format) {
  if (length == 0) return;
  if (!runs.empty() && runs.back().format == format)
    runs.back().length += length;
  else
    runs.push_back({length, format});
}

FrozenDocument::FrozenDocument(const QTextDocument& document)
    : text_(document.toRawText()), formats_(document.allFormats()), settings_(DocumentSettings::of(document)) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    extend(blockRuns_, 1, block.blockFormatIndex());
    extend(blockCharacterRuns_, 1, block.charFormatIndex());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const int format = fragment.charFormatIndex();
      if (textFormat_ < 0) textFormat_ = format;
      if (format == textFormat_) continue;
      Stretch* last = otherFormats_.empty() ? nullptr : &otherFormats_.back();
      if (last != nullptr && last->format == format && last->start + last->length == fragment.position())
        last->length += fragment.length();
      else
        otherFormats_.push_back({fragment.position(), fragment.length(), format});
    }
  }
  text_.squeeze();
  otherFormats_.shrink_to_fit();
  blockRuns_.shrink_to_fit();
  blockCharacterRuns_.shrink_to_fit();
}

std::size_t FrozenDocument::bytes() const {
  // A format holds a few properties; 256 bytes is generous.
  constexpr std::size_t perFormat = 256;
  return sizeof(*this) + static_cast<std::size_t>(text_.capacity()) * sizeof(QChar) +
         otherFormats_.capacity() * sizeof(Stretch) +
         (blockRuns_.capacity() + blockCharacterRuns_.capacity()) * sizeof(Run) +
         static_cast<std::size_t>(formats_.size()) * perFormat;
}

QTextDocument& FrozenDocument::thaw(QObject& parent) const {
  auto* document = new QTextDocument(&parent);
  settings_.applyTo(*document);
  document->setUndoRedoEnabled(false);
  const auto charFormat = [this](int index) { return formats_.at(index).toCharFormat(); };
  const auto blockFormat = [this](int index) { return formats_.at(index).toBlockFormat(); };
  QTextCursor cursor(document);
  // The text at once, in its first formats (for most texts the only ones),
  // then each run that differs set over it: Qt builds a large text many
  // times faster in one insertion than in one a paragraph.
  cursor.setBlockFormat(blockFormat(blockRuns_.front().format));
  cursor.setBlockCharFormat(charFormat(blockCharacterRuns_.front().format));
  cursor.insertText(text_, textFormat_ < 0 ? QTextCharFormat() : charFormat(textFormat_));
  for (const Stretch& other : otherFormats_) {
    QTextCursor piece(document);
    piece.setPosition(static_cast<int>(other.start));
    piece.setPosition(static_cast<int>(other.start + other.length), QTextCursor::KeepAnchor);
    piece.setCharFormat(charFormat(other.format));
  }

  // Block formats and block character formats, run by run: a selection
  // from a run's first block to its last sets them all at once.
  const auto setRuns = [document](const std::vector<Run>& runs, int firstFormat, auto set) {
    QTextBlock first = document->begin();
    for (const Run& run : runs) {
      QTextBlock last = first;
      for (qsizetype i = 1; i < run.length && last.isValid(); ++i) last = last.next();
      if (!last.isValid()) break;
      if (run.format != firstFormat) {
        QTextCursor blocks(first);
        blocks.setPosition(last.position(), QTextCursor::KeepAnchor);
        set(blocks, run.format);
      }
      first = last.next();
    }
  };
  setRuns(blockRuns_, blockRuns_.front().format,
          [&](QTextCursor& blocks, int format) { blocks.setBlockFormat(blockFormat(format)); });
  setRuns(blockCharacterRuns_, blockCharacterRuns_.front().format,
          [&](QTextCursor& blocks, int format) { blocks.setBlockCharFormat(charFormat(format)); });
  document->setUndoRedoEnabled(true);
  return *document;
}

}  // namespace parasort::editor::qt
