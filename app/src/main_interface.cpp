#include "main_interface.h"

#include "about_box.h"
#include "file_dialogs.h"
#include "file_menu.h"
#include "find_replace.h"
#include "format_menu.h"
#include "manual_window.h"
#include "menu_mnemonics.h"
#include "parasort/paragraph_operations.h"
#include "sort_options_dialog.h"
#include "wait_cursor.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QTextEdit>

#include <cstdlib>

namespace parasort {

namespace {

Ui::EditorWindow loadedInto(QMainWindow& window) {
  Ui::EditorWindow ui;
  ui.setupUi(&window);
  return ui;
}

void connectEditMenu(const Ui::EditorWindow& ui, editor::qt::QTextEditTextView& view) {
  EditorTextEdit* edit = ui.textView;
  // Undo and redo belong to the view, whose history outlasts a change of
  // document; so do the keys that the text edit would handle itself.
  QObject::connect(ui.actionUndo, &QAction::triggered, edit, [&view] { view.undo(); });
  QObject::connect(ui.actionRedo, &QAction::triggered, edit, [&view] { view.redo(); });
  edit->setHistory({[&view] { return view.undo(); }, [&view] { return view.redo(); },
                    [&view] { return view.isUndoAvailable(); },
                    [&view] { return view.isRedoAvailable(); }});
  QObject::connect(ui.actionCut, &QAction::triggered, edit, &QTextEdit::cut);
  QObject::connect(ui.actionCopy, &QAction::triggered, edit, &QTextEdit::copy);
  QObject::connect(ui.actionPaste, &QAction::triggered, edit, &QTextEdit::paste);
  QObject::connect(ui.actionSelectAll, &QAction::triggered, edit, &QTextEdit::selectAll);
  ui.actionUndo->setEnabled(false);
  ui.actionRedo->setEnabled(false);
  ui.actionCut->setEnabled(false);
  ui.actionCopy->setEnabled(false);
  QObject::connect(edit, &QTextEdit::undoAvailable, ui.actionUndo,
                   [&view, action = ui.actionUndo] { action->setEnabled(view.isUndoAvailable()); });
  QObject::connect(edit, &QTextEdit::redoAvailable, ui.actionRedo,
                   [&view, action = ui.actionRedo] { action->setEnabled(view.isRedoAvailable()); });
  QObject::connect(edit, &QTextEdit::copyAvailable, ui.actionCut, &QAction::setEnabled);
  QObject::connect(edit, &QTextEdit::copyAvailable, ui.actionCopy, &QAction::setEnabled);
}

}  // namespace

MainInterface::MainInterface()
    : ui_(loadedInto(window_)),
      textView_(*ui_.textView),
      controller_(textView_),
      status_(*ui_.textView, textView_.text(), *ui_.statusBar),
      fileDocument_(window_, *ui_.textView, textView_.text()) {
  addParagraphsMenu();
  // Connected first, so that the cursor changes before the edit starts.
  std::vector<QAction*> edits{ui_.actionUndo, ui_.actionRedo, ui_.actionCut, ui_.actionCopy, ui_.actionPaste,
                              ui_.actionBold, ui_.actionItalic, ui_.actionUnderline, ui_.actionIncreaseIndent,
                              ui_.actionDecreaseIndent};
  for (const ParagraphItem& item : paragraphItems_) edits.push_back(item.action);
  for (QAction* edit : edits)
    QObject::connect(edit, &QAction::triggered, &window_, [] { showWaitCursorUntilIdle(); });
  for (const auto [order, action] : paragraphItems_) {
    QObject::connect(action, &QAction::triggered, &controller_, [this, action, order] {
      switch (order) {
        case ParagraphOrder::ascending:
        case ParagraphOrder::descending:
          controller_.sortParagraphs(*action);
          break;
        case ParagraphOrder::unique:
          controller_.uniqueParagraphs(*action);
          break;
        case ParagraphOrder::byLength:
        case ParagraphOrder::reverse:
        case ParagraphOrder::shuffle:
        case ParagraphOrder::adjacentUnique:
          controller_.arrangeParagraphs(order);
          break;
      }
    });
  }

  fileDocument_.setQuestions(fileDialogs(window_));
  addFileMenuItems(*ui_.menuFile, *ui_.actionCloseWindow, fileDocument_);
  QObject::connect(ui_.actionCloseWindow, &QAction::triggered, &window_, &QWidget::close);
  QObject::connect(ui_.actionQuit, &QAction::triggered, &window_, &QWidget::close);
  connectEditMenu(ui_, textView_.text());
  connectFormatMenu(ui_, textView_);
  QObject::connect(ui_.actionAbout, &QAction::triggered, &window_, [this] { showAboutBox(window_); });
  QObject::connect(ui_.actionManual, &QAction::triggered, &window_, [this] { showManual(window_); });
  connectFindMenu();
  assignMnemonics(*ui_.menuBar);

  controller_.awakeFromNib();
}

void MainInterface::connectFindMenu() {
  findReplace_ = new FindReplace(*ui_.textView);
  QObject::connect(ui_.actionFind, &QAction::triggered, findReplace_, &FindReplace::openFind);
  QObject::connect(ui_.actionReplace, &QAction::triggered, findReplace_, &FindReplace::openReplace);
  QObject::connect(ui_.actionFindNext, &QAction::triggered, findReplace_, &FindReplace::findNext);
  QObject::connect(ui_.actionFindPrevious, &QAction::triggered, findReplace_, &FindReplace::findPrevious);
}

// The Paragraphs menu: an item for each operation that has one, its tag the
// menu tag.
void MainInterface::addParagraphsMenu() {
  for (const ParagraphOperation& operation : paragraphOperations) {
    if (*operation.menuText == '\0') continue;
    if (operation.menuSeparatorBefore) ui_.menuParagraphs->addSeparator();
    QAction* action = ui_.menuParagraphs->addAction(QString::fromUtf8(operation.menuText));
    action->setShortcut(QKeySequence(QString::fromLatin1(operation.menuShortcut)));
    action->setData(operation.menuTag);
    paragraphItems_.push_back({operation.order, action});
  }
  ui_.menuParagraphs->addSeparator();
  QAction* options = ui_.menuParagraphs->addAction(QStringLiteral("Sort Options…"));
  options->setObjectName(QStringLiteral("actionSortOptions"));
  QObject::connect(options, &QAction::triggered, &window_, [this] {
    QObject::connect(openSortOptionsDialog(window_), &QDialog::accepted, &status_, &SelectionStatus::changed);
  });
}

QAction& MainInterface::paragraphAction(ParagraphOrder order) const {
  for (const ParagraphItem& item : paragraphItems_)
    if (item.order == order) return *item.action;
  std::abort();  // asked only for the orders that have a menu item
}

}  // namespace parasort
