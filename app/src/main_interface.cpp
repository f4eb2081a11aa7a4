#include "main_interface.h"

#include "about_box.h"
#include "format_menu.h"
#include "wait_cursor.h"

#include <QCoreApplication>
#include <QTextEdit>

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
      status_(*ui_.textView, textView_.text(), *ui_.statusBar) {
  // Connected first, so that the cursor changes before the edit starts.
  for (QAction* edit : {ui_.actionUndo, ui_.actionRedo, ui_.actionCut, ui_.actionCopy, ui_.actionPaste,
                        ui_.actionSortAscending, ui_.actionSortDescending, ui_.actionUniqueParagraphs,
                        ui_.actionBold, ui_.actionItalic, ui_.actionUnderline, ui_.actionIncreaseIndent,
                        ui_.actionDecreaseIndent})
    QObject::connect(edit, &QAction::triggered, &window_, [] { showWaitCursorUntilIdle(); });
  QAction* sortAscending = ui_.actionSortAscending;
  QAction* sortDescending = ui_.actionSortDescending;
  QAction* unique = ui_.actionUniqueParagraphs;
  QObject::connect(sortAscending, &QAction::triggered, &controller_,
                   [this, sortAscending] { controller_.sortParagraphs(*sortAscending); });
  QObject::connect(sortDescending, &QAction::triggered, &controller_,
                   [this, sortDescending] { controller_.sortParagraphs(*sortDescending); });
  QObject::connect(unique, &QAction::triggered, &controller_,
                   [this, unique] { controller_.uniqueParagraphs(*unique); });

  QObject::connect(ui_.actionCloseWindow, &QAction::triggered, &window_, &QWidget::close);
  QObject::connect(ui_.actionQuit, &QAction::triggered, &window_, &QWidget::close);
  connectEditMenu(ui_, textView_.text());
  connectFormatMenu(ui_, textView_);
  QObject::connect(ui_.actionAbout, &QAction::triggered, &window_, [this] { showAboutBox(window_); });

  controller_.awakeFromNib();
}

}  // namespace parasort
