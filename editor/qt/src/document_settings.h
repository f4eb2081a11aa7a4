// What a document brings to its text besides the text, carried over to a
// document that takes its place.
#pragma once

#include <QFont>
#include <QString>
#include <QTextDocument>
#include <QTextOption>

namespace parasort::editor::qt {

struct DocumentSettings {
  QFont defaultFont;
  QTextOption defaultTextOption;
  qreal documentMargin = 0;
  qreal indentWidth = 0;
  QString defaultStyleSheet;
  bool useDesignMetrics = false;
  Qt::CursorMoveStyle defaultCursorMoveStyle = Qt::LogicalMoveStyle;

  static DocumentSettings of(const QTextDocument& document) {
    return {document.defaultFont(),      document.defaultTextOption(), document.documentMargin(),
            document.indentWidth(),      document.defaultStyleSheet(), document.useDesignMetrics(),
            document.defaultCursorMoveStyle()};
  }
  void applyTo(QTextDocument& document) const {
    document.setDefaultFont(defaultFont);
    document.setDefaultTextOption(defaultTextOption);
    document.setDocumentMargin(documentMargin);
    document.setIndentWidth(indentWidth);
    document.setDefaultStyleSheet(defaultStyleSheet);
    document.setUseDesignMetrics(useDesignMetrics);
    document.setDefaultCursorMoveStyle(defaultCursorMoveStyle);
  }
};

inline void copyDocumentSettings(const QTextDocument& from, QTextDocument& to) {
  DocumentSettings::of(from).applyTo(to);
}

}  // namespace parasort::editor::qt
