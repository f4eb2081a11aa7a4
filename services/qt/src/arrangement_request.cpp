#include "arrangement_request.h"

#include "parasort/engine/paragraph_key.h"
#include "parasort/paragraph_operations.h"

#include <QMetaType>

#include <algorithm>
#include <optional>

namespace parasort {
namespace {

QString quoted(const QString& text) { return u'\'' + text + u'\''; }

std::optional<std::uint64_t> seedOf(const QVariant& value) {
  switch (value.metaType().id()) {
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
      return value.toULongLong();
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong:
      if (value.toLongLong() >= 0) return value.toULongLong();
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace

std::variant<ArrangementRequest, QString> readArrangementRequest(const QString& operation,
                                                                 const QVariantMap& options) {
  const auto row = std::ranges::find_if(paragraphOperations, [&](const ParagraphOperation& candidate) {
    return operation == QLatin1String(candidate.name);
  });
  if (row == paragraphOperations.end()) return QStringLiteral("unknown operation ") + quoted(operation);
  ArrangementRequest request;
  request.order = row->order;

  const auto text = [&](const char* name) { return options.value(QLatin1String(name)).toString(); };
  bool keyed = false;  // an option that compares paragraphs was given
  for (auto option = options.begin(); option != options.end(); ++option) {
    const QString& name = option.key();
    const QMetaType::Type type = static_cast<QMetaType::Type>(option.value().metaType().id());
    const bool isString = type == QMetaType::QString, isBoolean = type == QMetaType::Bool;
    if (name == QLatin1String("random-seed")) {
      const std::optional<std::uint64_t> seed = seedOf(option.value());
      if (!seed) return QStringLiteral("random-seed must be a non-negative integer");
      if (request.order != ParagraphOrder::shuffle) return QStringLiteral("random-seed applies only to shuffle");
      request.options.randomSeed = *seed;
      continue;
    }
    const bool known = name == QLatin1String("strength") || name == QLatin1String("key") ||
                       name == QLatin1String("field-separator") || name == QLatin1String("numeric") ||
                       name == QLatin1String("ignore-leading-blanks");
    if (!known) return QStringLiteral("unknown option ") + quoted(name);
    const bool wantsBoolean = name == QLatin1String("numeric") || name == QLatin1String("ignore-leading-blanks");
    if (wantsBoolean ? !isBoolean : !isString)
      return name + (wantsBoolean ? QStringLiteral(" must be a boolean") : QStringLiteral(" must be a string"));
    keyed = true;
  }
  if (keyed && (request.order == ParagraphOrder::reverse || request.order == ParagraphOrder::shuffle))
    return QStringLiteral("options that compare paragraphs do not apply to ") + operation;

  if (options.contains(QStringLiteral("strength"))) {
    const auto strength = collationStrengthNamed(text("strength").toStdString());
    if (!strength)
      return QStringLiteral("invalid strength ") + quoted(text("strength")) +
             QStringLiteral(" (primary, secondary or tertiary)");
    request.collation.strength = *strength;
  }
  request.collation.numeric = options.value(QStringLiteral("numeric"), true).toBool();
  const auto key = keyOfSettings(text("key").toStdString(), text("field-separator").toStdString(),
                                 options.value(QStringLiteral("ignore-leading-blanks"), false).toBool());
  if (const auto* error = std::get_if<KeyParseError>(&key))
    return QString::fromStdString(error->message) +
           (error->subject ? u' ' + quoted(QString::fromStdString(*error->subject)) : QString());
  request.options.key = std::get<ParagraphKey>(key);
  return request;
}

}  // namespace parasort
