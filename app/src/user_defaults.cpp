#include "user_defaults.h"

#include <QMetaType>
#include <QRegularExpression>

namespace parasort {

std::optional<QString> UserDefaults::stringForKey(const QString& key) const {
  const std::optional<QVariant> object = objectForKey(key);
  if (!object || object->typeId() != QMetaType::QString) return std::nullopt;
  return object->toString();
}

std::optional<QVariant> UserDefaults::objectForKey(const QString& key) const {
  if (!settings_.contains(key)) return std::nullopt;
  return settings_.value(key);
}

void UserDefaults::setObject(const QString& value, const QString& key) { settings_.setValue(key, value); }

void UserDefaults::setBool(bool value, const QString& key) { settings_.setValue(key, value); }

void UserDefaults::setFloat(float value, const QString& key) {
  settings_.setValue(key, static_cast<double>(value));
}

void UserDefaults::synchronize() { settings_.sync(); }

double doubleValue(const QVariant& object) {
  if (object.typeId() == QMetaType::QString) {
    // Like a number read off the front of a string: "14pt" is 14, "big" 0.
    static const QRegularExpression leadingNumber(
        QStringLiteral(R"(^\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?)"));
    const QRegularExpressionMatch match = leadingNumber.match(object.toString());
    return match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
  }
  bool converted = false;
  const double value = object.toDouble(&converted);
  return converted ? value : 0.0;
}

}  // namespace parasort
