#include "paragraph_summary.h"

#include "parasort/engine/paragraph.h"
#include "parasort/engine/arrangement.h"

#include <QCoreApplication>

namespace parasort {

ParagraphSummary summarizeParagraphs(std::u16string_view text, const SortOptions& options) {
  const std::size_t paragraphs = TQParagraph::paragraphStrings(text).size();
  const std::u16string unique = arrangeParagraphs(text, ParagraphOrder::unique,
                                                  ParagraphCollator::forUser(collationOf(options)),
                                                  arrangeOptionsOf(options))
                                    .joined();
  const std::size_t kept = TQParagraph::paragraphStrings(unique).size();
  return {paragraphs, paragraphs - kept};
}

QString statusText(const ParagraphSummary& summary, bool ofSelection) {
  const auto count = [](std::size_t n, const char* one, const char* many) {
    return n == 1 ? QString::fromLatin1(one) : QString::fromLatin1(many).arg(n);
  };
  const QString paragraphs = count(summary.paragraphs, "1 paragraph", "%1 paragraphs");
  const QString duplicates = summary.duplicates == 0
                                 ? QStringLiteral("no duplicates")
                                 : count(summary.duplicates, "1 duplicate", "%1 duplicates");
  const QString text = paragraphs + QStringLiteral(", ") + duplicates;
  return ofSelection ? QStringLiteral("Selection: ") + text : text;
}

}  // namespace parasort
