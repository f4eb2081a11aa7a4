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
  // The engine words its errors for the command line, as the GNU tools do;
  // a dialog says the same in a sentence, about what was typed.
  const auto quoted = [](const QString& text) { return QStringLiteral("\u201C%1\u201D").arg(text); };
  const QString fields = quoted(options.keyPositions);
  const struct {
    const char* reason;
    QString plain;
  } sentences[] = {
      {"multi-character tab",
       QStringLiteral("The field separator is one character or Tab; %1 is more.").arg(quoted(options.fieldSeparator))},
      {"field number is zero", QStringLiteral("Fields are numbered from 1; %1 asks for field 0.").arg(fields)},
      {"character offset is zero",
       QStringLiteral("Characters are numbered from 1; %1 asks for character 0.").arg(fields)},
      {"invalid number at field start",
       QStringLiteral("%1 does not start with a field number. Give the fields to sort by as numbers, "
                      "such as 2 or 1.3,1.5.").arg(fields)},
      {"invalid number after '.'", QStringLiteral("In %1, a character number must follow the dot.").arg(fields)},
      {"invalid number after ','", QStringLiteral("In %1, a field number must follow the comma.").arg(fields)},
      {"stray character",
       QStringLiteral("%1 is not a list of fields. Give the fields to sort by as numbers, such as 2 or 1.3,1.5.")
           .arg(fields)},
  };
  for (const auto& [reason, plain] : sentences)
    if (error->message.starts_with(reason)) return plain;
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
