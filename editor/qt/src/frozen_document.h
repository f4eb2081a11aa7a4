// A document kept for undo in a compact form: its raw text, and its formats
// as runs of indices into its format list. It holds about the text's size
// (two bytes a unit) where the live document, with its blocks, fragments
// and layouts, holds many times that. Thawing builds an equal document
// again (text, character, block and block character formats, settings),
// without its own undo history.
#pragma once

#include "document_settings.h"

#include <QList>
#include <QString>
#include <QTextFormat>

#include <cstddef>
#include <vector>

class QObject;
class QTextDocument;

namespace parasort::editor::qt {

class FrozenDocument {
 public:
  explicit FrozenDocument(const QTextDocument& document);

  // A new document, a child of `parent`, equal to the one frozen.
  [[nodiscard]] QTextDocument& thaw(QObject& parent) const;

  // What it holds, in bytes (its text, runs and formats; an estimate for
  // the formats).
  [[nodiscard]] std::size_t bytes() const;

 private:
  // `length` consecutive units (or blocks) with the format `format`.
  struct Run {
    qsizetype length;
    int format;
  };
  static void extend(std::vector<Run>& runs, qsizetype length, int format);

  QString text_;  // the raw text, U+2029 between paragraphs
  // The text's character format (that of its first fragment), and where
  // other formats lie: from `start`, `length` units. Paragraph breaks take
  // their block's character format (below).
  struct Stretch {
    qsizetype start;
    qsizetype length;
    int format;
  };
  int textFormat_ = -1;  // none: no fragment
  std::vector<Stretch> otherFormats_;
  std::vector<Run> blockRuns_;  // over the blocks: their block formats
  std::vector<Run> blockCharacterRuns_;  // over the blocks: their block character formats
  QList<QTextFormat> formats_;
  DocumentSettings settings_;
};

}  // namespace parasort::editor::qt
