#include "font_catalog.h"

#include <QFontDatabase>
#include <QFontInfo>

#include <cmath>

namespace parasort::FontCatalog {

double systemFontSize() { return pointSize(QFontDatabase::systemFont(QFontDatabase::GeneralFont)); }

QFont userFontOfSize(double size) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPointSizeF(size);
  return font;
}

std::optional<QFont> fontWithName(const QString& name, double size) {
  if (!std::isfinite(size) || size <= 0.0 || !QFontDatabase::hasFamily(name)) return std::nullopt;
  QFont font(name);
  font.setPointSizeF(size);
  return font;
}

QString fontName(const QFont& font) { return QFontInfo(font).family(); }

double pointSize(const QFont& font) {
  return font.pointSizeF() > 0.0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}

}  // namespace parasort::FontCatalog
