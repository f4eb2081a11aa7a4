// Clipboard data that lists plain text but fails to give it, as an
// application can do when it dies or refuses the conversion.
#pragma once

#include <QMimeData>
#include <QStringList>
#include <QVariant>

class TextListedButNotGiven final : public QMimeData {
 public:
  QStringList formats() const override { return {QStringLiteral("text/plain")}; }

 protected:
  QVariant retrieveData(const QString& /*mimeType*/, QMetaType /*type*/) const override { return {}; }
};
