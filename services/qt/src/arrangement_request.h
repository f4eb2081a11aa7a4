// A call of the services' general method read into an arrangement: the
// operation by the filter's name for it ("ascending", "by-length", ...) and
// the options by the filter's long option names.
#pragma once

#include "parasort/engine/arrangement.h"
#include "parasort/engine/collation.h"

#include <QString>
#include <QVariantMap>

#include <variant>

namespace parasort {

struct ArrangementRequest {
  ParagraphOrder order = ParagraphOrder::ascending;
  CollationOptions collation;
  ArrangeOptions options;
};

// The request, or why it cannot be served, in one line. The options are
// "strength" (a string: primary, secondary, tertiary or identical), "numeric" (a
// boolean), "key" (a string, as --key takes it), "field-separator" (a
// string of one character), "ignore-leading-blanks" (a boolean) and
// "random-seed" (a non-negative integer, --shuffle only); none but the seed
// applies to reverse-lines or shuffle.
std::variant<ArrangementRequest, QString> readArrangementRequest(const QString& operation,
                                                                 const QVariantMap& options);

}  // namespace parasort
