#include "filter_reports.h"

#include "filter.h"
#include "name_quoting.h"

#include "parasort/engine/collation_locale.h"

#include <ostream>

namespace parasort::cli {

int troubleStatus(const FilterOptions& options, int status) {
  return options.check != CheckMode::none ? exitBadInput : status;
}

int reportProblem(const FilterOptions& options, const InputProblem& problem, std::ostream& diagnostics) {
  diagnostics << "parasort: " << problem.message << '\n';
  return troubleStatus(options, problem.invalidInput ? exitBadInput : exitIoError);
}

ParagraphCollator collatorFor(const FilterOptions& options, std::ostream& diagnostics) {
  ParagraphCollator collator(options.locale.value_or(userCollationLocaleName()), options.collation);
  if (options.locale && !collator.knowsRequestedLocale()) {
    diagnostics << "parasort: warning: no collation is known for locale " << quotedAlways(*options.locale)
                << "; using the root collation\n";
  }
  return collator;
}

}  // namespace parasort::cli
