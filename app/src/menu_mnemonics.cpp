#include "menu_mnemonics.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QString>

namespace parasort {
namespace {

// The position of the character `text` would mark: a free letter or digit
// at the start of a word, else any free one; -1 when none is free.
qsizetype freePosition(const QString& text, const QSet<QChar>& taken) {
  const auto free = [&](qsizetype i) {
    return text.at(i).isLetterOrNumber() && !taken.contains(text.at(i).toLower());
  };
  for (qsizetype i = 0; i < text.size(); ++i)
    if ((i == 0 || !text.at(i - 1).isLetterOrNumber()) && free(i)) return i;
  for (qsizetype i = 0; i < text.size(); ++i)
    if (free(i)) return i;
  return -1;
}

void assignAmong(const QList<QAction*>& actions) {
  QSet<QChar> taken;
  for (const QAction* action : actions)
    if (const QChar own = mnemonicOf(action->text()); !own.isNull()) taken.insert(own);
  for (QAction* action : actions) {
    if (action->isSeparator() || action->text().isEmpty()) continue;
    if (mnemonicOf(action->text()).isNull()) {
      QString text = action->text();
      const qsizetype at = freePosition(text, taken);
      if (at >= 0) {
        taken.insert(text.at(at).toLower());
        text.insert(at, u'&');
        action->setText(text);
      }
    }
    if (QMenu* submenu = action->menu()) assignMnemonics(*submenu);
  }
}

}  // namespace

QChar mnemonicOf(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text.at(i) != u'&') continue;
    if (text.at(i + 1) != u'&') return text.at(i + 1).toLower();
    ++i;  // "&&" is a literal ampersand
  }
  return {};
}

void assignMnemonics(QMenuBar& bar) { assignAmong(bar.actions()); }

void assignMnemonics(QMenu& menu) { assignAmong(menu.actions()); }

}  // namespace parasort
