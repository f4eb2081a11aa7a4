#include "arrangement_request.h"

#include "parasort/engine/ordering_key.h"
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

enum class Kind { text, boolean, seed };
struct KnownOption {
  const char* name;
  Kind kind;
};
// Named as the filter's long options.
constexpr KnownOption knownOptions[] = {
    {"strength", Kind::text},          {"numeric", Kind::boolean},
    {"key", Kind::text},               {"field-separator", Kind::text},
    {"ignore-leading-blanks", Kind::boolean}, {"random-seed", Kind::seed},
};

// Why an option cannot be read, by its name and its value's type; nothing
// when it can.
std::optional<QString> problemWithOption(const QString& name, const QVariant& value) {
  const auto known = std::ranges::find_if(knownOptions, [&](const KnownOption& option) {
    return name == QLatin1String(option.name);
  });
  if (known == std::end(knownOptions)) return QStringLiteral("unknown option ") + quoted(name);
  switch (known->kind) {
    case Kind::text:
      if (value.metaType().id() != QMetaType::QString) return name + QStringLiteral(" must be a string");
      break;
    case Kind::boolean:
      if (value.metaType().id() != QMetaType::Bool) return name + QStringLiteral(" must be a boolean");
      break;
    case Kind::seed:
      if (!seedOf(value)) return name + QStringLiteral(" must be a non-negative integer");
      break;
  }
  return std::nullopt;
}

}  // namespace

std::variant<ArrangementRequest, QString> readArrangementRequest(const QString& operation,
                                                                 const QVariantMap& options) {
  const auto row = std::ranges::find_if(paragraphOperations, [&](const ParagraphOperation& candidate) {
    return operation == QLatin1String(candidate.name);
  });
  if (row == paragraphOperations.end()) return QStringLiteral("unknown operation ") + quoted(operation);
  for (auto option = options.begin(); option != options.end(); ++option)
    if (auto problem = problemWithOption(option.key(), option.value())) return *problem;

  ArrangementRequest request;
  request.order = row->order;
  const QString seed = QStringLiteral("random-seed");
  const bool sortsNothing = request.order == ParagraphOrder::reverse || request.order == ParagraphOrder::shuffle;
  if (options.contains(seed) && request.order != ParagraphOrder::shuffle)
    return QStringLiteral("random-seed applies only to shuffle");
  if (sortsNothing && options.size() > (options.contains(seed) ? 1 : 0))
    return QStringLiteral("options that compare paragraphs do not apply to ") + operation;
  if (options.contains(seed)) request.options.randomSeed = seedOf(options.value(seed));

  const auto text = [&](const char* name) { return options.value(QLatin1String(name)).toString(); };
  if (options.contains(QStringLiteral("strength"))) {
    const auto strength = collationStrengthNamed(text("strength").toStdString());
    if (!strength)
      return QStringLiteral("invalid strength ") + quoted(text("strength")) +
             QStringLiteral(" (primary, secondary, tertiary or identical)");
    request.collation.strength = *strength;
  }
  request.collation.numeric = options.value(QStringLiteral("numeric"), true).toBool();
  const auto key = keyOfSettings(text("key").toStdString(), text("field-separator").toStdString(),
                                 options.value(QStringLiteral("ignore-leading-blanks"), false).toBool());
  if (const auto* error = std::get_if<KeyParseError>(&key))
    return QString::fromStdString(error->message) +
           (error->subject ? u' ' + quoted(QString::fromStdString(*error->subject)) : QString());
  if (const auto& readable = std::get<OrderingKey>(key); !ordersByWholeParagraph({readable}))
    request.options.keys = {readable};
  return request;
}

}  // namespace parasort
