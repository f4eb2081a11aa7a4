// Alt-key mnemonics for a window's menus: the menu bar's titles and every
// item of their menus (submenus included) get one, unique within the menu
// that holds them, so that each is reachable from the keyboard.
#pragma once

#include <QChar>
#include <QString>

class QMenuBar;
class QMenu;

namespace parasort {

// Gives each title and item that has no mnemonic of its own (no '&') the
// first letter or digit not yet taken in its menu, preferring the starts of
// words. Texts that already have one keep it. An item whose every letter is
// taken keeps none.
void assignMnemonics(QMenuBar& bar);
void assignMnemonics(QMenu& menu);

// The character `text` marks as its mnemonic (lower case), or a null QChar.
[[nodiscard]] QChar mnemonicOf(const QString& text);

}  // namespace parasort
