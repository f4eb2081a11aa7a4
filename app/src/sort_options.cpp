#include "sort_options.h"

#include "parasort/engine/ordering_key.h"
#include "user_defaults.h"

#include <QMetaType>

#include <variant>

namespace parasort {
namespace {

// The settings keys.
const QString strengthKey = QStringLiteral("sortStrength");
const QString numericKey = QStringLiteral("sortNumeric");
const QString keyPositionsKey = QStringLiteral("sortKey");
const QString fieldSeparatorKey = QStringLiteral("sortFieldSeparator");
const QString ignoreLeadingBlanksKey = QStringLiteral("sortIgnoreLeadingBlanks");

std::variant<OrderingKey, KeyParseError> keyOf(const SortOptions& options) {
  return keyOfSettings(options.keyPositions.toStdString(), options.fieldSeparator.toStdString(),
                       options.ignoreLeadingBlanks);
}

// QSettings gives back the booleans of an INI file as the strings "true" and
// "false".
std::optional<bool> booleanOf(const std::optional<QVariant>& value) {
  if (!value) return std::nullopt;
  if (value->typeId() == QMetaType::Bool) return value->toBool();
  if (value->typeId() != QMetaType::QString) return std::nullopt;
  if (value->toString() == QLatin1String("true")) return true;
  if (value->toString() == QLatin1String("false")) return false;
  return std::nullopt;
}

}  // namespace

std::optional<QString> problemWith(const SortOptions& options) {
  const auto key = keyOf(options);
  const auto* error = std::get_if<KeyParseError>(&key);
  if (error == nullptr) return std::nullopt;
  QString problem = QString::fromStdString(error->message);
  if (error->subject) problem += QStringLiteral(" '%1'").arg(QString::fromStdString(*error->subject));
  return problem;
}

SortOptions savedSortOptions() {
  const UserDefaults defaults;
  SortOptions options;
  if (const auto name = defaults.stringForKey(strengthKey))
    options.strength = collationStrengthNamed(name->toStdString()).value_or(options.strength);
  options.numeric = booleanOf(defaults.objectForKey(numericKey)).value_or(options.numeric);
  options.ignoreLeadingBlanks = booleanOf(defaults.objectForKey(ignoreLeadingBlanksKey)).value_or(false);
  SortOptions keyed = options;
  keyed.keyPositions = defaults.stringForKey(keyPositionsKey).value_or(QString());
  keyed.fieldSeparator = defaults.stringForKey(fieldSeparatorKey).value_or(QString());
  return problemWith(keyed) ? options : keyed;
}

void saveSortOptions(const SortOptions& options) {
  UserDefaults defaults;
  defaults.setObject(QString::fromUtf8(nameOf(options.strength)), strengthKey);
  defaults.setBool(options.numeric, numericKey);
  defaults.setObject(options.keyPositions, keyPositionsKey);
  defaults.setObject(options.fieldSeparator, fieldSeparatorKey);
  defaults.setBool(options.ignoreLeadingBlanks, ignoreLeadingBlanksKey);
  defaults.synchronize();
}

CollationOptions collationOf(const SortOptions& options) {
  return {.strength = options.strength, .numeric = options.numeric};
}

ArrangeOptions arrangeOptionsOf(const SortOptions& options) {
  ArrangeOptions arrange;
  const auto key = keyOf(options);
  if (const auto* readable = std::get_if<OrderingKey>(&key); readable != nullptr && !ordersByWholeParagraph({*readable}))
    arrange.keys = {*readable};
  return arrange;
}

}  // namespace parasort
