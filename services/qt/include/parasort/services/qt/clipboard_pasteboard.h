// The system clipboard as a Pasteboard, through QClipboard and QMimeData.
//
// The types are the MIME formats that the clipboard offers; plain text is
// "text/plain", which Qt offers under every name of plain text with the same
// bytes. Every change replaces the clipboard's data as a whole, built from
// what was declared and set through this pasteboard.
#pragma once

#include "parasort/services/pasteboard.h"

#include <QClipboard>
#include <QString>

#include <string>
#include <vector>

namespace parasort {

class ClipboardPasteboard final : public Pasteboard {
 public:
  // `clipboard` (QGuiApplication::clipboard()) must outlive the pasteboard.
  explicit ClipboardPasteboard(QClipboard& clipboard, QClipboard::Mode mode = QClipboard::Clipboard);

  std::vector<std::string> types() const override;

  // Plain text as QMimeData::text() gives it (no text when that is null);
  // any other type as its bytes read as UTF-8.
  std::optional<std::u16string> stringForType(std::string_view type) const override;

  void declareTypes(std::span<const std::string> types) override;
  bool setString(std::u16string_view string, std::string_view type) override;

 private:
  struct Declared {
    std::string type;
    QString contents;
  };
  void publish();

  QClipboard& clipboard_;
  QClipboard::Mode mode_;
  std::vector<Declared> declared_;  // since the last declareTypes()
};

}  // namespace parasort
